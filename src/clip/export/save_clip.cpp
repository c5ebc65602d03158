// The Save button: writes the marked stretch of the open MP3 into a new file.

#include "app/form1.h"

namespace snipwell {

void Form1::saveClip() {
    if (!(clipBeginMs < clipEndMs)) {
        services_.messageBox("Invalid Selection", kOkInformation, kAppTitle);
        return;
    }
    if (clipBeginMs == 0) clipBeginMs = 1;
    if (clipEndMs == 0) {
        services_.messageBox("Invalid Selection", kOkInformation, kAppTitle);
        return;
    }
    // The copy itself follows in the next change.
}

}  // namespace snipwell

// The maker's panel: the advert page loads once at start; the Home Page
// button and the advert label open their addresses in the user's browser.

#include "app/form1.h"
#include "common/runtime_error.h"
#include "promo/web_addresses.h"

namespace snipwell {
namespace {

// A link that cannot be opened (no browser installed, no desktop to hand it
// to) must not cost the user anything: say so and carry on.
void openOrExplain(WindowServices& services, const char* address) {
    try {
        services.openWebAddress(address);
    } catch (const RuntimeError&) {
        services.messageBox(std::string("Could not open ") + address + " in a web browser.",
                            kOkInformation, kAppTitle);
    }
}

}  // namespace

void Form1::startAdvertPanel() {
    Label1.setUnderline(true);
    WebBrowser1.navigate(kAdvertPage);
}

void Form1::openHomePage() { openOrExplain(services_, kMakerSite); }

void Form1::openAdvert() { openOrExplain(services_, kAdvertLinkPage); }

}  // namespace snipwell

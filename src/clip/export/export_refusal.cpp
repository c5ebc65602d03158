#include "clip/export/export_refusal.h"

#include <cerrno>
#include <system_error>

namespace snipwell {

std::string describeExportRefusal(const ExportRefusal& refusal) {
    switch (refusal.kind()) {
        case ExportRefusalKind::sourceTooLarge: return kSourceTooLarge;
        case ExportRefusalKind::beginPastAudio: return kBeginPastAudio;
        case ExportRefusalKind::noTrackLength: return "the track's length is 0 ms";
        case ExportRefusalKind::sourceUnreadable: {
            const mp3::Mp3Error& source = refusal.source();
            const int code = source.fault == mp3::Mp3Fault::notFound ? ENOENT : source.systemError;
            return "the source file cannot be read: " + std::generic_category().message(code);
        }
        case ExportRefusalKind::sourceChangedWhileRead:
            return "the source file changed while it was read";
        case ExportRefusalKind::sourceChangedInCopy: return kSourceChanged;
        case ExportRefusalKind::framesUnwalkable: return "the source's frames cannot be walked";
    }
    return "the clip cannot be exported";
}

}  // namespace snipwell

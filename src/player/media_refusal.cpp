#include "player/media_refusal.h"

#include "mci/mci_error.h"

namespace snipwell {

std::string whyMediaRefused(std::int32_t openCode) {
    using mci::MciError;
    switch (static_cast<MciError>(openCode)) {
        case MciError::fileNotFound: return "it does not exist";
        case MciError::notAFile: return "it is not a file";
        case MciError::emptyFile: return "it is empty";
        case MciError::fileUnreadable: return "it cannot be read";
        case MciError::notMpegAudio: return "it is not an MP3 file";
        case MciError::mediaFailedToOpen: return "its audio cannot be decoded";
        case MciError::malformedTag: return "its tags are damaged";
        case MciError::fileChanged: return "it changed while it was being read";
        case MciError::mediaTimedOut:
        case MciError::engineTimedOut: return "the decoder did not answer in time";
        case MciError::engineStopped: return "the decoder stopped while opening it";
        case MciError::mediaSystemUnavailable: return "the media engine cannot be started";
        default: break;
    }
    return "the media service refused it (code " + std::to_string(openCode) + ")";
}

}  // namespace snipwell

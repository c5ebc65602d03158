#include "mci/mp3_error_codes.h"

namespace snipwell::mci {

MciError mciErrorOf(const mp3::Mp3Error& error) {
    using mp3::Mp3Fault;
    switch (error.fault) {
        case Mp3Fault::notFound: return MciError::fileNotFound;
        case Mp3Fault::notAFile: return MciError::notAFile;
        case Mp3Fault::empty: return MciError::emptyFile;
        case Mp3Fault::unreadable: return MciError::fileUnreadable;
        case Mp3Fault::changed: return MciError::fileChanged;
        case Mp3Fault::malformedTag: return MciError::malformedTag;
        // The player plays any layer and skips other streams, so these only
        // mean that nothing here plays.
        case Mp3Fault::noAudio:
        case Mp3Fault::freeFormat:
        case Mp3Fault::notLayer3:
        case Mp3Fault::streamChanges: return MciError::notMpegAudio;
    }
    return MciError::notMpegAudio;
}

}  // namespace snipwell::mci

#include "clip/exact_refusal_message.h"

#include <system_error>

#include "mp3/frame_header.h"

namespace snipwell {
namespace {

const char* layerName(std::uint32_t streamWord) {
    const auto header = mp3::headerOfWord(streamWord);
    return header && header->layer == 1 ? "Layer I" : "Layer II";
}

// The reason, when it lies in the kind of file; empty otherwise.
std::string fileKindReason(const mp3::Mp3Error& error) {
    switch (error.fault) {
        case mp3::Mp3Fault::freeFormat:
            return "this file is a free-format MPEG stream, whose frames do not state their "
                   "length";
        case mp3::Mp3Fault::notLayer3:
            return std::string("this file holds MPEG ") + layerName(error.streamWord) +
                   " frames, not MP3 (Layer III)";
        case mp3::Mp3Fault::streamChanges:
            return "the sample rate or MPEG version of this file changes part-way";
        default: return {};
    }
}

}  // namespace

std::string exactRefusalMessage(const exact::ExactCutRefusal& refusal) {
    using exact::ExactRefusalKind;
    if (refusal.kind == ExactRefusalKind::unreadableSource) {
        const std::string reason = fileKindReason(refusal.source);
        if (!reason.empty()) {
            return reason + ", so it cannot be cut to the sample. Choose \"" + kFrameSaveType +
                   "\" to save the frames that hold the marks.";
        }
        if (refusal.source.fault == mp3::Mp3Fault::unreadable) {
            return "the source file cannot be read: " +
                   std::generic_category().message(refusal.source.systemError);
        }
        if (refusal.source.fault == mp3::Mp3Fault::changed) {
            return "the source file changed while it was read";
        }
        return "the source file holds no MP3 frames that can be cut to the sample";
    }
    switch (refusal.kind) {
        case ExactRefusalKind::endPastTrack: return "the end mark lies past the end of the track";
        case ExactRefusalKind::targetIsSource: return "the clip would overwrite its own source";
        case ExactRefusalKind::clipTooLarge:
            return "the clip is larger than an MP3 info frame can describe (4 GiB)";
        default:
            return std::string("this stretch of the file cannot be cut to the sample. Choose \"") +
                   kFrameSaveType + "\" to save the frames that hold the marks.";
    }
}

}  // namespace snipwell

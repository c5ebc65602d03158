#include "cut/refusal_text.h"

#include <cerrno>
#include <system_error>

#include "common/clip_time.h"
#include "mp3/frame_header.h"

namespace snipwell {
namespace {

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

std::string systemText(int error) { return std::generic_category().message(error); }

const char* versionName(mp3::MpegVersion version) {
    switch (version) {
        case mp3::MpegVersion::mpeg1: return "MPEG-1";
        case mp3::MpegVersion::mpeg2: return "MPEG-2";
        case mp3::MpegVersion::mpeg25: return "MPEG-2.5";
    }
    return "MPEG";
}

const char* layerName(int layer) { return layer == 3 ? "III" : layer == 2 ? "II" : "I"; }

// "MPEG-1 Layer III at 44100 Hz"
std::string streamName(std::uint32_t word) {
    const auto header = mp3::headerOfWord(word);
    if (!header) return "another stream";
    return std::string(versionName(header->version)) + " Layer " + layerName(header->layer) +
           " at " + std::to_string(header->sampleRate) + " Hz";
}

}  // namespace

std::string describeSourceError(const mp3::Mp3Error& error, const std::string& path) {
    using mp3::Mp3Fault;
    switch (error.fault) {
        case Mp3Fault::notFound: return "cannot open " + quoted(path) + ": " + systemText(ENOENT);
        case Mp3Fault::unreadable:
            return (error.offset == 0 ? "cannot open " : "cannot read ") + quoted(path) + ": " +
                   systemText(error.systemError != 0 ? error.systemError : EIO);
        case Mp3Fault::notAFile:
            if (error.systemError == EISDIR) {
                return "cannot read " + quoted(path) + ": " + systemText(EISDIR);
            }
            return quoted(path) + " is " + kNotAnMp3;
        case Mp3Fault::empty:
        case Mp3Fault::noAudio: return quoted(path) + " is " + kNotAnMp3;
        case Mp3Fault::changed: return quoted(path) + " changed while it was being read";
        case Mp3Fault::freeFormat:
            return quoted(path) +
                   " is a free-format MPEG stream, whose frames do not state their length, so it "
                   "cannot be cut frame by frame";
        case Mp3Fault::notLayer3: {
            const auto header = mp3::headerOfWord(error.streamWord);
            const int layer = header ? header->layer : 1;
            return quoted(path) + " is MPEG Layer " + layerName(layer) +
                   ", not Layer III (MP3): only MP3 frames can be cut exactly";
        }
        case Mp3Fault::streamChanges:
            return "the stream of " + quoted(path) + " changes from " +
                   streamName(error.streamWord) + " to " + streamName(error.otherStreamWord) +
                   " at byte " + std::to_string(error.offset) + ", so no clip of it can be exact";
        case Mp3Fault::malformedTag:
            return quoted(path) + " has a damaged tag at byte " + std::to_string(error.offset);
    }
    return "cannot read " + quoted(path);
}

std::string describeExactRefusal(const exact::ExactCutRefusal& refusal, const std::string& source) {
    using exact::ExactRefusalKind;
    switch (refusal.kind) {
        case ExactRefusalKind::negativeBegin:
            return "invalid selection: BEGIN must not be negative";
        case ExactRefusalKind::beginNotBeforeEnd:
            return "invalid selection: the begin mark must come before the end mark";
        case ExactRefusalKind::targetIsSource:
            return "cannot overwrite the source file " + quoted(source);
        case ExactRefusalKind::unreadableSource: return describeSourceError(refusal.source, source);
        case ExactRefusalKind::endPastTrack:
            return "END " + formatClipTime(refusal.endMs) + " lies past the end of the track (" +
                   formatClipTime(refusal.trackMs) + ")";
        case ExactRefusalKind::clipTooLarge:
            return "the clip is larger than an info frame can describe (4 GiB)";
        case ExactRefusalKind::trimDoesNotFit:
            return "the clip's encoder delay or padding does not fit its info frame";
        case ExactRefusalKind::reservoirDoesNotFit:
            return "no frame of this stream holds the bit reservoir the clip needs";
    }
    return "the clip cannot be cut exactly";
}

}  // namespace snipwell

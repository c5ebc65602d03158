#include "cut/refusal_text.h"

#include <cerrno>
#include <system_error>
#include <type_traits>
#include <variant>

#include "common/clip_time.h"
#include "cut/cut_command.h"
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

bool bytesCouldCut(const exact::ExactCutRefusal& refusal) {
    if (refusal.kind != exact::ExactRefusalKind::unreadableSource) return false;
    const mp3::Mp3Fault fault = refusal.source.fault;
    return fault == mp3::Mp3Fault::freeFormat || fault == mp3::Mp3Fault::notLayer3 ||
           fault == mp3::Mp3Fault::streamChanges;
}

std::string bytes(std::int64_t count) { return formatByteCount(count); }

// "track 3: " before a reason that concerns one track's name or path.
std::string ofTrack(const CommandRefusal& refusal) {
    return "track " + std::to_string(refusal.count) + ": ";
}

std::string commandText(const CommandRefusal& refusal) {
    using Kind = CommandRefusalKind;
    switch (refusal.kind) {
        case Kind::negativeBegin: return "invalid selection: BEGIN must not be negative";
        case Kind::beginNotBeforeEnd:
            return "invalid selection: the begin mark must come before the end mark";
        case Kind::overwritesSource:
            return "cannot overwrite the source file " + quoted(refusal.path);
        case Kind::trackOverwritesSource:
            return "a track would overwrite the source file " + quoted(refusal.path);
        case Kind::folderInTheWay: return quoted(refusal.path) + " is a folder, not a file";
        case Kind::targetExists:
            if (refusal.count > 1) {
                return quoted(refusal.path) + " and " + std::to_string(refusal.count - 1) +
                       " more already exist (use --force to overwrite)";
            }
            return quoted(refusal.path) + " already exists (use --force to overwrite)";
        case Kind::notOverwritten: return "not overwritten";
        case Kind::endPastTrack:
            return "END " + formatClipTime(refusal.first) + " lies past the end of the track (" +
                   formatClipTime(refusal.second) + ")";
        case Kind::trackTooLong: return "the track is longer than 596 hours";
        case Kind::guardUnavailable: return "the clipping guard is not available";
        case Kind::guardFailed:
            return "the clipping guard could not measure the clip: " + refusal.probe.reason;
        case Kind::nameTooLong:
            return ofTrack(refusal) + "the name " + quoted(refusal.path) + " is " +
                   std::to_string(refusal.first) + " bytes long, more than the " +
                   std::to_string(refusal.second) + " a file name may have in " +
                   quoted(refusal.other);
        case Kind::pathTooLong:
            return ofTrack(refusal) + "the path " + quoted(refusal.path) + " is longer than the " +
                   std::to_string(refusal.second) + " bytes a path may have";
        case Kind::notEnoughSpace:
            return "the tracks need about " + bytes(refusal.first) + " and " +
                   quoted(refusal.path) + " has " + bytes(refusal.second) + " free";
        case Kind::planFileOverwritesSource:
            return refusal.other + " would overwrite the source file " + quoted(refusal.path);
        case Kind::planFileOverwritesTrack:
            return refusal.other + " " + quoted(refusal.path) + " would overwrite a track";
        case Kind::planFilesClash: return refusal.other + " and " + refusal.path + " name one file";
        case Kind::interrupted: return "interrupted";
    }
    return "snipwell-cut stopped";
}

std::string exportText(const ExportRefusal& refusal, const std::string& source) {
    if (refusal.kind() == ExportRefusalKind::framesUnwalkable) {
        return describeSourceError(refusal.source(), source);
    }
    return describeExportRefusal(refusal);
}

std::string causeText(const CutFailure& failure) {
    const std::string& file = failure.file;
    return std::visit(
        [&file](const auto& cause) -> std::string {
            using Cause = std::decay_t<decltype(cause)>;
            if constexpr (std::is_same_v<Cause, CommandRefusal>) {
                return commandText(cause);
            } else if constexpr (std::is_same_v<Cause, mp3::Mp3Error>) {
                return describeSourceError(cause, file);
            } else if constexpr (std::is_same_v<Cause, ExactFailure>) {
                return describeExactTrackRefusal(cause.refusal, file, cause.wording);
            } else if constexpr (std::is_same_v<Cause, ExportRefusal>) {
                return exportText(cause, file);
            } else if constexpr (std::is_same_v<Cause, SheetError>) {
                return describe(cause);
            } else {  // SplitPlanError, RuntimeFault
                return cause.reason;
            }
        },
        failure.why);
}

std::string leadIn(const CutFailure& failure) {
    switch (failure.stage) {
        case CutStage::request: return "";
        case CutStage::clip: return "the clip was not saved: ";
        case CutStage::split: return "nothing was split: ";
        case CutStage::plan: return "the plan was not saved: ";
        case CutStage::track:
            return "the split stopped at track " + std::to_string(failure.trackNumber) + " (" +
                   quoted(failure.trackName) + "): ";
    }
    return "";
}

// "; kept \"01 A.mp3\", \"02 B.mp3\" in \"tracks\"", or that none was.
std::string keptText(const std::optional<KeptTracks>& kept) {
    if (!kept) return "";
    if (kept->names.empty()) return "; no track was saved";
    std::string names;
    for (const std::string& name : kept->names) names += (names.empty() ? "" : ", ") + quoted(name);
    return "; kept " + names + " in " + quoted(kept->folder);
}

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

std::string describeExactTrackRefusal(const exact::ExactCutRefusal& refusal,
                                      const std::string& source, ExactRefusalWording wording) {
    std::string reason = describeExactRefusal(refusal, source);
    if (wording == ExactRefusalWording::suggestingBytes && bytesCouldCut(refusal)) {
        reason += " (--bytes splits it by the byte-range rule instead)";
    }
    return reason;
}

std::string refusalText(const CutFailure& failure) {
    return leadIn(failure) + causeText(failure) + keptText(failure.kept);
}

void tellCutFailure(std::FILE* err, const CutFailure& failure) {
    std::fprintf(err, "snipwell-cut: %s\n", refusalText(failure).c_str());
}

}  // namespace snipwell

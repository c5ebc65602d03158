#include "cut/cut_command.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "clip/exact/clip_source_bytes.h"
#include "clip/exact/exact_cut.h"
#include "clip/export/clip_export.h"
#include "clip/export/source_clip_range.h"
#include "common/clip_time.h"
#include "common/runtime_error.h"
#include "cut/byte_range_gain.h"
#include "cut/folder_in_the_way.h"
#include "cut/refusal_text.h"
#include "cut/terminal_progress.h"

namespace snipwell {
namespace {

int fail(CutConsole& console, const std::string& reason) {
    std::fprintf(console.err, "snipwell-cut: %s\n", reason.c_str());
    return kCutFailed;
}

bool askToOverwrite(CutConsole& console, const std::string& target) {
    std::fprintf(console.err, "snipwell-cut: \"%s\" already exists. Overwrite? [y/N] ",
                 target.c_str());
    std::fflush(console.err);
    std::string answer;
    if (!console.readAnswer || !console.readAnswer(answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

// The length the marks are checked against, found before anything is asked
// or written: a source that is no MP3, or too large to address, fails here.
std::int32_t checkedTrackLength(const CutArguments& arguments, Files& files,
                                const TrackLengthLookup& trackLengthMs) {
    if (isBeyondClipPositions(files.fileSize(arguments.source))) {
        throw RuntimeError(ErrorKind::Overflow, kSourceTooLarge);
    }
    const std::int32_t lengthMs = trackLengthMs(arguments.source);
    // The window's marks come from playback and stay within the track; a
    // typed END past it is a mistake worth saying.
    if (arguments.endMs > lengthMs) {
        throw RuntimeError(ErrorKind::FileError, "END " + formatClipTime(arguments.endMs) +
                                                     " lies past the end of the track (" +
                                                     formatClipTime(lengthMs) + ")");
    }
    return lengthMs;
}

// What a cut wrote: its size, and what became of a gain.
struct CutOutcome {
    std::int64_t bytes = 0;
    AppliedGain gain;
};

exact::ExactCutRequest exactRequestOf(const CutArguments& arguments) {
    return {arguments.source, arguments.beginMs, arguments.endMs, arguments.target};
}

// The source bytes the clip is made of, for the clipping guard to decode.
exact::ClipSourceBytes clipSourceBytes(const CutArguments& arguments, Files& files,
                                       std::int32_t lengthMs) {
    if (arguments.exact) {
        const auto bytes = exact::exactClipSourceBytes(exactRequestOf(arguments));
        if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&bytes)) {
            throw RuntimeError(ErrorKind::FileError,
                               describeExactRefusal(*refusal, arguments.source));
        }
        return std::get<exact::ClipSourceBytes>(bytes);
    }
    const ClipRange range = clipRangeInSource(arguments.source, files.fileSize(arguments.source),
                                              lengthMs, arguments.beginMs, arguments.endMs)
                                .range;
    return {static_cast<std::uint64_t>(range.beginOffset - 1),
            static_cast<std::uint64_t>(range.clipBytes())};
}

// The step the clip gets: as asked, or what the clipping guard allows. The
// guard runs before anything is written, so a clip it cannot measure is not
// written at all.
AppliedGain chooseGain(const CutArguments& arguments, Files& files, std::int32_t lengthMs,
                       const ClipPeakLookup& peakOf) {
    return settleGain(arguments.gain, [&] {
        if (!peakOf)
            throw RuntimeError(ErrorKind::FileError, "the clipping guard is not available");
        const exact::ClipSourceBytes bytes = clipSourceBytes(arguments, files, lengthMs);
        return measuredPeak(peakOf(arguments.source, bytes.offset, bytes.length));
    });
}

// The sample-exact clip: whole frames copied, trimmed by a fresh info frame.
// It takes the marks as given, so a begin of 0 is the first sample. A
// refusal is thrown with its reason.
CutOutcome cutExactly(const CutArguments& arguments, Files& files, TerminalProgress& progress,
                      const mp3::GainSettings& gain) {
    progress.start(1000);
    const auto result = exact::cutExactClip(
        exactRequestOf(arguments), files,
        [&](double done) { progress.show(static_cast<std::int64_t>(done * 1000)); }, gain);
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&result)) {
        throw RuntimeError(ErrorKind::FileError, describeExactRefusal(*refusal, arguments.source));
    }
    const auto& clip = std::get<exact::ExactClip>(result);
    CutOutcome outcome;
    outcome.bytes = static_cast<std::int64_t>(clip.bytes);
    outcome.gain.clampedGranules = clip.clampedGranules;
    return outcome;
}

// The byte range the window's Save writes for the same marks; with a gain,
// the side information of the frames inside it edited on the way.
CutOutcome cutByteRange(const CutArguments& arguments, Files& files, std::int32_t lengthMs,
                        TerminalProgress& progress, const mp3::GainSettings& gain) {
    CutOutcome outcome;
    ClipEdits edits;
    if (gain.changesAnything()) {
        const exact::ClipSourceBytes bytes = clipSourceBytes(arguments, files, lengthMs);
        edits = byteRangeClipEdits(arguments.source, bytes.offset, bytes.length, gain);
    }
    FrameEditTally tally;
    PatchingFiles patched(files, arguments.target, std::move(edits), tally);
    ClipExport clip(patched, arguments.source, arguments.target);
    const ClipRange range = clip.measure(lengthMs, arguments.beginMs, arguments.endMs);
    progress.start(range.clipBytes());
    clip.copyInBlocks(range, [&](std::int64_t done, std::int64_t) { progress.show(done); });
    clip.commit();
    outcome.bytes = range.clipBytes();
    outcome.gain.clampedGranules = tally.clampedGranules;
    return outcome;
}

}  // namespace

double measuredPeak(const std::variant<MeasuredPeak, LevelProbeFailure>& measured) {
    if (const auto* failure = std::get_if<LevelProbeFailure>(&measured)) {
        throw RuntimeError(ErrorKind::FileError,
                           "the clipping guard could not measure the clip: " + failure->reason);
    }
    return std::get<MeasuredPeak>(measured).peak;
}

std::string formatByteCount(std::int64_t bytes) {
    char text[32];
    if (bytes < 1000) {
        std::snprintf(text, sizeof text, "%lld bytes", static_cast<long long>(bytes));
    } else if (bytes < 999'500) {
        std::snprintf(text, sizeof text, "%lld kB", static_cast<long long>((bytes + 500) / 1000));
    } else if (bytes < 999'950'000) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / 1e9);
    }
    return text;
}

int runCut(const CutArguments& arguments, Files& files, const TrackLengthLookup& trackLengthMs,
           CutConsole& console, const ClipPeakLookup& peakOf) {
    if (arguments.beginMs < 0)
        return fail(console, "invalid selection: BEGIN must not be negative");
    if (!isSavableSelection(arguments.beginMs, arguments.endMs)) {
        return fail(console, "invalid selection: the begin mark must come before the end mark");
    }
    if (isSourceItself(files, arguments.target, arguments.source)) {
        return fail(console, "cannot overwrite the source file \"" + arguments.source + "\"");
    }
    if (auto folder = folderInTheWay(arguments.target)) return fail(console, *folder);

    // The exact cut walks the frames itself and says precisely what it
    // cannot cut (a free-format stream, say), so the plain length check is
    // for the byte range only.
    std::int32_t lengthMs = 0;
    try {
        if (!arguments.exact) lengthMs = checkedTrackLength(arguments, files, trackLengthMs);
    } catch (const RuntimeError& error) {
        return fail(console, std::string("the clip was not saved: ") + error.what());
    }

    if (!arguments.force && files.exists(arguments.target)) {
        if (!console.interactive) {
            return fail(console,
                        "\"" + arguments.target + "\" already exists (use --force to overwrite)");
        }
        if (!askToOverwrite(console, arguments.target)) return fail(console, "not overwritten");
    }

    // The gain is settled, and the guard has measured the clip, before
    // anything is written.
    mp3::GainSettings gain;
    AppliedGain applied;
    if (arguments.gain.changesFrames()) {
        try {
            applied = chooseGain(arguments, files, lengthMs, peakOf);
            gain = gainSettingsOf(applied);
        } catch (const RuntimeError& error) {
            return fail(console, std::string("the clip was not saved: ") + error.what());
        }
    }

    CutOutcome outcome;
    TerminalProgress progress(arguments.quiet ? nullptr : console.err);
    try {
        outcome = arguments.exact ? cutExactly(arguments, files, progress, gain)
                                  : cutByteRange(arguments, files, lengthMs, progress, gain);
        progress.complete();
    } catch (const RuntimeError& error) {
        progress.finish();
        return fail(console, std::string("the clip was not saved: ") + error.what());
    }
    applied.clampedGranules = outcome.gain.clampedGranules;
    if (!arguments.quiet) {
        std::fprintf(console.out, "Saved %s: %s, %s%s\n", arguments.target.c_str(),
                     formatClipTime(std::int64_t{arguments.endMs} - arguments.beginMs).c_str(),
                     formatByteCount(outcome.bytes).c_str(), describeAppliedGain(applied).c_str());
        std::fflush(console.out);
    }
    return kCutSucceeded;
}

}  // namespace snipwell

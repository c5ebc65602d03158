#include "cut/cut_command.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "clip/export/clip_range.h"
#include "clip/tracks/track_job.h"
#include "common/clip_time.h"
#include "common/runtime_error.h"
#include "cut/cut_tracks.h"
#include "cut/folder_in_the_way.h"
#include "cut/refusal_text.h"
#include "cut/terminal_progress.h"
#include "split/silence_texts.h"
#include "split/split_plan.h"

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

// The clip as a job of one track: the marks as given, the source's own tags
// (exact clips keep them), committed once the whole source is walked.
TrackJob clipJob(const CutArguments& arguments, std::int32_t lengthMs) {
    TrackJob job;
    job.sourcePath = arguments.source;
    job.sourceLengthMs = lengthMs;
    TrackToWrite track;
    track.beginMs = arguments.beginMs;
    track.endMs = arguments.endMs;
    track.milliseconds = std::int64_t{arguments.endMs} - arguments.beginMs;
    track.targetPath = arguments.target;
    job.tracks.push_back(std::move(track));
    return job;
}

// The step the clip gets: as asked, or what the clipping guard allows. The
// guard decodes the source bytes the clip is made of, before anything is
// written, so a clip it cannot measure is not written at all.
AppliedGain chooseGain(const CutArguments& arguments, CutTracks& tracks,
                       const ClipPeakLookup& peakOf) {
    return settleGain(arguments.gain, [&] {
        if (!peakOf)
            throw RuntimeError(ErrorKind::FileError, "the clipping guard is not available");
        const TrackSourceBytes bytes = tracks.sourceBytesOf(0);
        return measuredPeak(peakOf(arguments.source, bytes.offset, bytes.length));
    });
}

// The bar of a single clip: the exact engine's walk through the source in
// tenths of a percent, or the byte range's bytes.
TrackCallbacks clipProgress(bool exactly, TerminalProgress& progress, CutOutcome& outcome) {
    TrackCallbacks callbacks;
    if (exactly) {
        progress.start(1000);
        callbacks.progress = [&progress](std::uint64_t done, std::uint64_t total) {
            const double share = static_cast<double>(done) / static_cast<double>(total);
            progress.show(static_cast<std::int64_t>(share * 1000));
        };
    } else {
        callbacks.copyStarts = [&progress](std::size_t, std::uint64_t bytes) {
            progress.start(static_cast<std::int64_t>(bytes));
        };
        callbacks.progress = [&progress](std::uint64_t done, std::uint64_t) {
            progress.show(static_cast<std::int64_t>(done));
        };
    }
    callbacks.saved = [&outcome](std::size_t, std::uint64_t bytes) {
        outcome.bytes = static_cast<std::int64_t>(bytes);
    };
    callbacks.clamped = [&outcome](std::size_t, std::uint64_t granules) {
        outcome.gain.clampedGranules = granules;
    };
    return callbacks;
}

// With --trim, the clip counted in samples: from a little before its first
// sound to a little after its last. Told when the clip is silence
// throughout, and kept whole then; throws RuntimeError when the levels are
// not known, before anything is written.
void trimClip(const CutArguments& arguments, const ClipLevelLookup& levelsOf, TrackJob& job,
              CutConsole& console) {
    if (!levelsOf) throw RuntimeError(ErrorKind::FileError, "no level scan is available");
    auto scanned = levelsOf(arguments.source, arguments.beginMs, arguments.endMs);
    if (const auto* reason = std::get_if<std::string>(&scanned)) {
        throw RuntimeError(ErrorKind::FileError, *reason);
    }
    const ClipLevels& clip = std::get<ClipLevels>(scanned);
    const KeptClip kept = keptSamplesOf(clip, arguments.trim);
    if (kept.silentThroughout) {
        std::fprintf(console.err, "snipwell-cut: warning: %s\n",
                     ("the clip is silence throughout (below " +
                      decibelText(arguments.trim.thresholdDb) + "); it is kept whole")
                         .c_str());
    }
    TrackToWrite& track = job.tracks.front();
    job.sampleRate = clip.sampleRate;
    track.beginSample = kept.samples.begin;
    track.endSample = kept.samples.end;
    track.milliseconds =
        samplesToMilliseconds(kept.samples.end - kept.samples.begin, clip.sampleRate);
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
           CutConsole& console, const ClipPeakLookup& peakOf, const ClipLevelLookup& levelsOf) {
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
    TrackJob job = clipJob(arguments, lengthMs);
    if (arguments.trim.trims()) {
        try {
            trimClip(arguments, levelsOf, job, console);
        } catch (const RuntimeError& error) {
            return fail(console, std::string("the clip was not saved: ") + error.what());
        }
    }
    CutTracks tracks(job, arguments.exact, files, ExactRefusalWording::plain);
    AppliedGain applied;
    if (arguments.gain.changesFrames()) {
        try {
            applied = chooseGain(arguments, tracks, peakOf);
            job.tracks.front().gain = gainSettingsOf(applied);
        } catch (const RuntimeError& error) {
            return fail(console, std::string("the clip was not saved: ") + error.what());
        }
    }

    CutOutcome outcome;
    TerminalProgress progress(arguments.quiet ? nullptr : console.err);
    try {
        tracks.write(clipProgress(arguments.exact, progress, outcome));
        progress.complete();
    } catch (const RuntimeError& error) {
        progress.finish();
        return fail(console, std::string("the clip was not saved: ") + error.what());
    }
    applied.clampedGranules = outcome.gain.clampedGranules;
    if (!arguments.quiet) {
        std::fprintf(console.out, "Saved %s: %s, %s%s\n", arguments.target.c_str(),
                     formatClipTime(job.tracks.front().milliseconds).c_str(),
                     formatByteCount(outcome.bytes).c_str(), describeAppliedGain(applied).c_str());
        std::fflush(console.out);
    }
    return kCutSucceeded;
}

}  // namespace snipwell

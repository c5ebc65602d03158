#include "cut/cut_command.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "clip/export/clip_range.h"
#include "clip/export/export_refusal.h"
#include "clip/tracks/track_job.h"
#include "common/clip_time.h"
#include "cut/cut_tracks.h"
#include "cut/file_step.h"
#include "cut/folder_in_the_way.h"
#include "cut/terminal_progress.h"
#include "split/silence_texts.h"
#include "split/split_plan.h"

namespace snipwell {
namespace {

CutFailure refused(CommandRefusalKind kind, std::string path = {}) {
    return refusedBy(CutStage::request, CommandRefusal(kind, std::move(path)));
}

CutFailure notSaved(CutFailure failure) { return atStage(std::move(failure), CutStage::clip); }

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
CutResult<std::int32_t> checkedTrackLength(const CutArguments& arguments, Files& files,
                                           const TrackLengthLookup& trackLengthMs) {
    auto size = sourceSize(files, arguments.source);
    if (auto* failure = std::get_if<CutFailure>(&size)) return notSaved(std::move(*failure));
    if (isBeyondClipPositions(std::get<std::int64_t>(size))) {
        return notSaved(failureOf(ExportRefusal(ExportRefusalKind::sourceTooLarge)));
    }
    auto length = trackLengthMs(arguments.source);
    if (auto* failure = std::get_if<CutFailure>(&length)) return notSaved(std::move(*failure));
    const std::int32_t lengthMs = std::get<std::int32_t>(length);
    // The window's marks come from playback and stay within the track; a
    // typed END past it is a mistake worth saying.
    if (arguments.endMs > lengthMs) {
        return refusedBy(CutStage::clip, CommandRefusal(CommandRefusalKind::endPastTrack, {}, {},
                                                        arguments.endMs, lengthMs));
    }
    return lengthMs;
}

// What a cut wrote: its size, and what became of a gain.
struct WrittenClip {
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
CutResult<AppliedGain> chooseGain(const CutArguments& arguments, CutTracks& tracks,
                                  const ClipPeakLookup& peakOf) {
    double peak = 0;
    if (arguments.gain.needsGuard()) {
        if (!peakOf)
            return refusedBy(CutStage::clip, CommandRefusal(CommandRefusalKind::guardUnavailable));
        auto bytes = tracks.sourceBytesOf(0);
        if (auto* failure = std::get_if<CutFailure>(&bytes)) return notSaved(std::move(*failure));
        const auto& range = std::get<TrackSourceBytes>(bytes);
        auto measured = guardedPeak(peakOf, arguments.source, range.offset, range.length);
        if (auto* failure = std::get_if<CutFailure>(&measured))
            return notSaved(std::move(*failure));
        peak = std::get<double>(measured);
    }
    return settleGain(arguments.gain, [peak] { return peak; });
}

// The bar of a single clip: the exact engine's walk through the source in
// tenths of a percent, or the byte range's bytes.
TrackCallbacks clipProgress(bool exactly, TerminalProgress& progress, WrittenClip& outcome) {
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
// throughout, and kept whole then; a failure when the levels are not
// known, before anything is written.
std::optional<CutFailure> trimClip(const CutArguments& arguments, const ClipLevelLookup& levelsOf,
                                   TrackJob& job, CutConsole& console) {
    if (!levelsOf) return failureOf(SplitPlanError{"no level scan is available"});
    auto scanned = levelsOf(arguments.source, arguments.beginMs, arguments.endMs);
    if (auto* failure = std::get_if<CutFailure>(&scanned)) return std::move(*failure);
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
    return std::nullopt;
}

}  // namespace

CutResult<double> guardedPeak(const ClipPeakLookup& peakOf, const std::string& source,
                              std::uint64_t offset, std::uint64_t length) {
    if (!peakOf)
        return refusedBy(CutStage::request, CommandRefusal(CommandRefusalKind::guardUnavailable));
    auto measured = peakOf(source, offset, length);
    if (auto* failure = std::get_if<LevelProbeFailure>(&measured)) {
        CommandRefusal refusal(CommandRefusalKind::guardFailed);
        refusal.probe = std::move(*failure);
        return refusedBy(CutStage::request, std::move(refusal));
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

CutOutcome runCut(const CutArguments& arguments, Files& files,
                  const TrackLengthLookup& trackLengthMs, CutConsole& console,
                  const ClipPeakLookup& peakOf, const ClipLevelLookup& levelsOf) {
    if (arguments.beginMs < 0) return refused(CommandRefusalKind::negativeBegin);
    if (!isSavableSelection(arguments.beginMs, arguments.endMs)) {
        return refused(CommandRefusalKind::beginNotBeforeEnd);
    }
    if (isSourceItself(files, arguments.target, arguments.source)) {
        return refused(CommandRefusalKind::overwritesSource, arguments.source);
    }
    if (auto folder = folderInTheWay(arguments.target)) return *folder;

    // The exact cut walks the frames itself and says precisely what it
    // cannot cut (a free-format stream, say), so the plain length check is
    // for the byte range only.
    std::int32_t lengthMs = 0;
    if (!arguments.exact) {
        auto length = checkedTrackLength(arguments, files, trackLengthMs);
        if (auto* failure = std::get_if<CutFailure>(&length)) return std::move(*failure);
        lengthMs = std::get<std::int32_t>(length);
    }

    if (!arguments.force && files.exists(arguments.target)) {
        if (!console.interactive) {
            return refused(CommandRefusalKind::targetExists, arguments.target);
        }
        if (!askToOverwrite(console, arguments.target)) {
            return refused(CommandRefusalKind::notOverwritten);
        }
    }

    // The gain is settled, and the guard has measured the clip, before
    // anything is written.
    TrackJob job = clipJob(arguments, lengthMs);
    if (arguments.trim.trims()) {
        if (auto failure = trimClip(arguments, levelsOf, job, console)) return notSaved(*failure);
    }
    CutTracks tracks(job, arguments.exact, files, ExactRefusalWording::plain);
    AppliedGain applied;
    if (arguments.gain.changesFrames()) {
        auto chosen = chooseGain(arguments, tracks, peakOf);
        if (auto* failure = std::get_if<CutFailure>(&chosen)) return std::move(*failure);
        applied = std::get<AppliedGain>(chosen);
        job.tracks.front().gain = gainSettingsOf(applied);
    }

    WrittenClip written;
    TerminalProgress progress(arguments.quiet ? nullptr : console.err);
    if (auto failure = tracks.write(clipProgress(arguments.exact, progress, written))) {
        progress.finish();
        return notSaved(std::move(*failure));
    }
    progress.complete();
    applied.clampedGranules = written.gain.clampedGranules;
    if (!arguments.quiet) {
        std::fprintf(console.out, "Saved %s: %s, %s%s\n", arguments.target.c_str(),
                     formatClipTime(job.tracks.front().milliseconds).c_str(),
                     formatByteCount(written.bytes).c_str(), describeAppliedGain(applied).c_str());
        std::fflush(console.out);
    }
    return std::nullopt;
}

}  // namespace snipwell

#include "cut/split_writer.h"

#include <limits>

#include "clip/export/clip_export.h"
#include "clip/export/source_clip_range.h"
#include "common/runtime_error.h"
#include "cut/byte_range_gain.h"
#include "cut/patched_clip_target.h"

namespace snipwell {
namespace {

std::int32_t asMilliseconds(std::int64_t ms) {
    if (ms > std::numeric_limits<std::int32_t>::max()) throw RuntimeError::overflow();
    return static_cast<std::int32_t>(ms);
}

}  // namespace

void writeByteRangeTracks(const SplitJob& job, Files& files, const SplitCallbacks& callbacks) {
    const SplitPlan& plan = job.plan;
    const std::int32_t lengthMs =
        asMilliseconds(samplesToMilliseconds(plan.sourceSamples, plan.sampleRate));
    std::int64_t doneBytes = 0;
    const auto totalBytes =
        static_cast<double>(std::max<std::int64_t>(1, files.fileSize(job.sourcePath)));
    for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
        const PlannedTrack& track = plan.tracks[i];
        const std::int32_t beginMs = asMilliseconds(track.begin.milliseconds());
        const std::int32_t endMs = asMilliseconds(track.end.milliseconds());
        // With a gain, the frames inside the track's bytes are edited as
        // they are copied.
        ClipEdits edits;
        if (job.gain.changesAnything()) {
            const ClipRange bytes =
                clipRangeInSource(job.sourcePath, files.fileSize(job.sourcePath), lengthMs, beginMs,
                                  endMs)
                    .range;
            const auto first = static_cast<std::uint64_t>(bytes.beginOffset - 1);
            const auto length = static_cast<std::uint64_t>(bytes.clipBytes());
            edits = byteRangeClipEdits(job.sourcePath, first, length, job.gain);
        }
        FrameEditTally tally;
        PatchingFiles patched(files, job.trackPaths[i], std::move(edits), tally);
        ClipExport clip(patched, job.sourcePath, job.trackPaths[i]);
        const ClipRange range = clip.measure(lengthMs, beginMs, endMs);
        clip.copyInBlocks(range, [&](std::int64_t done, std::int64_t) {
            if (callbacks.progress)
                callbacks.progress(static_cast<double>(doneBytes + done) / totalBytes);
        });
        clip.commit();
        if (job.gain.changesAnything() && callbacks.clamped) {
            callbacks.clamped(i, tally.clampedGranules);
        }
        doneBytes += range.clipBytes();
        if (callbacks.saved) callbacks.saved(i, static_cast<std::uint64_t>(range.clipBytes()));
    }
}

}  // namespace snipwell

#include "cut/split_writer.h"

#include <limits>

#include "clip/export/clip_export.h"
#include "common/runtime_error.h"

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
        ClipExport clip(files, job.sourcePath, job.trackPaths[i]);
        const ClipRange range = clip.measure(lengthMs, asMilliseconds(track.begin.milliseconds()),
                                             asMilliseconds(track.end.milliseconds()));
        clip.copyInBlocks(range, [&](std::int64_t done, std::int64_t) {
            if (callbacks.progress)
                callbacks.progress(static_cast<double>(doneBytes + done) / totalBytes);
        });
        clip.commit();
        doneBytes += range.clipBytes();
        if (callbacks.saved) callbacks.saved(i, static_cast<std::uint64_t>(range.clipBytes()));
    }
}

}  // namespace snipwell

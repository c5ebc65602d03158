#include "clip/exact/exact_cut.h"

#include "clip/exact/exact_tracks.h"

namespace snipwell::exact {
namespace {

std::optional<ExactCutRefusal> checkMarks(const ExactCutRequest& request) {
    if (request.beginMs < 0) return refusalOf(ExactRefusalKind::negativeBegin);
    if (request.endMs <= request.beginMs) {
        return refusalOf(ExactRefusalKind::beginNotBeforeEnd);
    }
    return std::nullopt;
}

// The clip as a job of one track: the marks as given, the source's own
// tags, committed once the whole source is walked.
TrackJob exactClipJob(const ExactCutRequest& request, const mp3::GainSettings& gain) {
    TrackJob job;
    job.sourcePath = request.sourcePath;
    TrackToWrite track;
    track.beginMs = request.beginMs;
    track.endMs = request.endMs;
    track.milliseconds = request.endMs - request.beginMs;
    track.targetPath = request.targetPath;
    track.gain = gain;
    job.tracks.push_back(std::move(track));
    return job;
}

}  // namespace

ExactResult<ExactClip> cutExactClip(const ExactCutRequest& request, Files& files,
                                    const ExactCutProgress& progress,
                                    const mp3::GainSettings& gain) {
    if (auto refused = checkMarks(request)) return *refused;
    if (isSourceItself(files, request.targetPath, request.sourcePath)) {
        return refusalOf(ExactRefusalKind::targetIsSource);
    }
    const TrackJob job = exactClipJob(request, gain);
    auto opened = ExactTracks::open(job);
    if (auto* refused = std::get_if<ExactCutRefusal>(&opened)) return *refused;
    TrackCallbacks callbacks;
    if (progress) {
        callbacks.progress = [&](std::uint64_t done, std::uint64_t total) {
            progress(static_cast<double>(done) / static_cast<double>(total));
        };
    }
    auto written = std::get<ExactTracks>(opened).write(files, callbacks);
    if (auto* refused = std::get_if<ExactCutRefusal>(&written)) return *refused;
    return std::get<std::vector<ExactClip>>(written).front();
}

}  // namespace snipwell::exact

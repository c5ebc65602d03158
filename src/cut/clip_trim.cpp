#include "cut/clip_trim.h"

#include "clip/exact/exact_tracks.h"
#include "level/level_probe_client.h"
#include "split/source_levels.h"

namespace snipwell {
namespace {

std::uint64_t sampleAt(std::int64_t ms, std::uint32_t rate) {
    return static_cast<std::uint64_t>(ms) * rate / 1000;
}

}  // namespace

CutResult<ClipLevels> scanClipLevels(const std::string& source, std::int64_t beginMs,
                                     std::int64_t endMs) {
    const auto measured = exact::measureExactSource(source);
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&measured)) {
        return failureOf(ExactFailure{*refusal, ExactRefusalWording::plain}, source);
    }
    const auto& length = std::get<exact::ExactSourceLength>(measured);
    ClipLevels clip;
    clip.sampleRate = length.sampleRate;
    clip.marks = {sampleAt(beginMs, length.sampleRate), sampleAt(endMs, length.sampleRate)};
    if (clip.marks.end > length.samples) {
        const auto trackMs = static_cast<std::int64_t>(length.samples * 1000 / length.sampleRate);
        return failureOf(CommandRefusal(CommandRefusalKind::endPastTrack, {}, {}, endMs, trackMs));
    }
    auto scanned = scanLevelsWithProbe(source, levelWindowSamples(length.sampleRate), clip.marks);
    if (const auto* failure = std::get_if<LevelProbeFailure>(&scanned)) {
        return failureOf(
            SplitPlanError{"the levels of the clip could not be measured: " + failure->reason});
    }
    clip.levels = std::get<ScannedLevels>(std::move(scanned)).levels;
    return clip;
}

KeptClip keptSamplesOf(const ClipLevels& clip, const TrimChoice& choice) {
    // The levels count from the clip's first sample.
    const auto kept = level::soundWithin(clip.levels, {0, clip.marks.end - clip.marks.begin},
                                         trimRulesAt(choice, clip.sampleRate));
    if (!kept) return {clip.marks, true};
    return {{clip.marks.begin + kept->begin, clip.marks.begin + kept->end}, false};
}

}  // namespace snipwell

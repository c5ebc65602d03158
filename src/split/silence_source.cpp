#include "split/silence_source.h"

#include "common/clip_time.h"
#include "split/silence_texts.h"

namespace snipwell {
namespace {

std::uint64_t samplesIn(std::int64_t ms, std::uint32_t rate) {
    return ms <= 0 ? 0 : static_cast<std::uint64_t>(ms) * rate / 1000;
}

}  // namespace

level::SilenceRules silenceRules(const SilenceChoice& choice, std::uint32_t sampleRate) {
    return {choice.thresholdDb, samplesIn(choice.minSilenceMs, sampleRate), choice.splitShare,
            samplesIn(choice.minTrackMs, sampleRate), samplesIn(choice.maxTrackMs, sampleRate)};
}

SplitPointsOrRefusal SilenceSource::pointsFor(const SplitSubject& subject) const {
    const std::uint32_t rate = subject.length.sampleRate;
    auto measured = levels_.of(subject.length);
    if (auto* refused = std::get_if<SplitPlanError>(&measured)) return std::move(*refused);
    const level::WindowLevels& levels = *std::get<const level::WindowLevels*>(measured);

    const level::SilenceRules rules = silenceRules(choice_, rate);
    const auto found = level::findSilenceSplits(levels, rules);
    if (const auto* none = std::get_if<level::NoSilenceFound>(&found)) {
        return SplitPlanError{noSilenceText(*none, rules, rate)};
    }
    const level::SilencePlan& plan = std::get<level::SilencePlan>(found);
    if (plan.splits.empty()) {
        return SplitPlanError{
            "no split is left: each split at a silence would leave a track "
            "shorter than --min-track " +
            formatClipTime(choice_.minTrackMs)};
    }
    SplitPoints points;
    points.tracks.push_back(numberedTrack(1, SplitTime{}));
    for (const level::SilenceSplit& split : plan.splits) {
        TrackSpec track = numberedTrack(static_cast<int>(points.tracks.size() + 1),
                                        SplitTime{static_cast<std::int64_t>(split.sample), rate});
        track.notes.push_back(silenceSplitNote(split, rate));
        points.tracks.push_back(std::move(track));
    }
    return points;
}

}  // namespace snipwell

#include "split/trimmed_tracks.h"

#include "split/silence_texts.h"

namespace snipwell {
namespace {

std::optional<std::uint64_t> samplesIn(const std::optional<std::int64_t>& ms, std::uint32_t rate) {
    if (!ms) return std::nullopt;
    return *ms <= 0 ? 0 : static_cast<std::uint64_t>(*ms) * rate / 1000;
}

// "trimmed 1.2 s of silence at the start and 0.8 s at the end"
std::string trimNote(std::uint64_t atStart, std::uint64_t atEnd, std::uint32_t rate) {
    std::string note = "trimmed ";
    if (atStart > 0) note += secondsText(atStart, rate) + " of silence at the start";
    if (atStart > 0 && atEnd > 0) note += " and ";
    if (atEnd > 0)
        note += secondsText(atEnd, rate) + (atStart > 0 ? "" : " of silence") + " at the end";
    return note;
}

}  // namespace

level::TrimRules trimRulesAt(const TrimChoice& choice, std::uint32_t sampleRate) {
    return {choice.thresholdDb, samplesIn(choice.keepAtStartMs, sampleRate),
            samplesIn(choice.keepAtEndMs, sampleRate)};
}

std::vector<std::string> trimTracks(SplitPlan& plan, const level::WindowLevels& levels,
                                    const TrimChoice& choice) {
    std::vector<std::string> warnings;
    const std::uint32_t rate = plan.sampleRate;
    const level::TrimRules rules = trimRulesAt(choice, rate);
    for (PlannedTrack& track : plan.tracks) {
        const auto kept = level::soundWithin(levels, {track.beginSample, track.endSample}, rules);
        if (!kept) {
            warnings.push_back("track " + std::to_string(track.number) +
                               " is silence throughout (below " + decibelText(choice.thresholdDb) +
                               "); it is kept whole");
            continue;
        }
        const std::uint64_t atStart = kept->begin - track.beginSample;
        const std::uint64_t atEnd = track.endSample - kept->end;
        if (atStart == 0 && atEnd == 0) continue;
        track.beginSample = kept->begin;
        track.endSample = kept->end;
        track.begin = SplitTime{static_cast<std::int64_t>(kept->begin), rate};
        track.end = SplitTime{static_cast<std::int64_t>(kept->end), rate};
        track.notes.push_back(trimNote(atStart, atEnd, rate));
    }
    return warnings;
}

}  // namespace snipwell

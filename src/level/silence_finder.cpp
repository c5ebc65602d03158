#include "level/silence_finder.h"

#include <algorithm>
#include <cmath>

namespace snipwell::level {
namespace {

// The windows [first, last) as one stretch, at the level of the loudest.
QuietStretch stretchOf(const WindowLevels& levels, std::size_t first, std::size_t last) {
    const auto loudest = std::max_element(levels.rms.begin() + static_cast<std::ptrdiff_t>(first),
                                          levels.rms.begin() + static_cast<std::ptrdiff_t>(last));
    return {levels.beginOf(first), levels.endOf(last - 1), decibels(*loudest)};
}

// Every run of windows quieter than the threshold, in order.
std::vector<QuietStretch> quietRuns(const WindowLevels& levels, double thresholdDb) {
    const double threshold = rmsOf(thresholdDb);
    const std::size_t count = levels.windowCount();
    std::vector<QuietStretch> runs;
    std::size_t window = 0;
    while (window < count) {
        if (!(levels.rms[window] < threshold)) {
            ++window;
            continue;
        }
        const std::size_t first = window;
        while (window < count && levels.rms[window] < threshold) ++window;
        runs.push_back(stretchOf(levels, first, window));
    }
    return runs;
}

bool isInside(const QuietStretch& stretch, std::uint64_t totalSamples) {
    return stretch.beginSample > 0 && stretch.endSample < totalSamples;
}

// The weaker of two splits is the one in the shorter silence, or, at equal
// length, in the louder one: the pause less likely to part two pieces.
bool isWeaker(const SilenceSplit& a, const SilenceSplit& b) {
    if (a.quiet.length() != b.quiet.length()) return a.quiet.length() < b.quiet.length();
    return a.quiet.levelDb > b.quiet.levelDb;
}

std::uint64_t trackLength(const std::vector<SilenceSplit>& splits, std::size_t track,
                          std::uint64_t totalSamples) {
    const std::uint64_t begin = track == 0 ? 0 : splits[track - 1].sample;
    const std::uint64_t end = track == splits.size() ? totalSamples : splits[track].sample;
    return end - begin;
}

// Merges the shortest track under the minimum into a neighbour, again and
// again, over the weaker split around it.
void mergeShortTracks(std::vector<SilenceSplit>& splits, std::uint64_t minTrack,
                      std::uint64_t totalSamples) {
    while (!splits.empty()) {
        std::size_t shortest = 0;
        for (std::size_t track = 1; track <= splits.size(); ++track) {
            if (trackLength(splits, track, totalSamples) <
                trackLength(splits, shortest, totalSamples)) {
                shortest = track;
            }
        }
        if (trackLength(splits, shortest, totalSamples) >= minTrack) return;
        std::size_t drop = shortest == 0 ? 0 : shortest - 1;
        if (shortest > 0 && shortest < splits.size() && isWeaker(splits[shortest], splits[drop])) {
            drop = shortest;
        }
        splits.erase(splits.begin() + static_cast<std::ptrdiff_t>(drop));
    }
}

// The quietest window that overlaps [from, to], with the windows of the
// same level right after it; the split goes to the middle of that run, kept
// within [from, to].
SilenceSplit quietestSplit(const WindowLevels& levels, std::uint64_t from, std::uint64_t to) {
    const std::size_t count = levels.windowCount();
    const auto firstWindow = static_cast<std::size_t>(from / levels.windowSamples);
    const std::size_t lastWindow = std::min<std::size_t>(
        count, std::max<std::size_t>(firstWindow + 1,
                                     static_cast<std::size_t>(to / levels.windowSamples + 1)));
    if (firstWindow >= lastWindow) {  // levels that stop short of the samples
        return {to, {to, to, kQuietestDb}, SplitSource::quietestInLongTrack};
    }
    const auto begin = levels.rms.begin();
    const auto quietest = std::min_element(begin + static_cast<std::ptrdiff_t>(firstWindow),
                                           begin + static_cast<std::ptrdiff_t>(lastWindow));
    const auto first = static_cast<std::size_t>(quietest - begin);
    std::size_t last = first + 1;
    while (last < lastWindow && levels.rms[last] == *quietest) ++last;
    const QuietStretch quiet = stretchOf(levels, first, last);
    const std::uint64_t middle = quiet.beginSample + quiet.length() / 2;
    return {std::clamp(middle, from, to), quiet, SplitSource::quietestInLongTrack};
}

// Splits [begin, end) at its quietest windows into as few tracks as the
// maximum allows: each cut leaves the rest a whole number of maximum-length
// tracks at most, and no track under the minimum where that can be kept.
void splitLongTrack(const WindowLevels& levels, const SilenceRules& rules, std::uint64_t begin,
                    std::uint64_t end, std::vector<SilenceSplit>& out) {
    const std::uint64_t most = rules.maxTrackSamples;
    while (end - begin > most) {
        const std::uint64_t length = end - begin;
        const std::uint64_t pieces = (length + most - 1) / most;
        const std::uint64_t shortestFirst = length - (pieces - 1) * most;
        std::uint64_t from = begin + std::max(shortestFirst, rules.minTrackSamples);
        std::uint64_t to = std::min(begin + most, end - std::min(end, rules.minTrackSamples));
        if (from > to) {
            from = begin + shortestFirst;
            to = begin + most;
        }
        out.push_back(quietestSplit(levels, from, to));
        begin = out.back().sample;
    }
}

std::vector<SilenceSplit> withLongTracksSplit(const WindowLevels& levels, const SilenceRules& rules,
                                              const std::vector<SilenceSplit>& splits) {
    if (rules.maxTrackSamples == 0) return splits;
    std::vector<SilenceSplit> out;
    std::uint64_t begin = 0;
    for (std::size_t track = 0; track <= splits.size(); ++track) {
        const std::uint64_t end =
            track == splits.size() ? levels.totalSamples : splits[track].sample;
        splitLongTrack(levels, rules, begin, end, out);
        if (track < splits.size()) out.push_back(splits[track]);
        begin = end;
    }
    return out;
}

// The longest quiet run and the quietest window away from the edges, where
// a split could go.
NoSilenceFound whatWasFound(const WindowLevels& levels, const std::vector<QuietStretch>& runs) {
    NoSilenceFound found;
    std::size_t firstInner = 0;
    std::size_t lastInner = levels.windowCount();
    for (const QuietStretch& run : runs) {
        if (isInside(run, levels.totalSamples)) {
            if (!found.longestQuiet || run.length() > found.longestQuiet->length())
                found.longestQuiet = run;
        } else if (run.beginSample == 0) {
            firstInner = static_cast<std::size_t>(run.endSample / levels.windowSamples);
        } else {
            lastInner = static_cast<std::size_t>(run.beginSample / levels.windowSamples);
        }
    }
    if (firstInner < lastInner) {
        const auto begin = levels.rms.begin();
        const auto quietest = std::min_element(begin + static_cast<std::ptrdiff_t>(firstInner),
                                               begin + static_cast<std::ptrdiff_t>(lastInner));
        const auto window = static_cast<std::size_t>(quietest - begin);
        found.quietestWindow = stretchOf(levels, window, window + 1);
    }
    return found;
}

}  // namespace

std::variant<SilencePlan, NoSilenceFound> findSilenceSplits(const WindowLevels& levels,
                                                            const SilenceRules& rules) {
    if (levels.windowSamples == 0) return NoSilenceFound{};
    const std::vector<QuietStretch> runs = quietRuns(levels, rules.thresholdDb);
    SilencePlan plan;
    std::vector<SilenceSplit> splits;
    const double share = std::clamp(rules.splitShare, 0.0, 1.0);
    for (const QuietStretch& run : runs) {
        if (run.length() < rules.minSilenceSamples || run.length() == 0) continue;
        plan.silences.push_back(run);
        if (!isInside(run, levels.totalSamples)) continue;
        const auto into =
            static_cast<std::uint64_t>(std::llround(share * static_cast<double>(run.length())));
        splits.push_back({run.beginSample + into, run, SplitSource::silence});
    }
    const bool silenceInside = !splits.empty();
    mergeShortTracks(splits, rules.minTrackSamples, levels.totalSamples);
    plan.splits = withLongTracksSplit(levels, rules, splits);
    if (!silenceInside && plan.splits.empty()) return whatWasFound(levels, runs);
    return plan;
}

}  // namespace snipwell::level

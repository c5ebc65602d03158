#pragma once
// Where to split a recording at its silences, from the levels of its short
// windows alone (no decoding here, so the rules can be tried on made-up
// levels and on a plan a person reviews before anything is written).
//
// A silence is a run of windows each quieter than the threshold, lasting at
// least the minimum length; runs never overlap, and a run that reaches the
// first or the last sample counts too, though no split is made in it (there
// is no track before the first sample or after the last). Each silence
// inside the recording gives one split point at the chosen share of its
// length. Then the track rules: a track shorter than the minimum is merged
// into its neighbour over the weaker of the splits around it, until none is
// shorter or no split is left; a track longer than the maximum is split at
// its quietest window, in as few pieces as the maximum allows, none shorter
// than the minimum where that can be kept.

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "level/window_levels.h"

namespace snipwell::level {

struct SilenceRules {
    double thresholdDb = -48.0;
    std::uint64_t minSilenceSamples = 0;
    double splitShare = 0.5;            // 0 at the silence's start, 1 at its end
    std::uint64_t minTrackSamples = 0;  // 0: tracks may be of any length
    std::uint64_t maxTrackSamples = 0;  // 0: tracks may be as long as they are
};

// A run of quiet windows. Its level is that of its loudest window, so any
// threshold above it finds the whole run.
struct QuietStretch {
    std::uint64_t beginSample = 0;
    std::uint64_t endSample = 0;
    double levelDb = kQuietestDb;
    std::uint64_t length() const { return endSample - beginSample; }

    friend bool operator==(const QuietStretch&, const QuietStretch&) = default;
};

enum class SplitSource : std::uint8_t {
    silence,             // inside a silence, at the chosen share
    quietestInLongTrack  // the quietest window of a track longer than the maximum
};

struct SilenceSplit {
    std::uint64_t sample = 0;  // the first sample of the track after it
    QuietStretch quiet;        // the silence or quiet window it lies in
    SplitSource source = SplitSource::silence;

    friend bool operator==(const SilenceSplit&, const SilenceSplit&) = default;
};

struct SilencePlan {
    std::vector<QuietStretch> silences;  // every silence found, in order, the edges too
    std::vector<SilenceSplit> splits;    // in order; none when the rules merged them all
};

// What to tell a person when there is no silence to split at, so that the
// next threshold or minimum length is a choice: the longest run of windows
// under the threshold away from the edges (shorter than the minimum length),
// and the quietest window away from the silences at the edges.
struct NoSilenceFound {
    std::optional<QuietStretch> longestQuiet;
    std::optional<QuietStretch> quietestWindow;
};

// NoSilenceFound when the recording holds no silence away from its edges and
// the maximum track length adds no split either.
std::variant<SilencePlan, NoSilenceFound> findSilenceSplits(const WindowLevels& levels,
                                                            const SilenceRules& rules);

}  // namespace snipwell::level

#pragma once
// Which gain change each granule of a clip gets: one step for the whole clip
// (--gain), lowered further near the clip's edges by the fades. A fade is a
// staircase in 1.5 dB steps, one stair per granule of 576 samples, that
// follows a straight line in amplitude from silence at the clip's edge to
// full level DURATION later.
//
// Granules are counted in the decoded stream of the frames written: granule
// g decodes to the samples [576·g, 576·g + 576), counting from the first
// sample of the first audio frame the clip holds, before any trimming by an
// info frame's encoder delay. A decoder's output for granule g also carries
// the tails of granules g-1 and g-2 (the overlap of the transform and the
// synthesis filter), so silencing a stretch means silencing the granules
// that reach into it: the first 576 played samples of a faded-in clip and
// the last 576 of a faded-out one are made of silent granules only.
//
// The plan is pure data; applying it to frames is applyGranuleChanges().

#include <cstdint>
#include <optional>

#include "mp3/granule_gain.h"

namespace snipwell::mp3 {

inline constexpr std::uint32_t samplesPerGranule = 576;

// round(decibels / 1.5), halves away from zero: +3 dB is 2 steps, -1 dB is
// -1 step, +0.7 dB is 0 steps.
int gainStepsForDecibels(double decibels);
double decibelsOfGainSteps(int steps);

// The largest step that leaves a stream whose decoded peak is `peak` (1.0 is
// full scale) below full scale; it is negative when the stream already
// clips. Empty for a silent stream (peak 0), which no gain can clip.
std::optional<int> largestSafeGainSteps(double peak);

struct GainRequest {
    int steps = 0;                    // for every granule
    std::uint64_t fadeInSamples = 0;  // per channel; 0: no fade-in
    std::uint64_t fadeOutSamples = 0;
};

// The gain and fades as a person asks for them, before the stream's sample
// rate is known.
struct GainSettings {
    int steps = 0;
    std::int64_t fadeInMs = 0;  // 0: no fade
    std::int64_t fadeOutMs = 0;

    bool changesAnything() const { return steps != 0 || fadeInMs > 0 || fadeOutMs > 0; }
    GainRequest atRate(std::uint32_t sampleRate) const {
        const auto samples = [&](std::int64_t ms) {
            return ms <= 0 ? std::uint64_t{0} : static_cast<std::uint64_t>(ms) * sampleRate / 1000;
        };
        return {steps, samples(fadeInMs), samples(fadeOutMs)};
    }
};

// The samples a player plays of the written stream: [first, end).
struct PlayedSamples {
    std::uint64_t first = 0;
    std::uint64_t end = 0;
};

class GainPlan {
public:
    GainPlan() = default;
    GainPlan(const GainRequest& request, const PlayedSamples& played);

    // The change for granule `granule` of the written stream.
    GranuleChange at(std::uint64_t granule) const;

    // False when the plan changes no granule: frames are then copied as they are.
    bool changesAnything() const { return steps_ != 0 || fadeIn_ || fadeOut_; }

    int steps() const { return steps_; }

private:
    // The fade's own part of a granule's change, before the clip's step.
    GranuleChange fadeAt(std::uint64_t granule) const;

    int steps_ = 0;
    bool fadeIn_ = false;
    bool fadeOut_ = false;
    PlayedSamples played_;
    double fadeInSamples_ = 0;
    double fadeOutSamples_ = 0;
    // Granules before this one are silent in a fade-in, and from this one
    // on in a fade-out.
    std::uint64_t fadeInMutedUntil_ = 0;
    std::uint64_t fadeOutMutedFrom_ = 0;
};

// The step of a fade at `fraction` of its way from silence (0) to full
// level (1), on the straight line in amplitude: round(20·log10(fraction) /
// 1.5), never above 0. Empty (silence) for a fraction of 0 or less.
std::optional<int> fadeStepsAt(double fraction);

}  // namespace snipwell::mp3

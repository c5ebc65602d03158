#include "mp3/gain_plan.h"

#include <algorithm>
#include <cmath>

namespace snipwell::mp3 {
namespace {

// No change of global_gain can go further than its whole range.
constexpr int maxSteps = 255;

// Decoded samples are written as 16-bit integers: full scale is 32767/32768.
constexpr double fullScale = 32767.0 / 32768.0;

double centreOf(std::uint64_t granule) {
    return static_cast<double>(granule * samplesPerGranule) + samplesPerGranule / 2.0;
}

}  // namespace

int gainStepsForDecibels(double decibels) {
    const double steps =
        std::clamp(decibels / decibelsPerGainStep, -double{maxSteps}, double{maxSteps});
    return static_cast<int>(std::lround(steps));
}

double decibelsOfGainSteps(int steps) { return steps * decibelsPerGainStep; }

std::optional<int> largestSafeGainSteps(double peak) {
    if (!(peak > 0)) return std::nullopt;
    // peak · 2^(steps/4) <= full scale
    const double steps = std::floor(4.0 * std::log2(fullScale / peak));
    return static_cast<int>(std::clamp(steps, -double{maxSteps}, double{maxSteps}));
}

std::optional<int> fadeStepsAt(double fraction) {
    if (!(fraction > 0)) return std::nullopt;
    if (fraction >= 1) return 0;
    return std::max(gainStepsForDecibels(20.0 * std::log10(fraction)), -maxSteps);
}

GainPlan::GainPlan(const GainRequest& request, const PlayedSamples& played)
    : steps_(request.steps),
      fadeIn_(request.fadeInSamples > 0),
      fadeOut_(request.fadeOutSamples > 0),
      played_(played),
      fadeInSamples_(static_cast<double>(request.fadeInSamples)),
      fadeOutSamples_(static_cast<double>(request.fadeOutSamples)) {
    // Every granule that reaches into the first 576 played samples, and all
    // before them, is silent; the staircase starts after them.
    fadeInMutedUntil_ = (played.first + 2 * samplesPerGranule - 1) / samplesPerGranule;
    // The first granule that decodes into the last 576 played samples
    // carries, in its output, the tails of the two before it.
    const std::uint64_t lastStretch =
        played.end > samplesPerGranule ? played.end - samplesPerGranule : 0;
    const std::uint64_t reaching = lastStretch / samplesPerGranule;
    fadeOutMutedFrom_ = reaching >= 2 ? reaching - 2 : 0;
}

// The stair of a granule is the line's value at the granule's centre.
GranuleChange GainPlan::fadeAt(std::uint64_t granule) const {
    GranuleChange change;
    if (fadeIn_) {
        if (granule < fadeInMutedUntil_) return {0, true};
        const double fraction =
            (centreOf(granule) - static_cast<double>(played_.first)) / fadeInSamples_;
        change.steps = fadeStepsAt(fraction).value_or(-maxSteps);
    }
    if (fadeOut_) {
        if (granule >= fadeOutMutedFrom_) return {0, true};
        const double fraction =
            (static_cast<double>(played_.end) - centreOf(granule)) / fadeOutSamples_;
        change.steps = std::min(change.steps, fadeStepsAt(fraction).value_or(-maxSteps));
    }
    return change;
}

GranuleChange GainPlan::at(std::uint64_t granule) const {
    if (!changesAnything()) return {};
    const GranuleChange fade = fadeAt(granule);
    if (fade.mute) return fade;
    return {steps_ + fade.steps, false};
}

}  // namespace snipwell::mp3

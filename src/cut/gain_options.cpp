#include "cut/gain_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/clip_time.h"
#include "common/shown_value.h"
#include "mp3/gain_plan.h"

namespace snipwell {
namespace {

constexpr std::int32_t maxFadeMs = 3'600'000;

std::string signedDecibels(int steps) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f dB", mp3::decibelsOfGainSteps(steps));
    return text;
}

std::string stepCount(int steps) {
    return std::to_string(steps) + (steps == 1 || steps == -1 ? " step" : " steps");
}

std::string seconds(std::int32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    return text;
}

bool isWholeNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::optional<std::string> readGainOption(GainOptions& into, const std::string& value) {
    if (value == "max") {
        into.gainMax = true;
        into.gainDb.reset();
        return std::nullopt;
    }
    // from_chars takes no leading '+'.
    const char* first = value.data();
    const char* last = value.data() + value.size();
    if (first != last && *first == '+') ++first;
    double decibels = 0;
    const auto [end, error] = std::from_chars(first, last, decibels);
    if (value.empty() || error != std::errc{} || end != last || !std::isfinite(decibels)) {
        return "--gain \"" + shownValue(value) +
               "\" is no gain: give decibels (3, -6, +1.5) or max";
    }
    if (std::fabs(decibels) > maxGainDb) {
        return "--gain " + shownValue(value) + " is beyond the ±100 dB a gain may be";
    }
    into.gainDb = decibels;
    into.gainMax = false;
    return std::nullopt;
}

std::optional<std::string> readFadeDuration(std::int32_t& intoMs, const std::string& optionName,
                                            const std::string& value) {
    std::optional<std::int64_t> ms;
    if (isWholeNumber(value) && value.size() <= 4) {
        ms = std::stoll(value) * 1000;
    } else if (!isWholeNumber(value)) {
        if (const auto parsed = parseClipTime(value)) ms = *parsed;
    }
    if (!ms || *ms <= 0 || *ms > maxFadeMs) {
        return optionName + " \"" + shownValue(value) +
               "\" is no duration: give seconds (2, 1.5) or [M:]S[.fff], more than 0 and at "
               "most an hour";
    }
    intoMs = static_cast<std::int32_t>(*ms);
    return std::nullopt;
}

AppliedGain settleGain(const GainOptions& options, const std::function<double()>& peak) {
    AppliedGain applied;
    applied.gainAsked = options.gainDb.has_value() || options.gainMax;
    applied.fadeInMs = options.fadeInMs;
    applied.fadeOutMs = options.fadeOutMs;
    const int requested = options.gainDb ? mp3::gainStepsForDecibels(*options.gainDb) : 0;
    applied.steps = requested;
    if (!options.needsGuard()) return applied;
    const auto safe = mp3::largestSafeGainSteps(peak());
    applied.guarded = true;
    if (!safe) {
        applied.silentSource = true;
        applied.steps = options.gainMax ? 0 : requested;
    } else if (options.gainMax) {
        applied.steps = *safe;
    } else if (requested > *safe) {
        applied.requestedSteps = requested;
        applied.steps = *safe;
    }
    return applied;
}

std::string describeAppliedGain(const AppliedGain& gain) {
    std::string text;
    if (gain.steps != 0 || gain.requestedSteps || gain.guarded || gain.gainAsked) {
        text += ", gain " + signedDecibels(gain.steps) + " (" + stepCount(gain.steps);
        if (gain.requestedSteps) {
            text += ", lowered from " + signedDecibels(*gain.requestedSteps) +
                    " so that it cannot clip";
        }
        text += ")";
        if (gain.silentSource) {
            text += ", the clip is silent";
        } else if (gain.steps > 0) {
            text += gain.guarded ? ", cannot clip" : ", may clip";
        }
    }
    if (gain.clampedGranules > 0) {
        text += ", " + std::to_string(gain.clampedGranules) +
                (gain.clampedGranules == 1 ? " granule clamped" : " granules clamped");
    }
    if (gain.fadeInMs > 0) text += ", fade-in " + seconds(gain.fadeInMs);
    if (gain.fadeOutMs > 0) text += ", fade-out " + seconds(gain.fadeOutMs);
    return text;
}

}  // namespace snipwell

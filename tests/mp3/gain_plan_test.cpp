// The plan of gain steps per granule: the step for a gain in decibels, the
// largest step a peak allows, and the fade staircases at the clip's edges.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "mp3/gain_plan.h"

namespace snipwell::mp3 {
namespace {

TEST(GainSteps, DecibelsRoundToTheNearestStepHalvesAwayFromZero) {
    const struct {
        double decibels;
        int steps;
    } cases[] = {{3, 2},   {-6, -4}, {0.7, 0}, {0.75, 1},   {-0.75, -1},
                 {1.4, 1}, {2.2, 1}, {2.3, 2}, {1000, 255}, {-1000, -255}};
    for (const auto& c : cases) {
        EXPECT_EQ(gainStepsForDecibels(c.decibels), c.steps) << c.decibels << " dB";
    }
}

TEST(GainSteps, TheLargestSafeStepKeepsThePeakBelowFullScale) {
    const auto dbfs = [](double db) { return std::pow(10.0, db / 20.0); };
    const struct {
        const char* name;
        double peak;
        int steps;
    } cases[] = {
        {"-2 dBFS allows +1.5 dB, not +3", dbfs(-2), 1},
        {"-3.1 dBFS allows +3 dB", dbfs(-3.1), 2},
        {"half scale allows less than +6 dB", 0.5, 3},
        {"full scale must come down", 1.0, -1},
        {"twice full scale", 2.0, -5},
        {"-60 dBFS", dbfs(-60), 39},
    };
    for (const auto& c : cases) {
        const auto steps = largestSafeGainSteps(c.peak);
        ASSERT_TRUE(steps.has_value()) << c.name;
        EXPECT_EQ(*steps, c.steps) << c.name;
        EXPECT_LT(c.peak * std::pow(2.0, *steps / 4.0), 1.0) << c.name;
        EXPECT_GE(c.peak * std::pow(2.0, (*steps + 1) / 4.0), 32767.0 / 32768.0) << c.name;
    }
    EXPECT_FALSE(largestSafeGainSteps(0).has_value());
}

struct FadeCase {
    std::string name;
    GainRequest request;
    PlayedSamples played;
};

std::ostream& operator<<(std::ostream& out, const FadeCase& row) { return out << row.name; }

// Clips of 10 s at 44.1 kHz and of 3 s at 8 kHz, their first sample on a
// granule's edge or inside one, as an exact clip's info frame trims them.
const FadeCase fadeCases[] = {
    {"fade in 1 s, out 2 s, +2 steps", {2, 44100, 88200}, {1105, 1105 + 441000}},
    {"fade in 1 s, edge on a granule", {0, 44100, 0}, {1152, 1152 + 441000}},
    {"fade out 0.5 s, -3 steps", {-3, 0, 22050}, {576 + 100, 576 + 100 + 441000}},
    {"fades at 8 kHz", {0, 8000, 8000}, {1105, 1105 + 24000}},
    {"fades longer than the clip", {1, 441000, 441000}, {1105, 1105 + 44100}},
    {"a fade shorter than a granule", {0, 100, 100}, {1105, 1105 + 44100}},
};

class FadePlan : public testing::TestWithParam<FadeCase> {};

std::uint64_t granuleOf(std::uint64_t sample) { return sample / samplesPerGranule; }

TEST_P(FadePlan, SilentAtTheEdgesFullInTheMiddleAndMonotonicBetween) {
    const FadeCase& row = GetParam();
    const GainPlan plan(row.request, row.played);
    const std::uint64_t first = row.played.first;
    const std::uint64_t end = row.played.end;
    const std::uint64_t granules = granuleOf(end - 1) + 3;
    const bool fadeIn = row.request.fadeInSamples > 0;
    const bool fadeOut = row.request.fadeOutSamples > 0;

    // Silent: every granule that decodes into the first or last 576 played
    // samples, and those whose tails reach into them.
    for (std::uint64_t g = 0; g < granules; ++g) {
        const bool inFirstStretch = g <= granuleOf(first + samplesPerGranule - 1);
        const bool reachesLastStretch = g + 2 >= granuleOf(end - samplesPerGranule);
        if ((fadeIn && inFirstStretch) || (fadeOut && reachesLastStretch)) {
            EXPECT_TRUE(plan.at(g).mute) << "granule " << g;
        }
    }
    // Full level (the clip's own step) once the fade is over.
    for (std::uint64_t g = 0; g < granules; ++g) {
        const double centre = static_cast<double>(g * samplesPerGranule) + 288;
        const bool pastFadeIn =
            !fadeIn || centre >= static_cast<double>(first + row.request.fadeInSamples);
        const bool beforeFadeOut =
            !fadeOut ||
            centre + static_cast<double>(row.request.fadeOutSamples) <= static_cast<double>(end);
        if (pastFadeIn && beforeFadeOut && !plan.at(g).mute) {
            EXPECT_EQ(plan.at(g), (GranuleChange{row.request.steps, false})) << "granule " << g;
        }
    }
    // Up, then down: never lower again on the way up, never higher on the way
    // down. A mute counts as the lowest step.
    const auto level = [&](std::uint64_t g) {
        const GranuleChange change = plan.at(g);
        return change.mute ? -1000 : change.steps;
    };
    int peakLevel = -1000;
    for (std::uint64_t g = 0; g < granules; ++g) peakLevel = std::max(peakLevel, level(g));
    bool fallen = false;
    for (std::uint64_t g = 1; g < granules; ++g) {
        if (level(g) < level(g - 1)) fallen = true;
        if (fallen) {
            EXPECT_LE(level(g), level(g - 1)) << "granule " << g << " rises again";
        }
    }
    EXPECT_LE(peakLevel, row.request.steps);
    // Each stair is a step of the straight amplitude line at the granule's
    // centre, so the first stair after the silence is already well below
    // full level for a fade of a second or more.
    if (fadeIn && row.request.fadeInSamples >= 44100) {
        const std::uint64_t firstStair = granuleOf(first + samplesPerGranule - 1) + 1;
        EXPECT_LE(plan.at(firstStair).steps, row.request.steps - 20);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FadePlan, testing::ValuesIn(fadeCases), [](const auto& testCase) {
    std::string name;
    for (char c : testCase.param.name) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
});

TEST(FadePlan, WithoutGainOrFadeNothingChanges) {
    const GainPlan plan({0, 0, 0}, {1105, 441000});
    EXPECT_FALSE(plan.changesAnything());
    for (std::uint64_t g = 0; g < 800; ++g) EXPECT_TRUE(plan.at(g).changesNothing());
}

TEST(FadePlan, TheStairsFollowTheAmplitudeLine) {
    // A 1 s fade-in whose first sample is granule 0's first: granule g's
    // centre lies (576·g + 288) samples in.
    const GainPlan plan({0, 44100, 0}, {0, 441000});
    for (std::uint64_t g = 1; g < 80; ++g) {
        const double fraction = (static_cast<double>(g) * 576 + 288) / 44100;
        const int expected =
            fraction >= 1 ? 0 : static_cast<int>(std::lround(20 * std::log10(fraction) / 1.5));
        EXPECT_EQ(plan.at(g).steps, expected) << "granule " << g;
    }
}

}  // namespace
}  // namespace snipwell::mp3

// The gain and fade options as typed, and the summary they come to.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "cut/gain_options.h"

namespace snipwell {
namespace {

TEST(GainOption, ReadsDecibelsOrMaxAndRefusesTheRest) {
    const struct {
        const char* text;
        std::optional<double> decibels;
        bool max;
    } accepted[] = {{"3", 3, false}, {"+3", 3, false},  {"-6", -6, false},    {"1.5", 1.5, false},
                    {"0", 0, false}, {"max", {}, true}, {"-100", -100, false}};
    for (const auto& c : accepted) {
        GainOptions options;
        EXPECT_EQ(readGainOption(options, c.text), std::nullopt) << c.text;
        EXPECT_EQ(options.gainDb, c.decibels) << c.text;
        EXPECT_EQ(options.gainMax, c.max) << c.text;
    }
    for (const char* text :
         {"", "+", "3dB", "three", "nan", "inf", "101", "-100.5", "1e400", "MAX", "++3", " 3"}) {
        GainOptions options;
        EXPECT_NE(readGainOption(options, text), std::nullopt) << '"' << text << '"';
        EXPECT_FALSE(options.changesFrames()) << text;
    }
}

TEST(GainOption, OnlyARaiseWithNoClipOrMaxNeedsTheGuard) {
    const struct {
        std::optional<double> decibels;
        bool max;
        bool noClip;
        bool guard;
    } cases[] = {{3, false, false, false}, {3, false, true, true},   {-3, false, true, false},
                 {{}, true, false, true},  {{}, false, true, false}, {0, false, true, false}};
    for (const auto& c : cases) {
        GainOptions options;
        options.gainDb = c.decibels;
        options.gainMax = c.max;
        options.noClip = c.noClip;
        EXPECT_EQ(options.needsGuard(), c.guard)
            << c.decibels.value_or(999) << " max " << c.max << " no-clip " << c.noClip;
    }
}

TEST(GainOption, TheGuardDecidesOnlyWhenAskedAndNeverRaisesPastTheSafeStep) {
    const double minus2dBFS = std::pow(10.0, -2.0 / 20);  // allows 1 step
    const struct {
        const char* name;
        std::optional<double> decibels;
        bool max;
        bool noClip;
        double peak;  // < 0: the guard must not be asked
        int steps;
        std::optional<int> lowered;
        bool silent;
    } cases[] = {
        {"as asked", 3, false, false, -1, 2, {}, false},
        {"max", {}, true, false, minus2dBFS, 1, {}, false},
        {"max on a clipping source", {}, true, false, 1.5, -3, {}, false},
        {"no-clip lowers", 3, false, true, minus2dBFS, 1, 2, false},
        {"no-clip keeps a safe step", 1.5, false, true, minus2dBFS, 1, {}, false},
        {"no-clip leaves a cut alone", -6, false, true, -1, -4, {}, false},
        {"max on silence", {}, true, false, 0, 0, {}, true},
        {"no-clip on silence", 6, false, true, 0, 4, {}, true},
    };
    for (const auto& c : cases) {
        GainOptions options;
        options.gainDb = c.decibels;
        options.gainMax = c.max;
        options.noClip = c.noClip;
        options.fadeInMs = 500;
        bool asked = false;
        const AppliedGain applied = settleGain(options, [&] {
            asked = true;
            return c.peak;
        });
        EXPECT_EQ(asked, c.peak >= 0) << c.name;
        EXPECT_EQ(applied.steps, c.steps) << c.name;
        EXPECT_EQ(applied.requestedSteps, c.lowered) << c.name;
        EXPECT_EQ(applied.silentSource, c.silent) << c.name;
        EXPECT_EQ(applied.guarded, c.peak >= 0) << c.name;
        EXPECT_EQ(applied.fadeInMs, 500) << c.name;
    }
}

TEST(FadeDuration, WholeNumbersAreSecondsAndTimesAsClipTimes) {
    const struct {
        const char* text;
        std::int32_t ms;
    } accepted[] = {
        {"1", 1000}, {"2.5", 2500}, {"0:02.5", 2500}, {"0.01", 10}, {"3600", 3'600'000}};
    for (const auto& c : accepted) {
        std::int32_t ms = 0;
        EXPECT_EQ(readFadeDuration(ms, "--fade-in", c.text), std::nullopt) << c.text;
        EXPECT_EQ(ms, c.ms) << c.text;
    }
    for (const char* text : {"0", "0.0", "-1", "3601", "99999999999", "", "1s", "abc"}) {
        std::int32_t ms = 7;
        const auto reason = readFadeDuration(ms, "--fade-out", text);
        ASSERT_NE(reason, std::nullopt) << text;
        EXPECT_NE(reason->find("--fade-out"), std::string::npos) << *reason;
        EXPECT_EQ(ms, 7) << text;
    }
}

TEST(AppliedGain, TheSummarySaysTheStepAndWhatBecameOfIt) {
    const struct {
        AppliedGain gain;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{2, {}, false, false, 0, 0, 0}, ", gain +3.0 dB (2 steps), may clip"},
        {{1, {}, true, false, 0, 0, 0}, ", gain +1.5 dB (1 step), cannot clip"},
        {{-4, {}, false, false, 0, 0, 0}, ", gain -6.0 dB (-4 steps)"},
        {{1, 2, true, false, 0, 0, 0},
         ", gain +1.5 dB (1 step, lowered from +3.0 dB so that it cannot clip), cannot clip"},
        {{0, {}, true, true, 0, 0, 0}, ", gain +0.0 dB (0 steps), the clip is silent"},
        {{2, {}, false, false, 1, 0, 0}, ", gain +3.0 dB (2 steps), may clip, 1 granule clamped"},
        {{0, {}, false, false, 0, 1000, 2500}, ", fade-in 1.000 s, fade-out 2.500 s"},
        {{0, {}, false, false, 0, 0, 0, true}, ", gain +0.0 dB (0 steps)"},
    };
    for (const auto& c : cases) EXPECT_EQ(describeAppliedGain(c.gain), c.text);
}

}  // namespace
}  // namespace snipwell

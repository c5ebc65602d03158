// Where a stretch's sound starts and ends, keeping the silence asked for at
// each side and never reaching outside the stretch.

#include <gtest/gtest.h>

#include <optional>

#include "level/made_up_levels.h"
#include "level/trim_finder.h"

namespace snipwell::level {
namespace {

using test::at;

// Quiet for 0.5 s, sound for 1 s with a dip below the threshold, quiet for 0.3 s.
const WindowLevels kTrack =
    test::madeUpLevels({{50, -70}, {40, -10}, {5, -70}, {55, -20}, {30, -70}});

TEST(TrimFinder, KeepsTheSoundAndTheSilenceAskedFor) {
    const SampleRange whole{0, kTrack.totalSamples};
    const struct {
        const char* name;
        SampleRange range;
        TrimRules rules;
        std::optional<SampleRange> expected;
    } cases[] = {
        {"both ends, 0.2 s kept", whole, {-48, at(20), at(20)}, SampleRange{at(30), at(170)}},
        {"start only", whole, {-48, 0, std::nullopt}, SampleRange{at(50), kTrack.totalSamples}},
        {"end only", whole, {-48, std::nullopt, 7}, SampleRange{0, at(150) + 7}},
        {"more kept than there is",
         {at(45) + 3, at(160)},
         {-48, at(20), at(20)},
         SampleRange{at(45) + 3, at(160)}},
        {"sound at the very edges",
         {at(60) + 1, at(70)},
         {-48, 0, 0},
         SampleRange{at(60) + 1, at(70)}},
        {"a range inside the dip", {at(90) + 10, at(95)}, {-48, 0, 0}, std::nullopt},
        {"a threshold above everything", whole, {-5, 0, 0}, std::nullopt},
        {"a range past the levels", {at(400), at(410)}, {-48, 0, 0}, std::nullopt},
    };
    for (const auto& [name, range, rules, expected] : cases) {
        EXPECT_EQ(soundWithin(kTrack, range, rules), expected) << name;
    }
}

}  // namespace
}  // namespace snipwell::level

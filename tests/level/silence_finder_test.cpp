// Split points at silences, from levels placed by the test: where each split
// lands, the track length rules, the edges, and what is reported when there
// is no silence to split at.

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "level/made_up_levels.h"
#include "level/silence_finder.h"

namespace snipwell::level {
namespace {

using test::at;
using test::kWindow;
using test::madeUpLevels;

constexpr double kLoud = -10;
constexpr double kQuiet = -60;

std::vector<std::uint64_t> splitSamples(const std::variant<SilencePlan, NoSilenceFound>& found) {
    std::vector<std::uint64_t> samples;
    if (const auto* plan = std::get_if<SilencePlan>(&found)) {
        for (const SilenceSplit& split : plan->splits) samples.push_back(split.sample);
    }
    return samples;
}

// Tones and gaps: a quiet start, a 0.3 s silence, a 0.1 s pause, a passage
// just above the threshold, a 0.6 s silence, and a quiet end (windows).
const WindowLevels kShow = madeUpLevels({{30, -70},
                                         {300, kLoud},
                                         {30, kQuiet},  // 330..360
                                         {200, kLoud},
                                         {10, kQuiet},  // too short
                                         {200, -47},    // above -48
                                         {60, -55},     // 770..830
                                         {100, kLoud},
                                         {40, -70}},
                                        200);

TEST(SilenceFinder, SplitsInsideEachSilenceByTheRules) {
    const struct {
        const char* name;
        WindowLevels levels;
        SilenceRules rules;
        std::vector<std::uint64_t> expected;
    } cases[] = {
        {"in the middle of each silence inside", kShow, {-48, at(25)}, {at(345), at(800)}},
        {"at a quarter of each", kShow, {-48, at(25), 0.25}, {at(330) + 3308, at(785)}},
        {"at the end of each", kShow, {-48, at(25), 1.0}, {at(360), at(830)}},
        {"only silences of the minimum length", kShow, {-48, at(31)}, {at(800)}},
        {"a lower threshold passes the shallower silence", kShow, {-58, at(25)}, {at(345)}},
        {"a short track goes to its neighbour over the weaker split",
         madeUpLevels({{300, kLoud}, {50, kQuiet}, {50, kLoud}, {30, kQuiet}, {300, kLoud}}),
         {-48, at(25), 0.5, at(100)},
         {at(325)}},
        {"of two splits as long, the louder is the weaker",
         madeUpLevels({{300, kLoud}, {30, -70}, {50, kLoud}, {30, kQuiet}, {300, kLoud}}),
         {-48, at(25), 0.5, at(100)},
         {at(315)}},
        {"a short first track joins the second",
         madeUpLevels({{50, kLoud}, {30, kQuiet}, {300, kLoud}, {30, kQuiet}, {300, kLoud}}),
         {-48, at(25), 0.5, at(100)},
         {at(395)}},
        {"a long track is split at its quietest window",
         madeUpLevels({{450, kLoud}, {1, -30}, {99, kLoud}, {1, -40}, {449, kLoud}}),
         {-48, at(25), 0.5, 0, at(600)},
         {at(550) + kWindow / 2}},
        {"the quietest point leaves no track under the minimum",
         madeUpLevels({{10, kLoud}, {1, -40}, {289, kLoud}, {1, -30}, {699, kLoud}}),
         {-48, at(25), 0.5, at(200), at(900)},
         {at(300) + kWindow / 2}},
    };
    for (const auto& [name, levels, rules, expected] : cases) {
        EXPECT_EQ(splitSamples(findSilenceSplits(levels, rules)), expected) << name;
    }
}

TEST(SilenceFinder, ReportsEverySilenceWithItsLevelTheEdgesToo) {
    const auto found = findSilenceSplits(kShow, {-48, at(25)});
    const auto& plan = std::get<SilencePlan>(found);
    ASSERT_EQ(plan.silences.size(), 4u);
    EXPECT_EQ(plan.silences[0].beginSample, 0u);
    EXPECT_EQ(plan.silences[2].beginSample, at(770));
    EXPECT_EQ(plan.silences[2].endSample, at(830));
    EXPECT_NEAR(plan.silences[2].levelDb, -55, 0.01);
    EXPECT_EQ(plan.silences[3].endSample, kShow.totalSamples);  // the short last window too
    EXPECT_EQ(plan.splits[1].quiet, plan.silences[2]);
}

TEST(SilenceFinder, KeepsEveryTrackWithinTheMaximum) {
    const WindowLevels flat = madeUpLevels({{2000, kLoud}}, 7);
    const auto found = findSilenceSplits(flat, {-48, at(25), 0.5, at(100), at(600)});
    const std::vector<std::uint64_t> splits = splitSamples(found);
    ASSERT_EQ(splits.size(), 3u);  // four tracks, the fewest that fit
    std::vector<std::uint64_t> bounds{0};
    bounds.insert(bounds.end(), splits.begin(), splits.end());
    bounds.push_back(flat.totalSamples);
    for (std::size_t i = 1; i < bounds.size(); ++i) {
        EXPECT_LE(bounds[i] - bounds[i - 1], at(600)) << i;
        EXPECT_GE(bounds[i] - bounds[i - 1], at(100)) << i;
    }
}

TEST(SilenceFinder, WithoutSilenceNamesTheLongestQuietStretchAndTheQuietestWindow) {
    const WindowLevels levels =
        madeUpLevels({{100, -80}, {200, kLoud}, {40, -51}, {200, kLoud}, {20, -55}, {200, kLoud}});
    const auto found = findSilenceSplits(levels, {-48, at(50)});
    const auto& none = std::get<NoSilenceFound>(found);
    ASSERT_TRUE(none.longestQuiet && none.quietestWindow);
    EXPECT_EQ(none.longestQuiet->beginSample, at(300));
    EXPECT_EQ(none.longestQuiet->length(), at(40));
    EXPECT_NEAR(none.longestQuiet->levelDb, -51, 0.01);
    EXPECT_EQ(none.quietestWindow->beginSample, at(540));  // not in the quiet start
    EXPECT_NEAR(none.quietestWindow->levelDb, -55, 0.01);

    const auto loudOnly = findSilenceSplits(madeUpLevels({{100, kLoud}}), {-48, at(50)});
    EXPECT_FALSE(std::get<NoSilenceFound>(loudOnly).longestQuiet);
}

}  // namespace
}  // namespace snipwell::level

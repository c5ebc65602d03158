// A split at silences as a plan, on made-up levels: where the silence source
// splits and what it notes, what its refusals tell a person, what a trim
// keeps of each track, and a label file of the plan read back into the same
// tracks.

#include <gtest/gtest.h>

#include "level/made_up_levels.h"
#include "split/label_file.h"
#include "split/label_file_source.h"
#include "split/label_file_writer.h"
#include "split/silence_source.h"
#include "split/trimmed_tracks.h"

namespace snipwell::test {
namespace {

using level::test::at;
using level::test::madeUpLevels;

constexpr std::uint32_t kRate = 44'100;

// 3 s of sound, 0.8 s at -70 dB, 2 s of sound, a pause of 0.3 s at -60 dB,
// 2 s of sound, 1 s at -55 dB, 1 s of sound: 10.1 s in all.
level::WindowLevels showLevels() {
    return madeUpLevels(
        {{300, -20}, {80, -70}, {200, -20}, {30, -60}, {200, -20}, {100, -55}, {100, -20}});
}

SourceLevels scripted(level::WindowLevels levels, int& scans) {
    return SourceLevels([levels = std::move(levels), &scans](std::uint32_t window) {
        ++scans;
        EXPECT_EQ(window, level::test::kWindow);
        return std::variant<level::WindowLevels, std::string>(levels);
    });
}

SplitPointsOrRefusal pointsAt(SourceLevels& levels, const SilenceChoice& choice,
                              std::uint64_t samples) {
    return SilenceSource(choice, levels).pointsFor({"show.mp3", {kRate, samples}});
}

TEST(SilenceSource, SplitsInsideEachSilenceAndNotesIt) {
    const struct {
        const char* what;
        SilenceChoice choice;
        std::vector<std::uint64_t> begins;  // of the tracks after the first
        std::vector<std::string> notes;
    } cases[] = {
        {"defaults: the pause under 0.5 s is passed over",
         {},
         {at(340), at(860)},
         {"begins in the silence at 0:03.000, 0.8 s at -70 dBFS",
          "begins in the silence at 0:08.100, 1.0 s at -55 dBFS"}},
        {"a lower threshold leaves the -55 dB stretch sound",
         {.thresholdDb = -58},
         {at(340)},
         {"begins in the silence at 0:03.000, 0.8 s at -70 dBFS"}},
        {"a shorter minimum finds the pause; split at each silence's start",
         {.minSilenceMs = 250, .splitShare = 0},
         {at(300), at(580), at(810)},
         {"begins in the silence at 0:03.000, 0.8 s at -70 dBFS",
          "begins in the silence at 0:05.800, 0.3 s at -60 dBFS",
          "begins in the silence at 0:08.100, 1.0 s at -55 dBFS"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int scans = 0;
        SourceLevels levels = scripted(showLevels(), scans);
        const auto found = pointsAt(levels, c.choice, at(1010));
        ASSERT_TRUE(std::holds_alternative<SplitPoints>(found))
            << std::get<SplitPlanError>(found).reason;
        const auto& tracks = std::get<SplitPoints>(found).tracks;
        ASSERT_EQ(tracks.size(), c.begins.size() + 1);
        EXPECT_EQ(tracks[0].begin.sampleAt(kRate), 0u);
        EXPECT_TRUE(tracks[0].notes.empty());
        for (std::size_t i = 0; i < c.begins.size(); ++i) {
            EXPECT_EQ(tracks[i + 1].begin.sampleAt(kRate), c.begins[i]);
            EXPECT_EQ(tracks[i + 1].notes, std::vector<std::string>{c.notes[i]});
            EXPECT_EQ(tracks[i + 1].number, static_cast<int>(i + 2));
        }
        // Asked twice, the levels are scanned once.
        EXPECT_TRUE(std::holds_alternative<const level::WindowLevels*>(levels.of({kRate, 1})));
        EXPECT_EQ(scans, 1);
    }
}

TEST(SilenceSource, RefusalsNameWhatWasFound) {
    const struct {
        const char* what;
        level::WindowLevels levels;
        SilenceChoice choice;
        const char* reason;
    } cases[] = {
        {"a quiet stretch too short",
         madeUpLevels({{300, -20}, {40, -51}, {300, -20}}),
         {},
         "no silence of 0.5 s below -48 dBFS; the longest quiet stretch is 0.4 s at -51 dBFS, at "
         "0:03.000"},
        {"nothing under the threshold between the sounds",
         madeUpLevels({{50, -80}, {100, -20}, {3, -40.5}, {100, -20}}),
         {},
         "no silence of 0.5 s below -48 dBFS; nothing between the first and the last sound is "
         "below -48 dBFS, the quietest moment is -40.5 dBFS, at 0:01.500"},
        {"every split merged away",
         showLevels(),
         {.minTrackMs = 6'000},
         "no split is left: each split at a silence would leave a track shorter than --min-track "
         "0:06.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int scans = 0;
        SourceLevels levels = scripted(c.levels, scans);
        const auto found = pointsAt(levels, c.choice, c.levels.totalSamples);
        ASSERT_TRUE(std::holds_alternative<SplitPlanError>(found));
        EXPECT_EQ(std::get<SplitPlanError>(found).reason, c.reason);
    }
    SourceLevels failing([](std::uint32_t) {
        return std::variant<level::WindowLevels, std::string>("the level probe was killed");
    });
    const auto failed = pointsAt(failing, {}, at(100));
    ASSERT_TRUE(std::holds_alternative<SplitPlanError>(failed));
    EXPECT_EQ(std::get<SplitPlanError>(failed).reason,
              "the levels of the source could not be measured: the level probe was killed");
}

SplitPlan twoTracks(std::uint32_t rate, std::uint64_t split, std::uint64_t total) {
    const auto planned = planSplit(
        {numberedTrack(1, {}), numberedTrack(2, {static_cast<std::int64_t>(split), rate})}, {},
        {rate, total}, "");
    return std::get<SplitPlan>(planned);
}

// Track 1: 0.5 s of silence, sound to 3.0 s, silence to 4.0 s; track 2:
// silence to 4.3 s, sound to 9.0 s, then silence to 10.1 s.
TEST(TrimmedTracks, KeepTheAskedSilenceAtEachEndExactly) {
    const level::WindowLevels levels =
        madeUpLevels({{50, -90}, {250, -20}, {130, -90}, {470, -20}, {110, -90}});
    const struct {
        const char* what;
        TrimChoice choice;
        std::uint64_t begin1, end1, begin2, end2;
        const char* note1;
    } cases[] = {
        {"both ends keep 0.2 s",
         {-48, 200, 200},
         at(30),
         at(320),
         at(410),
         at(920),
         "trimmed 0.3 s of silence at the start and 0.8 s at the end"},
        {"the start only, keeping nothing",
         {-48, 0, std::nullopt},
         at(50),
         at(400),
         at(430),
         at(1010),
         "trimmed 0.5 s of silence at the start"},
        {"the end only, keeping more than there is",
         {-48, std::nullopt, 5'000},
         0,
         at(400),
         at(400),
         at(1010),
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SplitPlan plan = twoTracks(kRate, at(400), at(1010));
        EXPECT_TRUE(trimTracks(plan, levels, c.choice).empty());
        EXPECT_EQ(plan.tracks[0].beginSample, c.begin1);
        EXPECT_EQ(plan.tracks[0].endSample, c.end1);
        EXPECT_EQ(plan.tracks[1].beginSample, c.begin2);
        EXPECT_EQ(plan.tracks[1].endSample, c.end2);
        EXPECT_EQ(plan.tracks[0].begin.sampleAt(kRate), c.begin1);
        EXPECT_EQ(plan.tracks[0].notes.empty() ? "" : plan.tracks[0].notes.front(),
                  std::string(c.note1));
        // What a trim drops is asked for: it is not told as audio left out.
        EXPECT_EQ(plan.laterSamplesLeftOut, 0u);
    }
    SplitPlan silent = twoTracks(kRate, at(50), at(1010));
    EXPECT_EQ(trimTracks(silent, levels, {-48, 200, 200}),
              std::vector<std::string>{
                  "track 1 is silence throughout (below -48 dBFS); it is kept whole"});
    EXPECT_EQ(silent.tracks[0].endSample, at(50));
}

// Trimmed tracks leave gaps and odd sample counts; every one comes back.
TEST(LabelFileWriter, ReadBackMakesTheSameTracks) {
    for (const std::uint32_t rate : {8'000u, 22'050u, 44'100u, 48'000u}) {
        SCOPED_TRACE(rate);
        const std::uint64_t total = std::uint64_t{rate} * 3'601 + 7;
        SplitPlan plan = twoTracks(rate, rate * 1'800 + 1, total);
        plan.tracks[0].beginSample = 3;
        plan.tracks[0].endSample = rate * 1'000 + 13;
        plan.tracks[0].title = "Side\tA";
        plan.tracks[1].beginSample = rate * 1'800 + 1;
        plan.tracks[1].endSample = total - 1;
        const auto labels = parseLabelFile(labelsForSplit(plan));
        ASSERT_TRUE(std::holds_alternative<std::vector<Label>>(labels));
        const auto again = planSplit(tracksFromLabels(std::get<std::vector<Label>>(labels)), {},
                                     {rate, total}, "");
        ASSERT_TRUE(std::holds_alternative<SplitPlan>(again));
        const auto& tracks = std::get<SplitPlan>(again).tracks;
        ASSERT_EQ(tracks.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(tracks[i].beginSample, plan.tracks[i].beginSample);
            EXPECT_EQ(tracks[i].endSample, plan.tracks[i].endSample);
        }
        EXPECT_EQ(tracks[0].title, "Side A");
    }
}

}  // namespace
}  // namespace snipwell::test

// Split plans as data: where each track begins and ends in samples, what it
// is called, and what the planner refuses before anything is written.

#include <gtest/gtest.h>

#include "split/cue_sheet_source.h"
#include "split/label_file_source.h"
#include "split/split_plan.h"
#include "split/split_times_source.h"
#include "split/track_length_source.h"

namespace snipwell::test {
namespace {

SplitPlan planOf(const std::variant<SplitPlan, SplitPlanError>& planned) {
    if (const auto* error = std::get_if<SplitPlanError>(&planned)) {
        ADD_FAILURE() << error->reason;
        return {};
    }
    return std::get<SplitPlan>(planned);
}

// The tracks `points` gives for a source of that length.
std::vector<TrackSpec> tracksFrom(const SplitPointSource& points, const SourceLength& source) {
    auto found = points.pointsFor({"album.mp3", source});
    if (!std::holds_alternative<SplitPoints>(found)) {
        ADD_FAILURE() << "the source of split points refused";
        return {};
    }
    return std::get<SplitPoints>(found).tracks;
}

std::vector<TrackSpec> splitAt(const std::vector<SplitTime>& points) {
    return tracksFrom(SplitTimesSource(points), {44'100, 441'000});
}

CueSheet sheetWith(const std::vector<std::int64_t>& beginsInFrames) {
    CueSheet sheet;
    sheet.title = "Album";
    sheet.performer = "Band";
    for (std::size_t i = 0; i < beginsInFrames.size(); ++i) {
        CueTrack track;
        track.number = static_cast<int>(i + 1);
        track.title = "T" + std::to_string(i + 1);
        track.begin = SplitTime::fromCueFrames(beginsInFrames[i]);
        track.indexLine = static_cast<int>(10 + i);
        sheet.tracks.push_back(track);
    }
    return sheet;
}

// Each track holds ⌊t₂·rate⌋ − ⌊t₁·rate⌋ samples, with t in 75ths of a
// second, and the tracks laid end to end cover the source exactly.
TEST(SplitPlan, CueTracksHoldTheirShareToTheSample) {
    const struct {
        std::uint32_t rate;
        std::vector<std::int64_t> frames;
        std::uint64_t sourceSamples;
        std::vector<std::uint64_t> begins;
    } cases[] = {
        // 1/75 s is 588 samples at 44.1 kHz and 640 at 48 kHz, but 294.0
        // at 22.05 kHz and 106.66… at 8 kHz, where the floor matters.
        {44'100, {0, 1, 76}, 441'000, {0, 588, 44'688}},
        {48'000, {0, 1, 76}, 480'000, {0, 640, 48'640}},
        {8'000, {0, 1, 2, 76}, 80'000, {0, 106, 213, 8'106}},
        {11'025, {0, 37, 4'501}, 900'000, {0, 5'439, 661'647}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        const SplitPlan& plan =
            planOf(planSplit(tracksFromCueSheet(sheetWith(c.frames)), albumOf(sheetWith(c.frames)),
                             {c.rate, c.sourceSamples}, ""));
        ASSERT_EQ(plan.tracks.size(), c.begins.size());
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < c.begins.size(); ++i) {
            EXPECT_EQ(plan.tracks[i].beginSample, c.begins[i]) << "track " << i + 1;
            const std::uint64_t end = i + 1 < c.begins.size() ? c.begins[i + 1] : c.sourceSamples;
            EXPECT_EQ(plan.tracks[i].endSample, end);
            total += plan.tracks[i].samples();
        }
        EXPECT_EQ(total, c.sourceSamples);
        EXPECT_EQ(plan.tracks[1].performer, "Band");
        EXPECT_EQ(plan.leadingSamplesLeftOut, 0u);
    }
}

TEST(SplitPlan, SplitTimesLengthsAndLabelsCoverTheSource) {
    const SourceLength source{44'100, 441'000};  // 10 s
    const auto begins = [](const SplitPlan& plan) {
        std::vector<std::uint64_t> out;
        for (const auto& track : plan.tracks) out.push_back(track.beginSample);
        out.push_back(plan.tracks.back().endSample);
        return out;
    };
    using Samples = std::vector<std::uint64_t>;
    EXPECT_EQ(begins(planOf(planSplit(
                  splitAt({SplitTime::fromMilliseconds(2'500), SplitTime::fromMilliseconds(7'001)}),
                  {}, source, ""))),
              (Samples{0, 110'250, 308'744, 441'000}));
    EXPECT_EQ(
        begins(planOf(planSplit(tracksFrom(TrackLengthSource(3'000), source), {}, source, ""))),
        (Samples{0, 132'300, 264'600, 396'900, 441'000}));
    // A length that divides the source makes no empty last track.
    EXPECT_EQ(planOf(planSplit(tracksFrom(TrackLengthSource(5'000), source), {}, source, ""))
                  .tracks.size(),
              2u);

    // Split points at 0 and 4 s, a stretch from 6 to 8 s, a point at 9 s.
    const std::vector<Label> labels = {
        {SplitTime{0, 1'000'000}, SplitTime{0, 1'000'000}, "A", 1},
        {SplitTime{4'000'000, 1'000'000}, SplitTime{4'000'000, 1'000'000}, "B", 2},
        {SplitTime{6'000'000, 1'000'000}, SplitTime{8'000'000, 1'000'000}, "C", 3},
        {SplitTime{9'000'000, 1'000'000}, SplitTime{9'000'000, 1'000'000}, "D", 4},
    };
    const SplitPlan& labelled = planOf(planSplit(tracksFromLabels(labels), {}, source, ""));
    ASSERT_EQ(labelled.tracks.size(), 4u);
    EXPECT_EQ(labelled.tracks[1].endSample, 264'600u);  // B runs up to C
    EXPECT_EQ(labelled.tracks[2].endSample, 352'800u);  // C is its own stretch
    EXPECT_EQ(labelled.tracks[3].endSample, 441'000u);
    EXPECT_EQ(labelled.tracks[3].fileName, "04 D.mp3");
    // A first split point after 0 leaves an untitled first track before it.
    const std::vector<Label> late = {
        {SplitTime{2'000'000, 1'000'000}, SplitTime{2'000'000, 1'000'000}, "X", 1}};
    const SplitPlan& withFirst = planOf(planSplit(tracksFromLabels(late), {}, source, ""));
    ASSERT_EQ(withFirst.tracks.size(), 2u);
    EXPECT_EQ(withFirst.tracks[0].fileName, "Track 01.mp3");
    EXPECT_EQ(withFirst.tracks[1].fileName, "02 X.mp3");
}

TEST(SplitPlan, RefusesTimesOutsideTheSourceAndEmptyTracks) {
    const SourceLength source{44'100, 441'000};
    const struct {
        const char* what;
        std::vector<TrackSpec> specs;
        const char* reason;
    } cases[] = {
        {"index past the end", tracksFromCueSheet(sheetWith({0, 375, 750})),
         "line 12: track 3 begins at 0:10.000, at or past the end of the source (0:10.000)"},
        {"split point past the end", splitAt({SplitTime::fromMilliseconds(12'000)}),
         "track 2 (split point 0:12.000) begins at 0:12.000, at or past the end"},
        {"points out of order",
         splitAt({SplitTime::fromMilliseconds(5'000), SplitTime::fromMilliseconds(4'000)}),
         "track 3 (split point 0:04.000) begins at 0:04.000, before the track before it "
         "(0:05.000)"},
        {"a stretch past the end",
         tracksFromLabels({{SplitTime{1, 1}, SplitTime{11, 1}, "long", 7}}),
         "line 7: track 1 ends at 0:11.000, past the end of the source"},
        {"a stretch past the end by less than a millisecond",
         tracksFromLabels({{SplitTime{1, 1}, SplitTime{10'000'013, 1'000'000}, "", 7}}),
         "line 7: track 1 ends at 0:10.000013, past the end of the source (0:10.000000)"},
        {"less than a sample", splitAt({SplitTime{1, 1'000'000}}),
         "track 1 from 0:00.000 to 0:00.000 holds no sample"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto planned = planSplit(c.specs, {}, source, "");
        ASSERT_TRUE(std::holds_alternative<SplitPlanError>(planned));
        EXPECT_EQ(std::get<SplitPlanError>(planned).reason.rfind(c.reason, 0), 0u)
            << std::get<SplitPlanError>(planned).reason;
    }
}

}  // namespace
}  // namespace snipwell::test

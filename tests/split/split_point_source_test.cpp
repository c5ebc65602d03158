// The sources of split points as the command asks them: what each gives the
// planner, the warning a cue sheet for another file earns, and refusals that
// name the file and line of a sheet or label file.

#include <gtest/gtest.h>

#include <fstream>

#include "split/cue_sheet_source.h"
#include "split/label_file_source.h"
#include "split/track_length_source.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

std::string written(const TempDir& folder, const char* name, const std::string& text) {
    std::string path = folder.file(name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(SplitPointSource, SheetsGiveTracksAndWarningsAndRefuseNamingFileAndLine) {
    const TempDir folder;
    const std::string cue = written(folder, "album.cue",
                                    "TITLE \"Album\"\nFILE \"other.wav\" WAVE\nTRACK 01 AUDIO\n"
                                    "INDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:02:00\n");
    const SplitSubject subject{"music/album.mp3", {44'100, 441'000}};
    const auto found = CueSheetSource(cue).pointsFor(subject);
    ASSERT_TRUE(std::holds_alternative<SplitPoints>(found));
    const auto& points = std::get<SplitPoints>(found);
    EXPECT_EQ(points.tracks.size(), 2u);
    EXPECT_EQ(points.album.title, "Album");
    EXPECT_EQ(points.warnings, (std::vector<std::string>{"\"" + cue +
                                                         "\" line 2 names \"other.wav\"; splitting "
                                                         "\"music/album.mp3\" instead"}));
    // The same name in another folder is the same file: sheets travel.
    const std::string here = written(folder, "here.cue",
                                     "FILE \"/elsewhere/album.mp3\" MP3\nTRACK 01 AUDIO\n"
                                     "INDEX 01 00:00:00\n");
    EXPECT_TRUE(std::get<SplitPoints>(CueSheetSource(here).pointsFor(subject)).warnings.empty());

    const struct {
        std::unique_ptr<SplitPointSource> source;
        std::string file;
        std::string described;
    } refused[] = {
        {std::make_unique<CueSheetSource>(written(folder, "bad.cue", "TRACK 01 AUDIO\n")),
         folder.file("bad.cue").string(), "line 1: track 1 has no INDEX 01"},
        {std::make_unique<LabelFileSource>(written(folder, "bad.txt", "1\t1\ta\n2\t0\tb\n")),
         folder.file("bad.txt").string(), "line 2: the label ends before it starts"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.file);
        const auto answer = c.source->pointsFor(subject);
        ASSERT_TRUE(std::holds_alternative<SheetError>(answer));
        EXPECT_EQ(describe(std::get<SheetError>(answer)), "\"" + c.file + "\", " + c.described);
    }
}

// The tracks of one length are counted before any is made: every track that
// begins on a sample of the source, and a length that makes too many is
// refused with their number, however many millions that is.
TEST(SplitPointSource, TrackLengthsCountEveryTrackThatBeginsOnASample) {
    const struct {
        std::uint32_t rate;
        std::uint64_t samples;
        std::int64_t lengthMs;
        std::size_t tracks;
    } cases[] = {
        {44'100, 441'000, 5'000, 2},  // a length that divides the source: no empty last track
        {8'000, 80'001, 10'000, 2},   // a last track of one sample
        {11'025, 100, 3, 4},          // 33.075 samples a step: the begins round down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        const auto found = TrackLengthSource(c.lengthMs).pointsFor({"a.mp3", {c.rate, c.samples}});
        ASSERT_TRUE(std::holds_alternative<SplitPoints>(found));
        const auto& tracks = std::get<SplitPoints>(found).tracks;
        ASSERT_EQ(tracks.size(), c.tracks);
        EXPECT_LT(tracks.back().begin.sampleAt(c.rate), c.samples);
        EXPECT_EQ(tracks.back().begin.milliseconds(),
                  static_cast<std::int64_t>(c.tracks - 1) * c.lengthMs);
    }
    // 1 ms over 596 hours at 48 kHz.
    const auto tooMany =
        TrackLengthSource(1).pointsFor({"a.mp3", {48'000, 48'000ull * 2'145'600'000 / 1'000}});
    ASSERT_TRUE(std::holds_alternative<SplitPlanError>(tooMany));
    EXPECT_EQ(std::get<SplitPlanError>(tooMany).reason,
              "--every 0:00.001 would make 2145600000 tracks, more than 999 (a bare number is "
              "milliseconds: 7:00 is seven minutes)");
}

}  // namespace
}  // namespace snipwell::test

// The cue sheet written for a split: the source named from the sheet's
// folder, texts that a quoted field can hold, and begins at the nearest 75th
// of a second.

#include <gtest/gtest.h>

#include "split/cue_sheet_writer.h"

namespace snipwell::test {
namespace {

TEST(CueSheetWriter, NamesTheSourceFromTheSheetAndWritesWhatAFieldCanHold) {
    SplitPlan plan;
    plan.album = {"Say \"Hi\"", "", "", ""};
    PlannedTrack track;
    track.number = 1;
    track.title = "Two\r\nLines";
    track.begin = SplitTime{506'666, 1'000'000};  // 37.99… 75ths
    plan.tracks = {track};
    track.number = 12;
    track.title = "";
    track.begin = SplitTime{1'006'666, 1'000'000};  // 75.49… 75ths
    plan.tracks.push_back(track);
    EXPECT_EQ(cueSheetForSplit(plan, "/music/a b.mp3", "/music/tracks/split.cue"),
              "TITLE \"Say 'Hi'\"\r\n"
              "FILE \"../a b.mp3\" MP3\r\n"
              "  TRACK 01 AUDIO\r\n    TITLE \"Two  Lines\"\r\n    INDEX 01 00:00:38\r\n"
              "  TRACK 12 AUDIO\r\n    INDEX 01 00:01:00\r\n");
    EXPECT_NE(
        cueSheetForSplit(plan, "/music/a.mp3", "/music/split.cue").find("FILE \"a.mp3\" MP3\r\n"),
        std::string::npos);
}

}  // namespace
}  // namespace snipwell::test

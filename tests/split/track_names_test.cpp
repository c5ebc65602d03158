// The file names of a split's tracks: the template, the default, and what
// is mended so that a name never leaves its folder.

#include <gtest/gtest.h>

#include "split/planned_tracks.h"
#include "split/track_names.h"

namespace snipwell::test {
namespace {

TEST(TrackNames, FollowTheTemplateAndNeverLeaveTheFolder) {
    AlbumInfo album{"Best Of", "Band", "", ""};
    PlannedTrack track;
    track.number = 3;
    track.title = "AC/DC\tLive";
    track.performer = "Guest";
    const struct {
        const char* nameTemplate;
        const char* title;
        const char* name;
    } cases[] = {
        {"", "Third", "03 Third.mp3"},
        {"", "", "Track 03.mp3"},
        {"", "AC/DC\tLive", "03 AC_DC_Live.mp3"},
        {"{n}-{performer}-{album}", "x", "3-Guest-Best Of.mp3"},
        {"{nn}. {title}.MP3", "x", "03. x.MP3"},
        {"{title}", "..", "_...mp3"},
        {"{title}", "", "_.mp3"},
        {"{title}", "C\xC2\x85 1", "C_ 1.mp3"},
    };
    for (const auto& c : cases) {
        track.title = c.title;
        EXPECT_EQ(trackFileName(c.nameTemplate, track, album), c.name) << c.nameTemplate;
    }
    // Long titles are cut on a character, and the name still ends in .mp3.
    track.title = std::string(300, 'a') + "\xC3\xA9";
    const std::string longName = trackFileName("{title}\xC3\xA9{title}", track, album);
    EXPECT_EQ(longName.size(), 255u);
    EXPECT_TRUE(longName.ends_with(".mp3"));

    EXPECT_FALSE(nameTemplateProblem("{nn} {title} - {album}"));
    EXPECT_EQ(nameTemplateProblem("{titel}")->rfind("unknown field {titel}", 0), 0u);
    EXPECT_TRUE(nameTemplateProblem("{nn"));
}

TEST(TrackNames, TwoTracksWithOneNameAreFound) {
    SplitPlan plan;
    for (const char* title : {"T1", "T2", "T1"}) {
        PlannedTrack track;
        track.number = static_cast<int>(plan.tracks.size() + 1);
        track.title = title;
        plan.tracks.push_back(track);
    }
    nameTracks(plan, "{title}");
    EXPECT_EQ(duplicateTrackName(plan),
              "tracks 1 and 3 would both be named \"T1.mp3\" (give --name a template with {n} or "
              "{nn})");
    nameTracks(plan, "");
    EXPECT_FALSE(duplicateTrackName(plan));
}

}  // namespace
}  // namespace snipwell::test

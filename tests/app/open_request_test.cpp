// A file named on the command line or dropped on the window opens as Open
// does once its dialog has chosen the file; Space presses Play or Pause by
// whether the track plays.

#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace snipwell {
namespace {

using Strings = std::vector<std::string>;

// What the window and the media service saw from the first step after the
// dialog answered on.
struct AfterTheDialog {
    Strings log;
    Strings commands;
};

AfterTheDialog afterTheDialog(test::FormHarness& harness) {
    const auto shown = std::find(harness.window.log.begin(), harness.window.log.end(),
                                 std::string("Cdlg.ShowOpen"));
    const auto from = shown == harness.window.log.end() ? harness.window.log.begin() : shown + 1;
    Strings commands = harness.media.commands;
    // The pause in front of the dialog is Open's own.
    if (!commands.empty() && commands.front() == "pause movie") commands.erase(commands.begin());
    return {Strings(from, harness.window.log.end()), commands};
}

// A track that plays, one the service refuses, and a second file opened over
// a track with marks set: each exactly as the Open dialog would have done.
TEST(OpenRequest, OpensAsOpenDoesAfterItsDialog) {
    struct Case {
        const char* what;
        bool known;  // whether the media service can open it
        bool openedBefore;
    };
    const Case cases[] = {
        {"a track that plays", true, false},
        {"a file the media service refuses", false, false},
        {"a second file over a marked track", true, true},
    };
    for (const Case& c : cases) {
        test::FormHarness byDialog;
        test::FormHarness byName;
        for (test::FormHarness* harness : {&byDialog, &byName}) {
            if (c.openedBefore) {
                harness->openTrack("/music/first.mp3", 100'000);
                harness->media.jumpTo(5'000);
                harness->window.raise(FormEvent::Command5Click);
                harness->window.raise(FormEvent::Command3Click);
            }
            if (c.known) harness->media.addTrack("/music/song.mp3", 245'760);
            harness->clearRecords();
        }
        byDialog.window.dialog.answers.push_back(test::DialogAnswer::choose("/music/song.mp3"));
        byDialog.window.raise(FormEvent::Command4Click);
        byName.form.handleOpenRequest("/music/song.mp3");

        const AfterTheDialog expected = afterTheDialog(byDialog);
        const AfterTheDialog actual = afterTheDialog(byName);
        EXPECT_EQ(actual.log, expected.log) << c.what;
        EXPECT_EQ(actual.commands, expected.commands) << c.what;
        // A refused file is said once and leaves nothing open to poll or save.
        EXPECT_EQ(byName.form.sourceFile, c.known ? "/music/song.mp3" : "") << c.what;
        EXPECT_EQ(byName.form.clipBeginMs, 0) << c.what;
        EXPECT_EQ(byName.media.mode(), byDialog.media.mode()) << c.what;
        EXPECT_EQ(byName.media.mode() == "playing", c.known) << c.what;
        EXPECT_EQ(byName.window.positionTimer.enabled(), c.known) << c.what;
        EXPECT_EQ(byName.window.messages.size(), c.known ? 0u : 1u) << c.what;
        EXPECT_EQ(byName.window.messages.size(), byDialog.window.messages.size()) << c.what;
    }
}

TEST(OpenRequest, SpacePressesPauseOnlyWhileTheTrackPlays) {
    test::FormHarness harness;
    EXPECT_EQ(harness.form.playPauseButton(), 1) << "nothing open";
    harness.openTrack("/music/song.mp3", 245'760);
    EXPECT_EQ(harness.form.playPauseButton(), 3) << "playing";
    harness.window.raise(FormEvent::Command3Click);
    EXPECT_EQ(harness.form.playPauseButton(), 1) << "paused";
    harness.window.raise(FormEvent::Command1Click);
    harness.window.raise(FormEvent::Command2Click);
    EXPECT_EQ(harness.form.playPauseButton(), 1) << "stopped";
    EXPECT_TRUE(harness.window.messages.empty());
}

}  // namespace
}  // namespace snipwell

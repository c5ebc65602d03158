// Open, Play, Pause, Stop, the position tick and the slider's seek, on the
// headless window with a pretend track.

#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace snipwell {
namespace {

using Strings = std::vector<std::string>;

class Transport : public test::FormFixture {};

TEST_F(Transport, OpenPlaysTheChosenTrackAndScalesSliderAndMarkers) {
    openTrack("/music/song.mp3", 245760);

    EXPECT_EQ(
        media.commands,
        (Strings{"pause movie", "close all", "close movie",
                 "open \"/music/song.mp3\" type mpegvideo alias movie parent 4242 style child ",
                 "play movie", "set movie time format ms", "status movie length"}));
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_EQ(window.slider.max(), 245);
    EXPECT_EQ(form.markerStep, 16);  // 3975 / 245, remainder dropped
    EXPECT_EQ(form.sourceFile, "/music/song.mp3");
    EXPECT_EQ(form.player->Filename, "\"/music/song.mp3\"");
    EXPECT_EQ(window.dialog.fileName(), "") << "the next dialog starts with an empty name";
    EXPECT_EQ(window.dialog.shown.at(0).filter, "Mp3 Files (*.Mp3)|*.mp3");
    EXPECT_TRUE(window.positionTimer.enabled());

    EXPECT_EQ(logOf({"T.", "Cdlg.", "H.", "Label", "Line"}),
              (Strings{"T.Enabled=false", "Cdlg.Filter=Mp3 Files (*.Mp3)|*.mp3", "Cdlg.ShowOpen",
                       "H.Value=0", "Label7=0", "Label9=0", "Label3=0",
                       "Cdlg.FileName=", "T.Enabled=true", "H.Max=245", "Line1.X1=240",
                       "Line1.X2=240", "Line2.X1=4200", "Line2.X2=4200"}));
}

TEST_F(Transport, OpenSetsMarkerScaleOnlyWhenTheSliderHasARange) {
    struct Case {
        std::int32_t lengthMs;
        std::int32_t expectedMax;
        std::int32_t expectedStep;
    };
    // Each row opens after the previous one, so a skipped step shows as the
    // previous row's scale.
    const Case cases[] = {
        {245760, 245, 16},  {999, 0, 16},  // shorter than a second: scale unchanged, still plays
        {3976000, 3976, 0},                // more units than twips
        {500, 0, 0},        {1000, 1, 3975},
    };
    int n = 0;
    for (const Case& c : cases) {
        media.commands.clear();
        openTrack("/t/" + std::to_string(n++) + ".mp3", c.lengthMs);
        EXPECT_EQ(window.slider.max(), c.expectedMax) << c.lengthMs;
        EXPECT_EQ(form.markerStep, c.expectedStep) << c.lengthMs;
        EXPECT_EQ(std::count(media.commands.begin(), media.commands.end(), "play movie"), 1)
            << c.lengthMs;
    }
}

TEST_F(Transport, CancelledOpenLeavesTheTrackLoadedAndPausedAndPlayResumesIt) {
    openTrack("/music/song.mp3", 245760);
    form.clipBeginMs = 1000;
    form.clipEndMs = 5000;
    window.setClock(window.clock() + 10);
    const auto pausedAt = media.positionMs();
    clearRecords();

    window.dialog.answers.push_back(test::DialogAnswer::cancel());
    window.raise(FormEvent::Command4Click);

    EXPECT_EQ(media.commands, (Strings{"pause movie"}));
    EXPECT_EQ(media.mode(), "paused");
    EXPECT_TRUE(media.isOpen());
    EXPECT_FALSE(window.positionTimer.enabled());
    EXPECT_EQ(form.clipBeginMs, 1000);
    EXPECT_EQ(form.clipEndMs, 5000);
    EXPECT_EQ(form.sourceFile, "/music/song.mp3");

    window.raise(FormEvent::Command1Click);
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_GE(media.positionMs(), pausedAt);
    EXPECT_LT(media.positionMs(), pausedAt + 1000) << "resumed where it was paused";
}

// Whatever the media service refuses is said once, and the window rests as
// before the first Open: nothing plays and nothing polls the position.
TEST_F(Transport, AFileTheServiceRefusesIsNamedWithTheReasonAndLeavesTheWindowAtRest) {
    struct Case {
        std::uint32_t code;
        const char* message;
    };
    const Case cases[] = {
        {34, "photo.mp3 cannot be played: it is not an MP3 file."},
        {33, "photo.mp3 cannot be played: it cannot be read."},
        {30, "photo.mp3 cannot be played: it does not exist."},
        {999, "photo.mp3 cannot be played: the media service refused it (code 999)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        test::FormHarness t;
        t.openTrack("/music/song.mp3", 245760);
        t.form.clipBeginMs = 1000;
        t.clearRecords();
        t.media.intercept =
            [&](const std::string& command) -> std::optional<test::ScriptedMediaService::Answer> {
            if (command.rfind("open ", 0) == 0)
                return test::ScriptedMediaService::Answer{c.code, ""};
            return std::nullopt;
        };
        t.window.dialog.answers.push_back(test::DialogAnswer::choose("/music/photo.mp3"));
        t.window.raise(FormEvent::Command4Click);

        ASSERT_EQ(t.window.messages.size(), 1u);
        EXPECT_EQ(t.window.messages[0].text, c.message);
        EXPECT_EQ(t.window.messages[0].buttons, 64);
        EXPECT_EQ(t.window.messages[0].title, "Snipwell 3.4");
        EXPECT_EQ(std::count(t.media.commands.begin(), t.media.commands.end(), "play movie"), 0);
        EXPECT_FALSE(t.window.positionTimer.enabled());
        EXPECT_EQ(t.window.slider.max(), 0);
        EXPECT_EQ(t.window.label4.caption(), "0");
        EXPECT_EQ(t.form.sourceFile, "") << "nothing is open to be saved from";
        EXPECT_EQ(t.form.clipBeginMs, 0);
    }
}

TEST_F(Transport, OpeningAnotherFileResetsMarksLabelsAndMarkerLines) {
    openTrack("/music/a.mp3", 245760);
    window.slider.setValue(100);
    window.raise(FormEvent::Command5Click);
    window.setClock(window.clock() + 2);
    window.raise(FormEvent::Command6Click);
    ASSERT_NE(window.line1.x1(), 240.0f);

    openTrack("/music/b.mp3", 60000);

    EXPECT_EQ(form.clipBeginMs, 0);
    EXPECT_EQ(form.clipEndMs, 0);
    for (const auto* label : {&window.label7, &window.label9, &window.label3}) {
        EXPECT_EQ(label->caption(), "0");
    }
    EXPECT_EQ(window.line1.x1(), 240.0f);
    EXPECT_EQ(window.line1.x2(), 240.0f);
    EXPECT_EQ(window.line2.x1(), 4200.0f);
    EXPECT_EQ(window.line2.x2(), 4200.0f);
    EXPECT_EQ(media.openPath(), "/music/b.mp3");
    EXPECT_EQ(form.markerStep, 66);
}

TEST_F(Transport, StopReturnsToTheStartAndShowsABareZero) {
    openTrack("/music/song.mp3", 245760);
    window.setClock(window.clock() + 30);
    window.raise(FormEvent::TTimer);
    clearRecords();

    window.raise(FormEvent::Command2Click);

    EXPECT_EQ(media.commands,
              (Strings{"stop movie", "status movie mode", "status movie mode", "seek movie to 0"}));
    EXPECT_EQ(logOf({"T.", "H.", "Label4"}), (Strings{"T.Enabled=false", "H.Value=0", "Label4=0"}));
    EXPECT_EQ(media.positionMs(), 0);

    // Play starts again from the beginning, and the next tick shows a formatted time.
    window.raise(FormEvent::Command1Click);
    window.setClock(window.clock() + 3);
    window.raise(FormEvent::TTimer);
    EXPECT_EQ(window.label4.caption(), " 0 : 0 : 3");
}

TEST_F(Transport, PlayPressedInsideStopsWaitStartsAtTheBeginning) {
    window.timerTicks = true;
    openTrack("/music/song.mp3", 245760);
    window.setClock(window.clock() + 30);
    std::vector<std::int32_t> playedFrom;
    media.intercept =
        [&](const std::string& command) -> std::optional<test::ScriptedMediaService::Answer> {
        if (command == "play movie") playedFrom.push_back(media.positionMs());
        if (command.rfind("play movie from", 0) == 0 || command.rfind("seek", 0) == 0)
            playedFrom.push_back(-1);  // a jump after Play started
        return std::nullopt;
    };
    window.at(window.clock() + 0.2, [&] {
        playedFrom.clear();
        window.raise(FormEvent::Command1Click);
    });
    window.raise(FormEvent::Command2Click);

    EXPECT_EQ(playedFrom, std::vector<std::int32_t>{0});
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_LT(media.positionMs(), 1500);
}

TEST_F(Transport, PauseHoldsThePlaceAndStopsTheTimer) {
    openTrack("/music/song.mp3", 245760);
    window.setClock(window.clock() + 5);
    window.raise(FormEvent::Command3Click);
    const auto held = media.positionMs();
    EXPECT_EQ(media.mode(), "paused");
    EXPECT_FALSE(window.positionTimer.enabled());

    window.setClock(window.clock() + 5);
    EXPECT_EQ(media.positionMs(), held);
    window.raise(FormEvent::Command1Click);
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_TRUE(window.positionTimer.enabled());
}

TEST_F(Transport, TickShowsPositionsPastNineHours) {
    openTrack("/music/long.mp3", 12 * 3600 * 1000);
    media.jumpTo(40000 * 1000 + 250);
    window.raise(FormEvent::TTimer);
    EXPECT_EQ(window.slider.value(), 40000);
    EXPECT_EQ(window.label4.caption(), " 11 : 6 : 40");
}

TEST_F(Transport, TickShowsWhatTheSliderHoldsWhenItRefusesTheNewValue) {
    openTrack("/music/song.mp3", 245760);
    window.setClock(window.clock() + 7);
    window.raise(FormEvent::TTimer);
    ASSERT_EQ(window.label4.caption(), " 0 : 0 : 7");

    window.slider.refuseValues = true;
    window.setClock(window.clock() + 5);
    window.raise(FormEvent::TTimer);
    EXPECT_EQ(window.label4.caption(), " 0 : 0 : 7");
}

TEST_F(Transport, SliderSeekPlaysOnWhilePlayingAndMovesThePausedPlace) {
    openTrack("/music/song.mp3", 245760);
    window.slider.setValue(61);
    clearRecords();
    window.raise(FormEvent::HUserMove);
    EXPECT_EQ(media.commands, (Strings{"status movie mode", "play movie from 61000"}));
    EXPECT_EQ(media.mode(), "playing");

    window.raise(FormEvent::Command3Click);
    window.slider.setValue(30);
    clearRecords();
    window.raise(FormEvent::HUserMove);
    EXPECT_EQ(media.commands,
              (Strings{"status movie mode", "status movie mode", "seek movie to 30000"}));
    EXPECT_EQ(media.mode(), "stopped");
    EXPECT_EQ(media.positionMs(), 30000);
}

TEST_F(Transport, WritingTheSliderNeverSeeks) {
    openTrack("/music/song.mp3", 245760);
    clearRecords();
    window.raise(FormEvent::TTimer);
    window.raise(FormEvent::Command2Click);
    for (const auto& command : media.commands) {
        EXPECT_EQ(command.find("play movie from"), std::string::npos) << command;
    }
}

TEST_F(Transport, ATickAndAClickRunInsideOpensHalfSecondWait) {
    window.timerTicks = true;
    window.setClock(100.0);
    media.addTrack("/music/song.mp3", 245760);
    window.dialog.answers.push_back(test::DialogAnswer::choose("/music/song.mp3"));
    // The timer is already on when the wait begins; Select Start lands in it.
    window.at(100.2, [&] { window.raise(FormEvent::Command5Click); });
    window.raise(FormEvent::Command4Click);

    EXPECT_GT(form.clipBeginMs, 0) << "the mark made inside the wait stays";
    EXPECT_EQ(window.line1.x1(), 240.0f) << "but Open puts its line home after the wait";
    EXPECT_NE(window.label7.caption(), "0");
    EXPECT_GE(window.clock(), 100.5);
}

TEST_F(Transport, PlayBeforeAnyOpenFailsQuietlyAndStartsTheTimer) {
    window.raise(FormEvent::Command1Click);
    ASSERT_NE(form.player, nullptr);
    EXPECT_EQ(form.player->Error, static_cast<std::int32_t>(test::ScriptedMediaService::kNotOpen));
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(window.positionTimer.enabled());
    EXPECT_EQ(form.markerStep, 0);
}

}  // namespace
}  // namespace snipwell

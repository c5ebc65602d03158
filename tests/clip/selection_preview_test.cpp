// Play Selected and everything a user can do while it plays.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/form_fixture.h"

namespace snipwell {
namespace {

using Strings = std::vector<std::string>;

class Preview : public test::FormFixture {
protected:
    void SetUp() override {
        window.timerTicks = true;
        openTrack("/music/song.mp3", 60000);
        clearRecords();
    }
    void select(std::int32_t beginMs, std::int32_t endMs) {
        form.clipBeginMs = beginMs;
        form.clipEndMs = endMs;
    }
    // The position at which each "pause movie" went out.
    std::vector<std::int32_t> pausedAt;
    void watchPauses() {
        media.intercept =
            [this](
                const std::string& command) -> std::optional<test::ScriptedMediaService::Answer> {
            if (command == "pause movie") pausedAt.push_back(media.positionMs());
            return std::nullopt;
        };
    }
    long countOf(const std::string& command) const {
        return std::count(media.commands.begin(), media.commands.end(), command);
    }
};

TEST_F(Preview, AnEmptyOrReversedSelectionIsRefusedWithoutTouchingPlayback) {
    for (const auto& [begin, end] :
         std::vector<std::pair<int, int>>{{0, 0}, {5000, 5000}, {9000, 5000}}) {
        select(begin, end);
        window.raise(FormEvent::Command9Click);
        ASSERT_FALSE(window.messages.empty());
        EXPECT_EQ(window.messages.back().text, "Invalid Selection");
        EXPECT_EQ(window.messages.back().buttons, 64);
        EXPECT_EQ(window.messages.back().title, "Snipwell 3.4");
    }
    EXPECT_TRUE(media.commands.empty());
}

TEST_F(Preview, PlaysFromTheBeginMarkAndPausesRightAtTheEndMark) {
    window.raise(FormEvent::Command2Click);  // stopped, timer off
    clearRecords();
    watchPauses();
    select(0, 3000);
    window.raise(FormEvent::Command9Click);

    // To the mark first, then play: nothing of the old place is heard.
    EXPECT_EQ(Strings(media.commands.begin(), media.commands.begin() + 5),
              (Strings{"status movie mode", "status movie mode", "seek movie to 0",
                       "status movie mode", "play movie"}));
    ASSERT_EQ(pausedAt.size(), 1u);
    EXPECT_GE(pausedAt[0], 3000);
    EXPECT_LE(pausedAt[0], 3002) << "paused within a few milliseconds of the mark";
    EXPECT_EQ(media.mode(), "paused");
    EXPECT_TRUE(window.positionTimer.enabled()) << "the timer stays on afterwards";
    EXPECT_EQ(form.clipBeginMs, 0) << "the preview never raises a begin of 0";
    EXPECT_EQ(window.label4.caption(), " 0 : 0 : 3");
}

TEST_F(Preview, WaitsOnTheEventQueueInsteadOfSpinning) {
    select(1000, 11000);
    window.raise(FormEvent::Command9Click);
    // Ten seconds of preview: a look at the position every 10 ms at most.
    EXPECT_EQ(window.pumps, 0);
    EXPECT_GE(window.waits, 900);
    EXPECT_LE(window.waits, 1100);
}

TEST_F(Preview, UserActionsInsideThePreview) {
    struct Case {
        const char* what;
        std::function<void(test::FormHarness&)> during;  // run 1 s into a 1 s → 5 s preview
        std::int32_t expectedPauses;                     // how many "pause movie" went out
        const char* finalMode;
        std::int32_t finalMinMs, finalMaxMs;  // where playback is when the preview returns
    };
    const Case cases[] = {
        {"Select End earlier moves the stop at once",
         [](test::FormHarness& t) { t.window.raise(FormEvent::Command6Click); }, 1, "paused", 2000,
         2012},
        {"Pause holds it; Play then ends it and plays on",
         [](test::FormHarness& t) {
             t.window.raise(FormEvent::Command3Click);
             t.window.at(t.window.clock() + 20, [&t] { t.window.raise(FormEvent::Command1Click); });
         },
         1, "playing", 2000, 2600},
        {"Stop ends it at the start",
         [](test::FormHarness& t) { t.window.raise(FormEvent::Command2Click); }, 0, "stopped", 0,
         0},
        {"a seek ends it and plays on from there",
         [](test::FormHarness& t) {
             t.window.slider.setValue(30);
             t.window.raise(FormEvent::HUserMove);
         },
         0, "playing", 30000, 30100},
        {"Play Selected again replaces it; one pause at the mark",
         [](test::FormHarness& t) { t.window.raise(FormEvent::Command9Click); }, 1, "paused", 5000,
         5012},
    };
    for (const Case& c : cases) {
        test::FormHarness t;
        t.window.timerTicks = true;
        t.openTrack("/music/song.mp3", 60000);
        t.form.clipBeginMs = 1000;
        t.form.clipEndMs = 5000;
        int pauses = 0;
        t.media.intercept =
            [&](const std::string& command) -> std::optional<test::ScriptedMediaService::Answer> {
            if (command == "pause movie") ++pauses;
            return std::nullopt;
        };
        t.window.at(t.window.clock() + 1.0, [&] { c.during(t); });
        t.window.raise(FormEvent::Command9Click);

        EXPECT_EQ(t.media.mode(), c.finalMode) << c.what;
        EXPECT_GE(t.media.positionMs(), c.finalMinMs) << c.what;
        EXPECT_LE(t.media.positionMs(), c.finalMaxMs) << c.what;
        // The Pause click sends a pause of its own.
        EXPECT_EQ(pauses, c.expectedPauses) << c.what;

        // An ended preview stays ended: nothing pauses at the old end mark later.
        t.window.setClock(t.window.clock() + 10.0);
        t.window.raise(FormEvent::TTimer);
        EXPECT_EQ(pauses, c.expectedPauses) << c.what;
    }
}

TEST_F(Preview, OpenInsideThePreviewEndsItAndTheNewTrackPlaysOn) {
    select(1000, 5000);
    media.addTrack("/music/other.mp3", 30000);
    window.at(window.clock() + 1.0, [&] {
        window.dialog.answers.push_back(test::DialogAnswer::choose("/music/other.mp3"));
        window.raise(FormEvent::Command4Click);
    });
    watchPauses();
    window.raise(FormEvent::Command9Click);

    EXPECT_EQ(media.openPath(), "/music/other.mp3");
    EXPECT_EQ(media.mode(), "playing") << "the new track is not paused by the old preview";
    ASSERT_EQ(pausedAt.size(), 1u) << "only Open's own pause, of the old track a second in";
    EXPECT_GE(pausedAt[0], 2000);
    EXPECT_LT(pausedAt[0], 2100);
    EXPECT_EQ(form.clipBeginMs, 0);
    EXPECT_EQ(form.clipEndMs, 0);
}

TEST_F(Preview, OpenCancelledInsideThePreviewKeepsItWaitingUntilPlayEndsIt) {
    select(1000, 5000);
    window.at(window.clock() + 1.0, [&] {
        window.dialog.answers.push_back(test::DialogAnswer::cancel());
        window.raise(FormEvent::Command4Click);
    });
    bool stillLooping = false;
    window.at(window.clock() + 20.0, [&] {
        stillLooping = true;
        window.raise(FormEvent::Command1Click);
    });
    watchPauses();
    window.raise(FormEvent::Command9Click);
    EXPECT_TRUE(stillLooping);
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_EQ(pausedAt.size(), 1u) << "only Open's own pause";
}

TEST_F(Preview, PlaysTheMarkedStretchWhateverStatePlaybackIsIn) {
    struct Case {
        const char* state;
        std::function<void(test::FormHarness&)> reach;
    };
    const Case cases[] = {
        {"played to the end",
         [](test::FormHarness& t) { t.window.setClock(t.window.clock() + 61.0); }},
        {"stopped at 0", [](test::FormHarness& t) { t.window.raise(FormEvent::Command2Click); }},
        {"paused", [](test::FormHarness& t) { t.window.raise(FormEvent::Command3Click); }},
        {"playing", [](test::FormHarness&) {}},
        {"moved to the very end",
         [](test::FormHarness& t) {
             t.window.raise(FormEvent::Command3Click);
             t.window.slider.setValue(60);
             t.window.raise(FormEvent::HUserMove);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        test::FormHarness t;
        t.window.timerTicks = true;
        t.openTrack("/music/song.mp3", 60000);
        c.reach(t);
        t.form.clipBeginMs = 20000;
        t.form.clipEndMs = 23000;
        std::vector<std::int32_t> positions;
        std::vector<std::int32_t> pauses;
        std::vector<std::int32_t> plays;
        t.media.intercept =
            [&](const std::string& command) -> std::optional<test::ScriptedMediaService::Answer> {
            if (command == "status movie position wait") positions.push_back(t.media.positionMs());
            if (command == "pause movie") pauses.push_back(t.media.positionMs());
            if (command == "play movie") plays.push_back(t.media.positionMs());
            return std::nullopt;
        };
        t.window.raise(FormEvent::Command9Click);

        // Playback starts only once the device stands at the begin mark.
        for (const std::int32_t startedAt : plays) EXPECT_EQ(startedAt, 20000);

        ASSERT_GE(positions.size(), 2u);
        EXPECT_GE(positions.front(), 20000) << "runs from the begin mark";
        EXPECT_LT(positions.front(), 20100);
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << "and moves forward";
        ASSERT_EQ(pauses.size(), 1u);
        EXPECT_GE(pauses[0], 23000);
        EXPECT_LE(pauses[0], 23002);
        EXPECT_EQ(t.media.mode(), "paused");
    }
}

TEST_F(Preview, PlayAtTheEndOfTheTrackStillOnlySendsPlay) {
    window.setClock(window.clock() + 61.0);
    ASSERT_EQ(media.mode(), "stopped");
    clearRecords();
    window.raise(FormEvent::Command1Click);
    EXPECT_EQ(std::count(media.commands.begin(), media.commands.end(), "play movie"), 1);
    EXPECT_EQ(std::count_if(media.commands.begin(), media.commands.end(),
                            [](const std::string& c) {
                                return c.find(" from ") != std::string::npos ||
                                       c.rfind("seek", 0) == 0;
                            }),
              0);
    EXPECT_EQ(media.mode(), "stopped");
    EXPECT_EQ(media.positionMs(), 60000);
}

TEST_F(Preview, SaveInsideThePreviewStopsPlaybackAndTheLoopWaitsUntilPlayEndsIt) {
    select(1000, 5000);
    // Save is cancelled at its dialog; it stops playback all the same.
    window.at(window.clock() + 1.0, [&] {
        window.dialog.answers.push_back(test::DialogAnswer::cancel());
        window.raise(FormEvent::Command7Click);
    });
    bool stillLooping = false;
    window.at(window.clock() + 30.0, [&] {
        stillLooping = true;
        window.raise(FormEvent::Command1Click);
    });
    window.raise(FormEvent::Command9Click);
    EXPECT_TRUE(stillLooping);
    EXPECT_EQ(media.mode(), "playing");
    EXPECT_EQ(countOf("pause movie"), 0);
}

TEST_F(Preview, AnEndMarkPastTheTrackKeepsTheLoopUntilTheWindowCloses) {
    select(58000, 70000);
    window.at(window.clock() + 60.0, [&] { window.raise(FormEvent::Unload); });
    window.raise(FormEvent::Command9Click);
    EXPECT_TRUE(window.programEnded());
    EXPECT_EQ(countOf("pause movie"), 0);
    EXPECT_EQ(media.commands.back(), "close all");
}

}  // namespace
}  // namespace snipwell

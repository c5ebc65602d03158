// Start-up, shut-down and the event router: the player is made on first use,
// closing sends "close all" and ends the program wherever the user closes it.

#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace snipwell {
namespace {

using Strings = std::vector<std::string>;

class Lifecycle : public test::FormFixture {};

TEST_F(Lifecycle, StartingSendsNoMediaCommandAndLoadsTheAdvertPanelOnce) {
    window.raise(FormEvent::Initialize);
    window.raise(FormEvent::Load);
    EXPECT_EQ(form.player, nullptr);
    EXPECT_TRUE(media.commands.empty());
    EXPECT_TRUE(window.label1.underlined());
    EXPECT_EQ(window.browser.navigations,
              (Strings{"https://quorvane.example/info.php?n=snipwell"}));
    EXPECT_EQ(logOf({"Label1"}), (Strings{"Label1.Underline=true"}))
        << "underlined before navigating";
    EXPECT_EQ(form.clipBeginMs, 0);
    EXPECT_EQ(form.clipEndMs, 0);
    EXPECT_EQ(form.sourceFile, "");
    EXPECT_EQ(form.markerStep, 0);
    EXPECT_FALSE(window.positionTimer.enabled());

    window.raise(FormEvent::Timer1Timer);
    EXPECT_TRUE(window.log.size() == 1) << "the sampling timer changes nothing visible";
}

TEST_F(Lifecycle, ClosingRightAfterStartCreatesThePlayerToCloseAllAndEnds) {
    window.raise(FormEvent::Unload);
    ASSERT_NE(form.player, nullptr);
    EXPECT_EQ(media.commands, (Strings{"close all"}));
    EXPECT_TRUE(window.programEnded());
    EXPECT_TRUE(form.ended());

    // Nothing runs after the end.
    window.raise(FormEvent::Command1Click);
    window.raise(FormEvent::TTimer);
    EXPECT_EQ(media.commands, (Strings{"close all"}));
}

TEST_F(Lifecycle, ThePlayerIsMadeOnceAndReusedForEveryFile) {
    openTrack("/music/a.mp3", 10000);
    const MovieModule* first = form.player.get();
    openTrack("/music/b.mp3", 10000);
    window.raise(FormEvent::Command2Click);
    EXPECT_EQ(form.player.get(), first);
}

// Closing inside any wait, dialog or loop: "close all" goes out, and the
// interrupted handler never takes another step.
TEST_F(Lifecycle, ClosingInsideAWaitADialogOrALoopEndsWithoutResuming) {
    struct Case {
        const char* where;
        std::function<void(test::FormHarness&)> arrange;
        FormEvent interrupted;
    };
    auto closeSoon = [](test::FormHarness& t) {
        t.window.onNextPump([&t] { t.window.raise(FormEvent::Unload); });
    };
    const Case cases[] = {
        {"Stop's wait", [&](test::FormHarness& t) { closeSoon(t); }, FormEvent::Command2Click},
        {"Pause's wait", [&](test::FormHarness& t) { closeSoon(t); }, FormEvent::Command3Click},
        {"Play's wait", [&](test::FormHarness& t) { closeSoon(t); }, FormEvent::Command1Click},
        {"the Open dialog",
         [](test::FormHarness& t) {
             t.window.dialog.answers.push_back(test::DialogAnswer::choose("/music/b.mp3"));
             t.window.dialog.whileShown = [&t] { t.window.raise(FormEvent::Unload); };
         },
         FormEvent::Command4Click},
        {"the preview loop",
         [&](test::FormHarness& t) {
             t.form.clipBeginMs = 1000;
             t.form.clipEndMs = 9000;
             t.window.at(t.window.clock() + 2, [&t] { t.window.raise(FormEvent::Unload); });
         },
         FormEvent::Command9Click},
        {"the Invalid Selection message",
         [](test::FormHarness& t) {
             t.window.whileMessageShown = [&t](const test::MessageShown&) {
                 t.window.raise(FormEvent::Unload);
             };
         },
         FormEvent::Command9Click},
    };
    for (const Case& c : cases) {
        test::FormHarness t;
        t.openTrack("/music/a.mp3", 60000);
        t.clearRecords();
        c.arrange(t);
        // What the window showed when the close arrived must be what it shows at the end.
        std::size_t logAtClose = 0;
        t.media.intercept =
            [&](const std::string& command) -> std::optional<test::ScriptedMediaService::Answer> {
            if (command == "close all") logAtClose = t.window.log.size();
            return std::nullopt;
        };
        t.window.raise(c.interrupted);
        ASSERT_TRUE(t.window.programEnded()) << c.where;
        ASSERT_FALSE(t.media.commands.empty()) << c.where;
        EXPECT_EQ(t.media.commands.back(), "close all")
            << c.where << ": a media command went out after the close";
        EXPECT_EQ(t.window.log.size(), logAtClose)
            << c.where << ": the window changed after the close: " << t.window.log.back();
    }
}

TEST_F(Lifecycle, AnUntrappedFailureIsReportedAndTheProgramGoesOn) {
    openTrack("/music/a.mp3", 60000);
    // A slider value whose milliseconds do not fit 32 bits.
    window.slider.setValue(2147484);
    window.raise(FormEvent::HUserMove);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].title, "Snipwell 3.4");
    EXPECT_EQ(window.messages[0].buttons, 64);
    EXPECT_NE(window.messages[0].text.find("Overflow"), std::string::npos);
    EXPECT_FALSE(window.programEnded());

    window.raise(FormEvent::Command3Click);
    EXPECT_EQ(media.mode(), "paused") << "the window still works";
}

}  // namespace
}  // namespace snipwell

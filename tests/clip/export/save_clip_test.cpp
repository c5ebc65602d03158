// The window's Save on the headless model: what the person sees and answers,
// and what ends up on disk.

#include <filesystem>

#include "clip/export/save_fixture.h"

namespace snipwell::test {
namespace {

using Names = std::vector<std::string>;

TEST_F(SaveClipTest, SavesTheWorkedExampleWithTheWindowBusyThroughoutTheCopy) {
    const std::string target = folder.file("clip.mp3").string();
    int pumpsSeen = 0;
    bool busyInEveryPump = true;
    const std::function<void()> watchPump = [&] {
        ++pumpsSeen;
        for (const int number : {1, 2, 3, 4, 5, 6, 7, 9}) {
            busyInEveryPump = busyInEveryPump && !window.command(number).enabled();
        }
        busyInEveryPump = busyInEveryPump && window.command(8).enabled() &&
                          !window.slider.enabled() && window.mainWindow.caption() == "Saving";
        if (pumpsSeen < 40) window.onNextPump(watchPump);
    };
    window.onNextPump(watchPump);

    saveTo(target);

    EXPECT_EQ(messageTexts(), Names{"Clip Saved     "});
    EXPECT_EQ(window.messages[0].buttons, kOkInformation);
    EXPECT_TRUE(readBytes(target) == workedExampleClip());
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    EXPECT_EQ(pumpsSeen, 40);
    EXPECT_TRUE(busyInEveryPump);
    expectIdle();
    expectSourceUnchanged();

    const DialogShown& shown = window.dialog.shown.back();
    EXPECT_TRUE(shown.save);
    EXPECT_EQ(shown.filter, "Mp3 Files(*.Mp3)|*.mp3|Mp3 Files, exact to the sample (*.mp3)|*.mp3");
    EXPECT_EQ(shown.filterIndex, 1);
    EXPECT_EQ(shown.title, "Open");
    EXPECT_EQ(shown.flags, 1);

    // The progress bar: its full scale, then one step of 4096 per chunk.
    const auto maxAt = std::find(window.log.begin(), window.log.end(), "pb.Max=164096");
    ASSERT_NE(maxAt, window.log.end());
    std::vector<std::string> progress;
    for (auto entry = maxAt + 1; entry != window.log.end(); ++entry) {
        if (entry->rfind("pb.Value=", 0) == 0) progress.push_back(*entry);
    }
    ASSERT_EQ(progress.size(), 42u);  // 0, 40 chunks, 0 again at the end
    EXPECT_EQ(progress[1], "pb.Value=4096");
    EXPECT_EQ(progress[40], "pb.Value=163840");
    EXPECT_EQ(progress[41], "pb.Value=0");
}

TEST_F(SaveClipTest, GoesBusyAndBackToIdleInTheWindowsOrder) {
    saveTo(folder.file("clip.mp3").string());

    const Names busy = {"Command1.Enabled=false", "Command2.Enabled=false",
                        "Command3.Enabled=false", "Command4.Enabled=false",
                        "Command5.Enabled=false", "Command6.Enabled=false",
                        "Command7.Enabled=false", "Command9.Enabled=false",
                        "H.Enabled=false",        "H.Value=0",
                        "Caption=Saving"};
    ASSERT_GE(window.log.size(), busy.size());
    EXPECT_EQ(Names(window.log.begin(), window.log.begin() + static_cast<long>(busy.size())), busy);

    const Names idle = {"Caption=Snipwell 3.4",  "MsgBox=Clip Saved     ", "pb.Value=0",
                        "Command1.Enabled=true", "Command2.Enabled=true",  "Command3.Enabled=true",
                        "Command4.Enabled=true", "Command5.Enabled=true",  "Command6.Enabled=true",
                        "Command7.Enabled=true", "Command9.Enabled=true",  "H.Enabled=true"};
    ASSERT_GE(window.log.size(), idle.size());
    EXPECT_EQ(Names(window.log.end() - static_cast<long>(idle.size()), window.log.end()), idle);
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "Command8.Enabled=false"), 0);
    EXPECT_NE(std::find(media.commands.begin(), media.commands.end(), "stop movie"),
              media.commands.end());
}

// A clip from the very start of a source without tags starts at its first
// byte, and the mark stays 0, so saving again gives the same clip.
TEST_F(SaveClipTest, BeginMarkOfZeroStartsAtTheFirstByteOnEverySave) {
    saveTo(folder.file("clip.mp3").string(), 0, 5'000);

    EXPECT_EQ(form.clipBeginMs, 0);
    EXPECT_NE(std::find(window.log.begin(), window.log.end(), "pb.Max=84096"), window.log.end());
    const Bytes first = readBytes(folder.file("clip.mp3").string());
    ASSERT_EQ(first.size(), 80'000u);
    EXPECT_TRUE(first == expectedClip(source, 1, 80'000));

    window.messageAnswers.push_back(kAnswerYes);
    saveTo(folder.file("clip.mp3").string(), form.clipBeginMs, form.clipEndMs);
    EXPECT_TRUE(readBytes(folder.file("clip.mp3").string()) == first);
}

TEST_F(SaveClipTest, BeginMarkOfOneStartsAtTheRatesOwnByte) {
    saveTo(folder.file("clip.mp3").string(), 1, 5'000);

    EXPECT_EQ(form.clipBeginMs, 1);
    EXPECT_NE(std::find(window.log.begin(), window.log.end(), "pb.Max=84080"), window.log.end());
    EXPECT_TRUE(readBytes(folder.file("clip.mp3").string()) == expectedClip(source, 17, 79'984));
}

TEST_F(SaveClipTest, InvalidSelectionChangesNothing) {
    saveTo(folder.file("clip.mp3").string(), 20'000, 20'000);

    EXPECT_EQ(messageTexts(), Names{"Invalid Selection"});
    EXPECT_EQ(window.log, Names{"MsgBox=Invalid Selection"});
    EXPECT_TRUE(window.dialog.shown.empty() || !window.dialog.shown.back().save);
    EXPECT_EQ(folder.names(), Names{"song.mp3"});
}

TEST_F(SaveClipTest, CancelledDialogReturnsToIdleSilentlyAndForgetsTheName) {
    form.clipBeginMs = 10'000;
    form.clipEndMs = 20'000;
    window.dialog.answers.push_back(DialogAnswer::cancel());
    window.raise(FormEvent::Command7Click);

    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.dialog.fileName(), "");
    EXPECT_EQ(folder.names(), Names{"song.mp3"});
    expectIdle();
}

// The source chosen as the target, by its own name or by any other name of
// the same file, is refused before anything is opened for writing.
TEST_F(SaveClipTest, RefusesTheSourceUnderAnyOfItsNames) {
    std::filesystem::create_symlink(sourcePath, folder.file("link.mp3").string());
    std::filesystem::create_hard_link(sourcePath, folder.file("hard.mp3").string());
    std::filesystem::create_directory(folder.file("sub").string());
    const std::string relative = folder.file("sub").string() + "/../song.mp3";

    for (const std::string& name : {sourcePath, folder.file("link.mp3").string(),
                                    folder.file("hard.mp3").string(), relative}) {
        window.messages.clear();
        saveTo(name);
        EXPECT_EQ(messageTexts(), Names{"Cannot overwrite file in use..."}) << name;
        EXPECT_EQ(window.dialog.fileName(), "") << name;
        expectSourceUnchanged();
        expectIdle();
    }
    EXPECT_EQ(folder.names(), (Names{"hard.mp3", "link.mp3", "song.mp3", "sub"}));
}

TEST_F(SaveClipTest, ExistingTargetAnsweredNoIsLeftAlone) {
    const std::string target = folder.file("clip.mp3").string();
    const Bytes old = patternBytes(500, 7);
    writeBytes(target, old);
    window.messageAnswers.push_back(kAnswerNo);

    saveTo(target);

    EXPECT_EQ(messageTexts(), Names{"File already exist.Overwrite?"});
    EXPECT_EQ(window.messages[0].buttons, kYesNoInformation);
    EXPECT_TRUE(readBytes(target) == old);
    EXPECT_EQ(window.dialog.fileName(), "");
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    expectIdle();
}

TEST_F(SaveClipTest, ExistingLongerTargetAnsweredYesHoldsExactlyTheClip) {
    const std::string target = folder.file("clip.mp3").string();
    writeBytes(target, patternBytes(1'000'000, 7));
    window.messageAnswers.push_back(kAnswerYes);

    saveTo(target);

    EXPECT_EQ(messageTexts(), (Names{"File already exist.Overwrite?", "Clip Saved     "}));
    EXPECT_TRUE(readBytes(target) == workedExampleClip());
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
}

// Presence decides: a name that cannot be opened for reading (here a link to
// nothing) is still asked about rather than replaced.
TEST_F(SaveClipTest, AsksAboutANameThatIsPresentButUnreadable) {
    const std::string target = folder.file("dangling.mp3").string();
    std::filesystem::create_symlink(folder.file("nowhere.mp3").string(), target);
    window.messageAnswers.push_back(kAnswerNo);

    saveTo(target);

    EXPECT_EQ(messageTexts(), Names{"File already exist.Overwrite?"});
    EXPECT_TRUE(std::filesystem::is_symlink(target));
    EXPECT_EQ(folder.names(), (Names{"dangling.mp3", "song.mp3"}));
}

TEST_F(SaveClipTest, SecondSaveOffersThePreviousNameAndAsksBeforeReplacingIt) {
    const std::string target = folder.file("clip.mp3").string();
    saveTo(target);
    window.messages.clear();
    window.messageAnswers.push_back(kAnswerYes);

    saveTo(target, 30'000, 40'000);

    EXPECT_EQ(window.dialog.shown.back().fileName, target);
    EXPECT_EQ(messageTexts(), (Names{"File already exist.Overwrite?", "Clip Saved     "}));
    EXPECT_TRUE(readBytes(target) == expectedClip(source, 480'001, 160'000));
}

// Home Page is the one button a save leaves working: a click on it from a
// pump halfway through the copy opens the page there and then, a click on
// the locked Open does nothing, and the clip is still saved whole.
TEST_F(SaveClipTest, HomePageStillWorksWhileAClipIsSaved) {
    const std::string target = folder.file("clip.mp3").string();
    float progressAtClick = -1;
    bool targetAtClick = true;
    std::vector<std::string> addressesAtClick;
    const std::function<void()> clickMidCopy = [&] {
        // Not yet halfway: look again at the next pump (an action due now
        // would run again in this one).
        if (window.progress.value() < 20 * 4096)
            return window.at(window.clock() + window.pumpCostSeconds / 2, clickMidCopy);
        window.raise(FormEvent::Command8Click);
        window.raise(FormEvent::Command4Click);
        progressAtClick = window.progress.value();
        targetAtClick = std::filesystem::exists(target);
        addressesAtClick = window.openedAddresses;
    };
    window.onNextPump(clickMidCopy);
    const std::size_t dialogsBefore = window.dialog.shown.size();

    saveTo(target);

    EXPECT_EQ(progressAtClick, 20 * 4096) << "the click came before or after the copy";
    EXPECT_FALSE(targetAtClick) << "the clip was already saved at the click";
    EXPECT_EQ(addressesAtClick, Names{"https://quorvane.example"});
    EXPECT_EQ(window.openedAddresses, addressesAtClick);
    EXPECT_EQ(window.dialog.shown.size(), dialogsBefore + 1) << "the locked Open showed its dialog";
    EXPECT_EQ(messageTexts(), Names{"Clip Saved     "});
    EXPECT_TRUE(readBytes(target) == workedExampleClip());
}

}  // namespace
}  // namespace snipwell::test

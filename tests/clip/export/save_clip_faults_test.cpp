// Saves that cannot complete: each must say why, bring the window back to
// idle, leave the source and any existing target exactly as they were, and
// leave no temporary file behind.

#include <sys/mount.h>

#include <filesystem>

#include "clip/export/clip_range.h"
#include "clip/export/export_refusal.h"
#include "clip/export/faulty_files.h"
#include "clip/export/save_fixture.h"

namespace snipwell::test {
namespace {

using Names = std::vector<std::string>;

Names namesIn(const std::string& folder) {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class SaveClipFaultTest : public SaveClipTest {
protected:
    // An existing target that the failing save is allowed to replace.
    void prepareExistingTarget(const std::string& target) {
        writeBytes(target, oldTarget);
        window.messageAnswers.push_back(kAnswerYes);
    }

    void expectNotSavedBecause(const std::string& reason) {
        ASSERT_FALSE(window.messages.empty());
        const std::string& last = window.messages.back().text;
        EXPECT_TRUE(last.rfind("The clip was not saved: ", 0) == 0) << last;
        EXPECT_TRUE(contains(last, reason)) << last;
        EXPECT_EQ(window.messages.back().title, "Snipwell 3.4");
        for (const auto& message : window.messages) EXPECT_NE(message.text, "Clip Saved     ");
    }

    const Bytes oldTarget = patternBytes(5'000, 9);
};

TEST_F(SaveClipFaultTest, WriteFailingPartWayKeepsTheOldTarget) {
    FaultyFiles faulty(disk, 7);
    files.use(faulty);
    const std::string target = folder.file("clip.mp3").string();
    prepareExistingTarget(target);

    saveTo(target);

    expectNotSavedBecause("Input/output error");
    EXPECT_TRUE(readBytes(target) == oldTarget);
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    EXPECT_EQ(window.dialog.fileName(), "");
    expectIdle();
    expectSourceUnchanged();
}

// A small filesystem of its own, so the disk really fills up. Mounting needs
// the privilege CI runs with; elsewhere the test is skipped.
class SmallFilesystem {
public:
    explicit SmallFilesystem(std::string path) : path_(std::move(path)) {
        std::filesystem::create_directory(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFilesystem() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;
    bool mounted() const { return mounted_; }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST_F(SaveClipFaultTest, FullDiskSaysSoAndKeepsTheOldTarget) {
    SmallFilesystem small(folder.file("small").string());
    if (!small.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const std::string target = folder.file("small").string() + "/clip.mp3";
    prepareExistingTarget(target);

    saveTo(target);  // 160,000 bytes into 64 KiB

    expectNotSavedBecause("No space left on device");
    EXPECT_TRUE(readBytes(target) == oldTarget);
    EXPECT_EQ(namesIn(folder.file("small").string()), Names{"clip.mp3"});
    expectIdle();
    expectSourceUnchanged();
}

TEST_F(SaveClipFaultTest, ClosingTheWindowDuringTheCopyLeavesNoPartialClip) {
    const std::string existing = folder.file("clip.mp3").string();
    prepareExistingTarget(existing);
    int pumpsBeforeClose = 0;
    window.at(window.clock() + 0.0105, [&] {
        pumpsBeforeClose = window.pumps;
        window.raise(FormEvent::Unload);
    });
    const int pumpsAtStart = window.pumps;

    saveTo(existing);

    EXPECT_TRUE(form.ended());
    EXPECT_GT(pumpsBeforeClose - pumpsAtStart, 1);   // the copy had begun
    EXPECT_LT(pumpsBeforeClose - pumpsAtStart, 40);  // and had not ended
    EXPECT_EQ(messageTexts(), Names{"File already exist.Overwrite?"});
    EXPECT_TRUE(readBytes(existing) == oldTarget);
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    EXPECT_EQ(media.commands.back(), "close all");
    expectSourceUnchanged();
}

// Another program shortening the source mid-copy would otherwise leave
// zeros where the audio was.
TEST_F(SaveClipFaultTest, SourceCutShortDuringTheCopyKeepsTheOldTarget) {
    ResizingSourceFiles shrinking(disk, 3, 165'000);
    files.use(shrinking);
    const std::string target = folder.file("clip.mp3").string();
    prepareExistingTarget(target);

    saveTo(target);

    EXPECT_EQ(window.messages.back().text,
              "The clip was not saved: the source file changed during the copy");
    expectNotSavedBecause("changed");
    EXPECT_TRUE(readBytes(target) == oldTarget);
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    expectIdle();
}

TEST_F(SaveClipFaultTest, SourceGoneSinceOpenSaysWhy) {
    std::filesystem::remove(sourcePath);

    saveTo(folder.file("clip.mp3").string());

    expectNotSavedBecause("No such file or directory");
    EXPECT_TRUE(folder.names().empty());
    expectIdle();
}

TEST_F(SaveClipFaultTest, TargetThatIsAFolderIsLeftAlone) {
    const std::string target = folder.file("albums").string();
    std::filesystem::create_directory(target);
    writeBytes(target + "/keep.mp3", oldTarget);
    window.messageAnswers.push_back(kAnswerYes);

    saveTo(target);

    expectNotSavedBecause("albums");
    EXPECT_TRUE(readBytes(target + "/keep.mp3") == oldTarget);
    EXPECT_EQ(folder.names(), (Names{"albums", "song.mp3"}));
    expectIdle();
}

// Marks past the track's end hold no byte of the source.
TEST_F(SaveClipFaultTest, BeginPastTheAudioIsNotCut) {
    saveTo(folder.file("clip.mp3").string(), kTrackMs + 1'000, kTrackMs + 2'000);

    expectNotSavedBecause(kBeginPastAudio);
    EXPECT_EQ(folder.names(), Names{"song.mp3"});
    expectIdle();
}

}  // namespace
}  // namespace snipwell::test

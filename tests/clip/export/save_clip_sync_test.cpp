// The end of a save on a slow disk: the final sync runs beside the window's
// event loop, so the window keeps handling events while it lasts, and a close
// in that gap leaves the old target or the whole new clip, never a half, and
// no temporary file.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "clip/export/save_fixture.h"
#include "support/forwarding_files.h"

namespace snipwell::test {
namespace {

using Names = std::vector<std::string>;

// Passes everything to the disk, but a clip's commit (its sync, rename and
// folder sync) waits until the test opens the gate, and then either goes on
// or fails as a device that gives up in its sync would.
class SlowSyncFiles : public ForwardingFiles {
public:
    explicit SlowSyncFiles(Files& disk) : ForwardingFiles(disk) {}

    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(*this, disk().createTarget(path));
    }

    // Lets a waiting commit go on; `fail` makes its sync fail instead.
    void openGate(bool fail) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            gateOpen_ = true;
            syncFails_ = fail;
        }
        changed_.notify_all();
    }
    bool syncing() const { return syncing_; }
    std::thread::id commitThread() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return commitThread_;
    }

private:
    class Target : public ClipTarget {
    public:
        Target(SlowSyncFiles& files, std::unique_ptr<ClipTarget> real)
            : files_(files), real_(std::move(real)) {}
        void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
            real_->writeAt(position, bytes);
        }
        void commit() override {
            std::unique_lock<std::mutex> lock(files_.mutex_);
            files_.commitThread_ = std::this_thread::get_id();
            files_.syncing_ = true;
            // Bounded, so a save that never pumps fails the test, not the run.
            const bool opened = files_.changed_.wait_for(lock, std::chrono::seconds(20),
                                                         [&] { return files_.gateOpen_; });
            files_.syncing_ = false;
            if (!opened || files_.syncFails_) {
                throw RuntimeError(ErrorKind::FileError, "cannot write: Input/output error");
            }
            lock.unlock();
            real_->commit();
        }

    private:
        SlowSyncFiles& files_;
        std::unique_ptr<ClipTarget> real_;
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool gateOpen_ = false;
    bool syncFails_ = false;
    std::atomic<bool> syncing_{false};
    std::thread::id commitThread_;
};

class SaveClipSyncTest : public SaveClipTest {
protected:
    SaveClipSyncTest() { files.use(slow); }

    // Runs `action` at the first pump that finds the commit waiting in its
    // sync; counts the pumps seen there before it.
    void whileSyncing(std::function<void()> action) {
        onSyncPump = [this, action = std::move(action)] {
            if (!slow.syncing()) {
                window.at(window.clock() + 0.0005, onSyncPump);
                return;
            }
            ++pumpsDuringSync;
            if (pumpsDuringSync < 3) {
                window.at(window.clock() + 0.0005, onSyncPump);
                return;
            }
            action();
        };
        window.at(window.clock() + 0.0005, onSyncPump);
    }

    SlowSyncFiles slow{disk};
    std::function<void()> onSyncPump;
    int pumpsDuringSync = 0;
    const Bytes oldTarget = patternBytes(5'000, 9);
};

TEST_F(SaveClipSyncTest, TheWindowHandlesEventsWhileTheSyncRunsOffItsThread) {
    const std::string target = folder.file("clip.mp3").string();
    bool homePageOpened = false;
    whileSyncing([&] {
        // Still busy, and the one button a save leaves usable still works.
        EXPECT_EQ(window.mainWindow.caption(), "Saving");
        EXPECT_FALSE(window.command(4).enabled());
        window.raise(FormEvent::Command8Click);
        homePageOpened = !window.openedAddresses.empty();
        slow.openGate(false);
    });

    saveTo(target);

    EXPECT_GE(pumpsDuringSync, 3);
    EXPECT_TRUE(homePageOpened);
    EXPECT_NE(slow.commitThread(), std::this_thread::get_id());
    EXPECT_EQ(messageTexts(), Names{"Clip Saved     "});
    EXPECT_TRUE(readBytes(target) == workedExampleClip());
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    expectIdle();
}

TEST_F(SaveClipSyncTest, AFailingSyncSaysSoAndKeepsTheOldTarget) {
    const std::string target = folder.file("clip.mp3").string();
    writeBytes(target, oldTarget);
    window.messageAnswers.push_back(kAnswerYes);
    whileSyncing([&] { slow.openGate(true); });

    saveTo(target);

    EXPECT_GE(pumpsDuringSync, 3);
    EXPECT_EQ(messageTexts(), (Names{"File already exist.Overwrite?",
                                     "The clip was not saved: cannot write: Input/output error"}));
    EXPECT_TRUE(readBytes(target) == oldTarget);
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
    expectIdle();
}

// The window is closed while the sync waits; the sync then completes or
// fails. Either way the program ends without a message, and the target is
// whole: the new clip or the old file, and no temporary file beside it.
class SaveClipCloseDuringSyncTest : public SaveClipSyncTest,
                                    public ::testing::WithParamInterface<bool> {};

TEST_P(SaveClipCloseDuringSyncTest, LeavesTheOldTargetOrTheWholeClip) {
    const bool syncFails = GetParam();
    const std::string target = folder.file("clip.mp3").string();
    writeBytes(target, oldTarget);
    window.messageAnswers.push_back(kAnswerYes);
    whileSyncing([&] {
        window.raise(FormEvent::Unload);
        slow.openGate(syncFails);
    });

    saveTo(target);

    EXPECT_GE(pumpsDuringSync, 3);
    EXPECT_TRUE(form.ended());
    EXPECT_EQ(messageTexts(), Names{"File already exist.Overwrite?"});
    EXPECT_EQ(media.commands.back(), "close all");
    EXPECT_TRUE(readBytes(target) == (syncFails ? oldTarget : workedExampleClip()));
    EXPECT_EQ(folder.names(), (Names{"clip.mp3", "song.mp3"}));
}

INSTANTIATE_TEST_SUITE_P(SyncOutcome, SaveClipCloseDuringSyncTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& outcome) {
                             return outcome.param ? std::string("SyncFails")
                                                  : std::string("SyncCompletes");
                         });

}  // namespace
}  // namespace snipwell::test

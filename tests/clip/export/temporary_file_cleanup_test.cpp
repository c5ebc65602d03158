// The clip's temporary file beside the target: gone after a commit, after an
// abandoned clip and after SIGINT, SIGTERM or SIGHUP, also where it has a
// name (file systems without unnamed files).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "clip/export/export_test_files.h"
#include "clip/export/saved_clip_target.h"
#include "clip/export/temporary_file_cleanup.h"

namespace snipwell::test {
namespace {

using Names = std::vector<std::string>;

const Bytes kClip = patternBytes(10'000, 3);

std::span<const std::byte> asBytes(const Bytes& bytes) { return std::as_bytes(std::span(bytes)); }

TEST(TemporaryFileCleanup, SignalRemovesTheNamedTemporaryFileAndEndsTheProgramBySignal) {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signalNumber));
        TempDir folder;
        writeBytes(folder.file("clip.mp3").string(), patternBytes(10, 5));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            removeTemporaryFilesOnSignals();
            SavedClipTarget target(folder.file("clip.mp3").string(), TemporaryNaming::alwaysNamed);
            target.writeAt(1, asBytes(kClip));
            if (target.temporaryPath().empty() ||
                !std::filesystem::exists(target.temporaryPath())) {
                ::_exit(3);
            }
            std::raise(signalNumber);
            ::_exit(4);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_EQ(folder.names(), Names{"clip.mp3"});
        EXPECT_TRUE(readBytes(folder.file("clip.mp3").string()) == patternBytes(10, 5));
    }
}

// Named or not, a committed clip replaces the file a link leads to, keeps
// that file's permissions, and leaves nothing else behind; an abandoned one
// leaves nothing at all.
TEST(SavedClipTarget, CommitsThroughLinksWithThePermissionsOfTheFileItReplaces) {
    for (const auto naming : {TemporaryNaming::unnamedWhenPossible, TemporaryNaming::alwaysNamed}) {
        SCOPED_TRACE(naming == TemporaryNaming::alwaysNamed ? "named" : "unnamed");
        TempDir folder;
        writeBytes(folder.file("old.mp3").string(), patternBytes(20'000, 5));
        ::chmod(folder.file("old.mp3").string().c_str(), 0640);
        std::filesystem::create_symlink("old.mp3", folder.file("link.mp3").string());

        SavedClipTarget(folder.file("abandoned.mp3").string(), naming).writeAt(1, asBytes(kClip));
        EXPECT_EQ(folder.names(), (Names{"link.mp3", "old.mp3"}));

        SavedClipTarget target(folder.file("link.mp3").string(), naming);
        target.writeAt(1, asBytes(kClip));
        target.commit();
        EXPECT_EQ(folder.names(), (Names{"link.mp3", "old.mp3"}));
        EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.mp3").string()));
        EXPECT_TRUE(readBytes(folder.file("old.mp3").string()) == kClip);
        struct stat info {};
        ASSERT_EQ(::stat(folder.file("old.mp3").string().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
    }
}

// Any name the folder holds can be saved, up to its 255 bytes, however the
// hidden name beside it is made (here with two-byte letters in the name).
TEST(SavedClipTarget, SavesUnderTheLongestNamesAFolderHolds) {
    for (const auto naming : {TemporaryNaming::unnamedWhenPossible, TemporaryNaming::alwaysNamed}) {
        for (const std::size_t bytes : {237u, 238u, 255u}) {
            SCOPED_TRACE(std::to_string(bytes) +
                         (naming == TemporaryNaming::alwaysNamed ? " named" : " unnamed"));
            TempDir folder;
            std::string name = (bytes % 2 == 0 ? "" : "a");
            while (name.size() < bytes - 4) name += "\xC3\xA9";
            name += ".mp3";
            ASSERT_EQ(name.size(), bytes);
            SavedClipTarget target(folder.file(name).string(), naming);
            target.writeAt(1, asBytes(kClip));
            target.commit();
            EXPECT_EQ(folder.names(), (Names{name}));
            EXPECT_TRUE(readBytes(folder.file(name).string()) == kClip);
        }
    }
}

}  // namespace
}  // namespace snipwell::test

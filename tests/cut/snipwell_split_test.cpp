// snipwell-cut's split mode as a person runs it: the worked example of
// --help from a cue sheet, and an interruption part-way that leaves no
// temporary file behind.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/file_bytes.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SnipwellSplit, SplitsAnAlbumFromItsCueSheetWithOneCommand) {
    const TempDir work;
    const fs::path sheet = work.file("album.cue");
    const std::string text =
        "PERFORMER \"Tones\"\r\nTITLE \"Two Tones\"\r\nFILE \"album.mp3\" MP3\r\n"
        "  TRACK 01 AUDIO\r\n    TITLE \"Low\"\r\n    INDEX 01 00:00:00\r\n"
        "  TRACK 02 AUDIO\r\n    TITLE \"High\"\r\n    INDEX 00 00:04:50\r\n"
        "    INDEX 01 00:05:00\r\n";
    writeBytes(sheet, Bytes(text.begin(), text.end()));
    const fs::path album = work.file("album.mp3");
    fs::copy_file(Mp3Fixtures::twoTone(), album);
    const auto outcome = runProgramKeepingOutput(
        {SNIPWELL_CUT_PATH, "--cue", sheet.string(), album.string(), work.file("tracks").string()},
        work.file("out.txt"), work.file("err.txt"));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
    EXPECT_EQ(namesIn(work.file("tracks")),
              (std::vector<std::string>{"01 Low.mp3", "02 High.mp3"}));
    EXPECT_EQ(outcome.output.rfind("Saved 01 Low.mp3: 0:05.000, ", 0), 0u) << outcome.output;
    EXPECT_NE(outcome.output.find("\nSaved 02 High.mp3: 0:05.000, "), std::string::npos);
    EXPECT_EQ(outcome.errorOutput, "");
}

// However early or late the interruption comes, the folder holds complete
// tracks only: no temporary file, named or not.
TEST(SnipwellSplit, InterruptedLeavesNoTemporaryFile) {
    const TempDir work;
    // Plain CBR frames joined end to end are one longer stream: 5 minutes.
    const Bytes piece = readBytes(Mp3Fixtures::file(Mp3Kind::cbrPlain));
    Bytes longStream;
    for (int i = 0; i < 30; ++i) longStream.insert(longStream.end(), piece.begin(), piece.end());
    const fs::path source = work.file("long.mp3");
    writeBytes(source, longStream);
    for (const int delayMs : {5, 40, 150}) {
        SCOPED_TRACE(delayMs);
        const fs::path tracks = work.file("tracks-" + std::to_string(delayMs));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl(SNIPWELL_CUT_PATH, SNIPWELL_CUT_PATH, "--quiet", "--every", "0:10",
                    source.c_str(), tracks.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(child, SIGINT);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) ||
                    (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        for (const std::string& name : namesIn(tracks)) {
            EXPECT_NE(name.front(), '.') << "a temporary file is left: " << name;
        }
    }
}

}  // namespace
}  // namespace snipwell::test

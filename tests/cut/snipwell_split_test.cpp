// snipwell-cut's split mode as a person runs it: the worked example of
// --help from a cue sheet, and an interruption part-way that leaves no
// temporary file behind.

#include <gtest/gtest.h>

#include <fcntl.h>
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

// Plain CBR frames joined end to end are one longer stream: 5 minutes, in
// "long.mp3" of `work`.
fs::path writeLongStream(const TempDir& work) {
    const Bytes piece = readBytes(Mp3Fixtures::file(Mp3Kind::cbrPlain));
    Bytes longStream;
    for (int i = 0; i < 30; ++i) longStream.insert(longStream.end(), piece.begin(), piece.end());
    fs::path source = work.file("long.mp3");
    writeBytes(source, longStream);
    return source;
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
    const fs::path source = writeLongStream(work);
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

// Lines beginning "Saved " in `text`, each cut to the track's name.
std::vector<std::string> savedNames(const std::string& text) {
    std::vector<std::string> names;
    for (std::size_t at = text.find("Saved "); at != std::string::npos;
         at = text.find("Saved ", at + 1)) {
        names.push_back(text.substr(at + 6, text.find(':', at) - at - 6));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Ctrl-C part-way: the split says in one line which tracks it finished and
// kept, each of them has its Saved line, and nothing else is left. The job
// is held at its first Saved line by a full pipe, so the signal lands after
// a track is saved and before the split can end.
TEST(SnipwellSplit, InterruptedSaysWhichTracksItKept) {
    const TempDir work;
    const fs::path source = writeLongStream(work);
    const fs::path tracks = work.file("tracks");

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    ::fcntl(out[1], F_SETPIPE_SZ, 4096);
    ::fcntl(out[1], F_SETFL, O_NONBLOCK);
    std::size_t filler = 0;
    for (char byte = '.'; ::write(out[1], &byte, 1) == 1;) ++filler;
    ::fcntl(out[1], F_SETFL, 0);
    const fs::path errPath = work.file("err.txt");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execl(SNIPWELL_CUT_PATH, SNIPWELL_CUT_PATH, "--every", "0:10", source.c_str(),
                tracks.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    // Track 1 on the disk: its Saved line is due and cannot be written.
    int status = 0;
    for (int i = 0; i < 6000 && !fs::exists(tracks / "Track 01.mp3"); ++i) {
        ASSERT_EQ(::waitpid(child, &status, WNOHANG), 0)
            << "the split ended before its first track";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(fs::exists(tracks / "Track 01.mp3"));
    ASSERT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the split was not held";
    ::kill(child, SIGINT);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    ::close(out[0]);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;

    const std::vector<std::string> kept = namesIn(tracks);
    ASSERT_GE(kept.size(), 1u);
    EXPECT_LT(kept.size(), 30u) << "the signal came after the split";
    EXPECT_EQ(savedNames(output.substr(filler)), kept);
    std::string keptText;
    for (const std::string& name : kept)
        keptText += (keptText.empty() ? "\"" : ", \"") + name + "\"";
    const Bytes err = readBytes(errPath);
    const std::string errText(err.begin(), err.end());
    EXPECT_NE(
        errText.find("): interrupted; kept " + keptText + " in \"" + tracks.string() + "\"\n"),
        std::string::npos)
        << errText;
    EXPECT_EQ(std::count(errText.begin(), errText.end(), '\n'), 1) << errText;
}

}  // namespace
}  // namespace snipwell::test

// snipwell-cut's split mode as a person runs it: the worked example of
// --help from a cue sheet, and an interruption part-way that leaves no
// temporary file behind and says which tracks it kept.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "support/file_bytes.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/mp3_tag_writer.h"
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

TEST(SnipwellSplit, SplitsAPodcastByItsOwnChapters) {
    const TempDir work;
    Bytes podcast = id3v2ChapterTag(
        {4,
         false,
         {},
         {{"low", 0, 5'000, {}, {}, "Low"}, {"high", 5'000, 10'000, {}, {}, "High"}}});
    const Bytes audio = readBytes(Mp3Fixtures::twoTone());
    podcast.insert(podcast.end(), audio.begin(), audio.end());
    const fs::path source = work.file("podcast.mp3");
    writeBytes(source, podcast);
    const auto outcome = runProgramKeepingOutput(
        {SNIPWELL_CUT_PATH, "--chapters", source.string(), work.file("tracks").string()},
        work.file("out.txt"), work.file("err.txt"));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
    EXPECT_EQ(namesIn(work.file("tracks")),
              (std::vector<std::string>{"01 Low.mp3", "02 High.mp3"}));
    EXPECT_EQ(outcome.output.rfind("Saved 01 Low.mp3: 0:05.000, ", 0), 0u) << outcome.output;
    // The chapter table speaks of the whole file: no track carries it.
    const Bytes track = readBytes(work.file("tracks/02 High.mp3"));
    EXPECT_EQ(std::search(track.begin(), track.end(), std::begin("CHAP"), std::end("CHAP") - 1),
              track.end());
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

// A split into 10-second tracks whose standard output is a pipe filled to
// the brim, so that the job waits at its first Saved line, with its first
// track on the disk and the second not begun, until the pipe is read.
// Standard error goes to `errPath`.
class HeldSplit {
public:
    HeldSplit(const fs::path& source, const fs::path& tracks, const fs::path& errPath) {
        int out[2];
        if (::pipe(out) != 0) return;
        readEnd_ = out[0];
        ::fcntl(out[1], F_SETPIPE_SZ, 4096);
        ::fcntl(out[1], F_SETFL, O_NONBLOCK);
        for (char byte = '.'; ::write(out[1], &byte, 1) == 1;) ++filler_;
        ::fcntl(out[1], F_SETFL, 0);
        child_ = ::fork();
        if (child_ == 0) {
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err, STDERR_FILENO);
            ::execl(SNIPWELL_CUT_PATH, SNIPWELL_CUT_PATH, "--every", "0:10", source.c_str(),
                    tracks.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        // Track 1 on the disk: its Saved line is due and cannot be written.
        for (int i = 0; i < 6000 && running() && !fs::exists(tracks / "Track 01.mp3"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        held_ = fs::exists(tracks / "Track 01.mp3") && running();
    }
    ~HeldSplit() {
        if (running()) {
            ::kill(child_, SIGKILL);
            wait();
        }
        if (readEnd_ >= 0) ::close(readEnd_);
    }
    HeldSplit(const HeldSplit&) = delete;
    HeldSplit& operator=(const HeldSplit&) = delete;

    pid_t pid() const { return child_; }
    // Whether the job was seen waiting with its first track saved.
    bool held() const { return held_; }
    // Reads what the split wrote so far, without waiting when `block` is
    // false, or up to its end when it is true; the filler is left out.
    void readOutput(bool block) {
        ::fcntl(readEnd_, F_SETFL, block ? 0 : O_NONBLOCK);
        char buffer[4096];
        for (ssize_t got; (got = ::read(readEnd_, buffer, sizeof buffer)) > 0;)
            output_.append(buffer, static_cast<std::size_t>(got));
    }
    std::string output() const { return output_.substr(std::min(filler_, output_.size())); }
    // The status of the ended split.
    int wait() {
        if (!ended_) ::waitpid(child_, &status_, 0);
        ended_ = true;
        return status_;
    }
    bool running() {
        if (!ended_ && (child_ <= 0 || ::waitpid(child_, &status_, WNOHANG) != 0)) ended_ = true;
        return !ended_;
    }

private:
    pid_t child_ = -1;
    int readEnd_ = -1;
    std::size_t filler_ = 0;
    std::string output_;
    bool held_ = false;
    bool ended_ = false;
    int status_ = 0;
};

// A hidden name in `folder`: the temporary file of a track being written.
std::optional<std::string> temporaryName(const fs::path& folder) {
    for (const std::string& name : namesIn(folder)) {
        if (name.front() == '.') return name;
    }
    return std::nullopt;
}

// The file of a track that process `pid` has open in `folder` and not yet
// saved: a hidden name, or an unnamed file ("#123 (deleted)" in /proc).
std::optional<std::string> trackBeingWritten(pid_t pid, const fs::path& folder) {
    const std::string inFolder = fs::canonical(folder).string() + "/";
    std::error_code ignored;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
        const std::string target = fs::read_symlink(fd.path(), ignored).string();
        if (target.rfind(inFolder, 0) != 0) continue;
        const std::string name = target.substr(inFolder.size());
        if (name.front() == '.' || name.ends_with(" (deleted)")) return name;
    }
    return std::nullopt;
}

// Ctrl-C while a track is half written: the folder then holds the finished
// tracks only. From its first Saved line on, the split runs in short steps
// and is stopped (SIGSTOP) between them; the signal is sent at a stop where
// the unfinished track's file is open, so it cannot miss it.
TEST(SnipwellSplit, InterruptedLeavesNoTemporaryFile) {
    const TempDir work;
    const fs::path tracks = work.file("tracks");
    HeldSplit split(writeLongStream(work), tracks, work.file("err.txt"));
    ASSERT_TRUE(split.held()) << "the split was not held at its first track";

    std::optional<std::string> unfinished;
    int status = 0;
    while (!unfinished) {
        split.readOutput(false);
        ::kill(split.pid(), SIGCONT);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        ::kill(split.pid(), SIGSTOP);
        ASSERT_EQ(::waitpid(split.pid(), &status, WUNTRACED), split.pid());
        ASSERT_TRUE(WIFSTOPPED(status)) << "the split ended before a track was seen half written";
        unfinished = trackBeingWritten(split.pid(), tracks);
    }
    ::kill(split.pid(), SIGINT);
    ::kill(split.pid(), SIGCONT);
    split.readOutput(true);
    status = split.wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(temporaryName(tracks), std::nullopt) << "while " << *unfinished << " was written";
    EXPECT_LT(namesIn(tracks).size(), 30u) << "the signal came after the split";
}

// Ctrl-C part-way: the split says in one line which tracks it finished and
// kept, each of them has its Saved line, and nothing else is left. The job
// is held at its first Saved line, so the signal lands after a track is
// saved and before the split can end.
TEST(SnipwellSplit, InterruptedSaysWhichTracksItKept) {
    const TempDir work;
    const fs::path tracks = work.file("tracks");
    const fs::path errPath = work.file("err.txt");
    HeldSplit split(writeLongStream(work), tracks, errPath);
    ASSERT_TRUE(split.held()) << "the split was not held at its first track";
    ::kill(split.pid(), SIGINT);
    split.readOutput(true);
    const int status = split.wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;

    const std::vector<std::string> kept = namesIn(tracks);
    ASSERT_GE(kept.size(), 1u);
    EXPECT_LT(kept.size(), 30u) << "the signal came after the split";
    EXPECT_EQ(savedNames(split.output()), kept);
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

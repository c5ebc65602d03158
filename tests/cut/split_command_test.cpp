// The split mode without a process: the checks before anything is written,
// --dry-run, the summary lines, and a disk that fills up half-way. The
// source is a pattern file with a scripted length; tracks are written by the
// byte-range rule, which, finding no frames to follow, places them by one
// rate over the file's bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "clip/export/disk_files.h"
#include "clip/export/export_test_files.h"
#include "common/runtime_error.h"
#include "cut/full_disk_files.h"
#include "cut/split_command.h"
#include "cut/split_services.h"
#include "cut/told_outcome.h"

namespace snipwell::test {
namespace {

std::string textOf(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int ch; (ch = std::fgetc(file)) != EOF;) text += static_cast<char>(ch);
    return text;
}

// 400,000 bytes that play 10 s at 44.1 kHz.
class SplitCommandTest : public ::testing::Test {
protected:
    SplitCommandTest() {
        writeBytes(sourcePath, patternBytes(400'000));
        services.measure = [](const std::string&, bool) { return SourceLength{44'100, 441'000}; };
        services.readTags = [](const std::string&) { return SourceTags{}; };
        services.freeBytes = [this](const std::string&) { return freeBytes; };
        services.makeFolder = [this](const std::string& path) -> std::optional<CutFailure> {
            ++foldersMade;
            std::filesystem::create_directories(path);
            return std::nullopt;
        };
    }
    ~SplitCommandTest() override {
        std::fclose(err);
        std::fclose(out);
    }

    CutArguments splitAt(std::vector<std::int32_t> timesMs) const {
        CutArguments arguments;
        arguments.splitBy = SplitSource::splitTimes;
        arguments.splitTimesMs = std::move(timesMs);
        arguments.source = sourcePath;
        arguments.folder = tracksPath;
        arguments.bytes = true;
        return arguments;
    }
    CutArguments splitByCue(const std::string& sheet) const {
        writeBytes(sheetPath, Bytes(sheet.begin(), sheet.end()));
        CutArguments arguments = splitAt({});
        arguments.splitBy = SplitSource::cueSheet;
        arguments.sheetPath = sheetPath;
        return arguments;
    }
    bool split(const CutArguments& arguments) { return split(arguments, disk); }
    bool split(const CutArguments& arguments, Files& files) {
        return toldOutcome(runSplit(arguments, files, services, console), console);
    }
    std::vector<std::string> tracks() const {
        std::vector<std::string> names;
        if (!std::filesystem::exists(tracksPath)) return names;
        for (const auto& entry : std::filesystem::directory_iterator(tracksPath)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir folder;
    const std::string sourcePath = folder.file("album.mp3").string();
    const std::string sheetPath = folder.file("album.cue").string();
    const std::string tracksPath = folder.file("tracks").string();
    DiskFiles disk;
    SplitServices services;
    std::optional<std::uint64_t> freeBytes = std::uint64_t{1} << 40;
    int foldersMade = 0;
    std::FILE* err = std::tmpfile();
    std::FILE* out = std::tmpfile();
    CutConsole console{err, false, {}, out};
};

TEST_F(SplitCommandTest, SavesEveryTrackWithOneLineEachUnlessQuiet) {
    EXPECT_EQ(split(splitAt({2'500, 7'000})), kSaved) << textOf(err);
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 01.mp3", "Track 02.mp3", "Track 03.mp3"}));
    EXPECT_EQ(textOf(out),
              "Saved Track 01.mp3: 0:02.500, 100 kB\n"
              "Saved Track 02.mp3: 0:04.500, 180 kB\n"
              "Saved Track 03.mp3: 0:03.000, 120 kB\n");
    // The tracks are the source's bytes, end to end, 40 bytes a millisecond.
    const Bytes first = readBytes(folder.file("tracks/Track 01.mp3"));
    EXPECT_TRUE(first == expectedClip(patternBytes(400'000), 1, first.size()));

    std::FILE* quietOut = std::tmpfile();
    console.out = quietOut;
    CutArguments quiet = splitAt({2'500, 7'000});
    quiet.quiet = true;
    quiet.force = true;
    EXPECT_EQ(split(quiet), kSaved);
    EXPECT_EQ(textOf(quietOut), "");
    std::fclose(quietOut);
}

TEST_F(SplitCommandTest, DryRunPrintsThePlanAndWritesNothing) {
    CutArguments arguments = splitByCue(
        "FILE \"album.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"One\"\nINDEX 01 00:00:00\n"
        "TRACK 02 AUDIO\nTITLE \"Two\"\nINDEX 00 00:04:00\nINDEX 01 00:05:37\n");
    arguments.dryRun = true;
    EXPECT_EQ(split(arguments), kSaved);
    EXPECT_EQ(textOf(out),
              "track         begin           end        length  name\n"
              "    1      0:00.000      0:05.493      0:05.493  01 One.mp3\n"
              "    2      0:05.493      0:10.000      0:04.507  02 Two.mp3\n");
    // The sheet names another file: said once, and SOURCE is split.
    EXPECT_EQ(textOf(err), "snipwell-cut: warning: \"" + sheetPath +
                               "\" line 1 names \"album.wav\"; splitting \"" + sourcePath +
                               "\" instead\n");
    EXPECT_EQ(foldersMade, 0);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"album.cue", "album.mp3"}));
}

// On a terminal the bar is taken off its line before each Saved line, so
// what stays on the screen is the Saved lines and one finished bar.
TEST_F(SplitCommandTest, ClearsTheBarBeforeEachSavedLineOnATerminal) {
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const int screenFd = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
    ASSERT_GE(screenFd, 0);
    termios raw{};
    ::tcgetattr(screenFd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(screenFd, TCSANOW, &raw);
    std::string shown;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, static_cast<std::size_t>(got));
    });
    std::FILE* screen = ::fdopen(screenFd, "w");
    console.err = console.out = screen;
    EXPECT_EQ(split(splitAt({2'500, 7'000})), kSaved);
    std::fclose(screen);
    reader.join();
    ::close(terminal);
    console.err = err;
    console.out = out;

    // What a line shows is what follows its last carriage return.
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < shown.size();) {
        const std::size_t end = std::min(shown.find('\n', from), shown.size());
        std::string line = shown.substr(from, end - from);
        line = line.substr(line.rfind('\r') == std::string::npos ? 0 : line.rfind('\r') + 1);
        if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
        from = end + 1;
    }
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Saved Track 01.mp3: 0:02.500, 100 kB", "Saved Track 02.mp3: 0:04.500, 180 kB",
                  "Saved Track 03.mp3: 0:03.000, 120 kB", "[" + std::string(40, '#') + "] 100.0%"}))
        << shown;
}

// Audio that goes into no track is told, once for the stretch before the
// first track and once for all the gaps after it.
TEST_F(SplitCommandTest, WarnsOfTheAudioLabelsLeaveOut) {
    writeBytes(sheetPath, Bytes{'1', '\t', '3', '\t', 'a', '\n', '5', '\t', '7', '\t', 'b', '\n'});
    CutArguments arguments = splitAt({});
    arguments.splitBy = SplitSource::labelFile;
    arguments.sheetPath = sheetPath;
    arguments.dryRun = true;
    EXPECT_EQ(split(arguments), kSaved);
    EXPECT_EQ(textOf(err),
              "snipwell-cut: warning: the first 0:01.000 of the source, before track 1, go into no "
              "track\n"
              "snipwell-cut: warning: 0:05.000 of the source, between the tracks and after the "
              "last, go into no track\n");
}

// Whatever can be known before writing stops the split before FOLDER is
// made or a byte written.
TEST_F(SplitCommandTest, RefusesUpFrontAndWritesNothing) {
    const struct {
        const char* what;
        const char* sheet;  // nullptr: split at the times
        std::vector<std::int32_t> timesMs;
        const char* nameTemplate;
        std::optional<std::uint64_t> free;
        const char* reason;
    } cases[] = {
        {"a sheet with a second FILE",
         "FILE a.mp3 MP3\nTRACK 1 AUDIO\nINDEX 01 00:00:00\nFILE b.mp3 MP3\n",
         {},
         "",
         std::nullopt,
         "album.cue\", line 4: a second FILE"},
        {"an index past the end",
         "TRACK 1 AUDIO\nINDEX 01 00:00:00\nTRACK 2 AUDIO\nINDEX 01 00:10:01\n",
         {},
         "",
         std::nullopt,
         "line 4: track 2 begins at 0:10.013, at or past the end of the source"},
        {"two tracks with one name",
         "TRACK 1 AUDIO\nTITLE A\nINDEX 01 00:00:00\nTRACK 2 AUDIO\nTITLE A\nINDEX 01 00:01:00\n",
         {},
         "{title}",
         std::nullopt,
         "tracks 1 and 2 would both be named"},
        {"a split point past the end",
         nullptr,
         {4'000, 12'000},
         "",
         std::nullopt,
         "track 3 (split point 0:12.000) begins at 0:12.000, at or past the end"},
        {"too little free space",
         nullptr,
         {5'000},
         "",
         std::uint64_t{300'000},
         "the tracks need about 448 kB and"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE* caseErr = std::tmpfile();
        console.err = caseErr;
        freeBytes = c.free;
        CutArguments arguments = c.sheet ? splitByCue(c.sheet) : splitAt(c.timesMs);
        arguments.nameTemplate = c.nameTemplate;
        EXPECT_EQ(split(arguments), kNotSaved);
        const std::string text = textOf(caseErr);
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(text.rfind("snipwell-cut: nothing was split: ", 0), 0u) << text;
        EXPECT_EQ(foldersMade, 0);
        EXPECT_TRUE(tracks().empty());
        std::fclose(caseErr);
    }
}

// 10 s: sound, 0.8 s at -70 dB from 3 s, sound: one split, at 3.4 s.
level::WindowLevels oneSilence() {
    level::WindowLevels levels{441, 441'000, std::vector<float>(1000, 0.1F)};
    std::fill(levels.rms.begin() + 300, levels.rms.begin() + 380,
              static_cast<float>(level::rmsOf(-70)));
    return levels;
}

// A review before the split: each split with its silence, the trim, and
// the plan files written with no track; the levels scanned once for both
// the silence and the trim.
TEST_F(SplitCommandTest, SilenceDryRunShowsEachSplitAndWritesOnlyThePlanFiles) {
    int scans = 0;
    services.scanLevels = [&](const std::string& source, std::uint32_t window) {
        ++scans;
        EXPECT_EQ(source, sourcePath);
        EXPECT_EQ(window, 441u);
        return std::variant<level::WindowLevels, LevelProbeFailure>(oneSilence());
    };
    CutArguments arguments = splitAt({});
    arguments.splitBy = SplitSource::silence;
    arguments.trim.keepAtStartMs = arguments.trim.keepAtEndMs = 200;
    arguments.dryRun = true;
    arguments.labelsOutPath = folder.file("plan.txt").string();
    arguments.cueOutPath = folder.file("plan.cue").string();
    EXPECT_EQ(split(arguments), kSaved) << textOf(err);
    EXPECT_EQ(textOf(out),
              "track         begin           end        length  name\n"
              "    1      0:00.000      0:03.200      0:03.200  Track 01.mp3\n"
              "       trimmed 0.2 s of silence at the end\n"
              "    2      0:03.600      0:10.000      0:06.400  Track 02.mp3\n"
              "       begins in the silence at 0:03.000, 0.8 s at -70 dBFS\n"
              "       trimmed 0.2 s of silence at the start\n");
    EXPECT_EQ(textOf(err), "");
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(foldersMade, 0);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"album.mp3", "plan.cue", "plan.txt"}));
    const Bytes labels = readBytes(arguments.labelsOutPath);
    EXPECT_EQ(std::string(labels.begin(), labels.end()),
              "0.000000\t3.200000\t\n3.600000\t10.000000\t\n");
    // An existing plan file is kept, as a track would be.
    EXPECT_EQ(split(arguments), kNotSaved);
    EXPECT_NE(textOf(err).find("the plan was not saved: \"" + arguments.cueOutPath +
                               "\" and 1 more already exist (use --force to overwrite)"),
              std::string::npos);
}

// No silence, or no levels: a refusal that says why, exit 1, and nothing
// written, not even the plan files.
TEST_F(SplitCommandTest, SilenceRefusalsWriteNothing) {
    level::WindowLevels tooShort = oneSilence();
    std::fill(tooShort.rms.begin() + 340, tooShort.rms.end(), 0.1F);
    const struct {
        const char* what;
        std::variant<level::WindowLevels, LevelProbeFailure> scanned;
        const char* reason;
    } cases[] = {
        {"a quiet stretch too short", tooShort,
         "no silence of 0.5 s below -48 dBFS; the longest quiet stretch is 0.4 s at -70 dBFS, at "
         "0:03.000"},
        {"a probe that died", LevelProbeFailure{"the level probe was killed by signal 9"},
         "the levels of the source could not be measured: the level probe was killed by signal 9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE* caseErr = std::tmpfile();
        console.err = caseErr;
        services.scanLevels = [&](const std::string&, std::uint32_t) { return c.scanned; };
        CutArguments arguments = splitAt({});
        arguments.splitBy = SplitSource::silence;
        arguments.labelsOutPath = folder.file("plan.txt").string();
        EXPECT_EQ(split(arguments), kNotSaved);
        EXPECT_EQ(textOf(caseErr),
                  std::string("snipwell-cut: nothing was split: ") + c.reason + "\n");
        EXPECT_EQ(folder.names(), std::vector<std::string>{"album.mp3"});
        std::fclose(caseErr);
    }
}

// A sheet is read once, whatever kind of file brings it; what is no sheet
// is refused by what it is.
TEST_F(SplitCommandTest, ReadsTheSheetFromAPipeOrFifoAndRefusesFoldersAndDevices) {
    const std::string sheet =
        "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n";
    const std::string fifoPath = folder.file("sheet.fifo").string();
    ASSERT_EQ(::mkfifo(fifoPath.c_str(), 0600), 0);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const std::string pipePath = "/proc/self/fd/" + std::to_string(pipeEnds[0]);
    const struct {
        const char* what;
        std::string path;
        std::function<void()> writer;  // feeds the sheet while it is read
        const char* failure;           // nullptr: split as planned
    } cases[] = {
        {"a FIFO", fifoPath,
         [&] {
             const int fd = ::open(fifoPath.c_str(), O_WRONLY);
             (void)!::write(fd, sheet.data(), sheet.size());
             ::close(fd);
         },
         nullptr},
        {"a pipe", pipePath,
         [&] {
             (void)!::write(pipeEnds[1], sheet.data(), sheet.size());
             ::close(pipeEnds[1]);
         },
         nullptr},
        {"a folder", folder.path().string(), {}, "is a folder, not a cue sheet or label file"},
        {"a device", "/dev/null", {}, "is a device, not a cue sheet or label file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE* caseOut = std::tmpfile();
        std::FILE* caseErr = std::tmpfile();
        console.out = caseOut;
        console.err = caseErr;
        CutArguments arguments = splitAt({});
        arguments.splitBy = SplitSource::cueSheet;
        arguments.sheetPath = c.path;
        arguments.dryRun = true;
        std::thread writer(c.writer ? c.writer : [] {});
        const bool status = split(arguments);
        writer.join();
        if (c.failure == nullptr) {
            EXPECT_EQ(status, kSaved) << textOf(caseErr);
            EXPECT_NE(textOf(caseOut).find("0:05.000      0:10.000"), std::string::npos);
        } else {
            EXPECT_EQ(status, kNotSaved);
            EXPECT_EQ(textOf(caseErr),
                      "snipwell-cut: nothing was split: \"" + c.path + "\" " + c.failure + "\n");
        }
        std::fclose(caseOut);
        std::fclose(caseErr);
    }
    ::close(pipeEnds[0]);
}

// The longest names a folder holds are saved; a path longer than the
// system takes is refused before anything is written, by --dry-run too.
TEST_F(SplitCommandTest, SavesTheLongestNamesAndRefusesOverlongPathsUpFront) {
    const std::string title(251, 't');
    CutArguments arguments = splitByCue("TRACK 01 AUDIO\nTITLE " + title +
                                        "\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n");
    const std::string longest = "01 " + std::string(248, 't') + ".mp3";  // cut to 255 bytes
    EXPECT_EQ(split(arguments), kSaved) << textOf(err);
    EXPECT_EQ(tracks(), (std::vector<std::string>{longest, "Track 02.mp3"}));

    arguments.folder = tracksPath + "/" + std::string(4000, 'f');
    arguments.dryRun = true;
    EXPECT_EQ(split(arguments), kNotSaved);
    EXPECT_NE(textOf(err).find("nothing was split: track 1: the path \"" + arguments.folder + "/" +
                               longest + "\" is longer than the 4095 bytes a path may have"),
              std::string::npos)
        << textOf(err);
}

TEST_F(SplitCommandTest, ExistingTracksAreReplacedOnlyWithForce) {
    std::filesystem::create_directories(tracksPath);
    const Bytes old = patternBytes(10, 5);
    writeBytes(folder.file("tracks/Track 02.mp3"), old);
    EXPECT_EQ(split(splitAt({5'000})), kNotSaved);
    EXPECT_EQ(textOf(err), "snipwell-cut: nothing was split: \"" + tracksPath +
                               "/Track 02.mp3\" already exists (use --force to overwrite)\n");
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 02.mp3"}));
    EXPECT_TRUE(readBytes(folder.file("tracks/Track 02.mp3")) == old);

    CutArguments forced = splitAt({5'000});
    forced.force = true;
    EXPECT_EQ(split(forced), kSaved);
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 01.mp3", "Track 02.mp3"}));
    EXPECT_FALSE(readBytes(folder.file("tracks/Track 02.mp3")) == old);

    // A folder in a track's place is refused, with --force too.
    std::filesystem::create_directory(folder.file("tracks/Track 03.mp3"));
    std::FILE* folderErr = std::tmpfile();
    console.err = folderErr;
    forced = splitAt({3'000, 6'000});
    forced.force = true;
    EXPECT_EQ(split(forced), kNotSaved);
    EXPECT_EQ(textOf(folderErr), "snipwell-cut: nothing was split: \"" + tracksPath +
                                     "/Track 03.mp3\" is a folder, not a file\n");
    std::fclose(folderErr);
}

// The disk fills up during track 2: track 1 stays, track 2 leaves nothing
// behind, track 3 is not begun, and the message says what was kept.
TEST_F(SplitCommandTest, DiskFullHalfWayKeepsTheFinishedTracksAndNamesThem) {
    FullDiskFiles full(disk, 200'000);
    EXPECT_EQ(split(splitAt({3'000, 6'000}), full), kNotSaved);
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 01.mp3"}));
    EXPECT_EQ(textOf(err),
              "snipwell-cut: the split stopped at track 2 (\"Track 02.mp3\"): cannot write: No "
              "space left on device; kept \"Track 01.mp3\" in \"" +
                  tracksPath + "\"\n");
    EXPECT_EQ(textOf(out), "Saved Track 01.mp3: 0:03.000, 120 kB\n");
}

// The sheet written for a split names the source and splits it again into
// the same tracks, keeping what the first sheet said of each.
TEST_F(SplitCommandTest, WritesACueSheetThatSplitsTheSourceAgainIntoTheSameTracks) {
    CutArguments byLength = splitAt({});
    byLength.splitBy = SplitSource::trackLength;
    byLength.trackLengthMs = 4'000;
    const struct {
        const char* what;
        CutArguments first;
        const char* written;
    } cases[] = {
        {"from a cue sheet",
         splitByCue("PERFORMER \"Band\"\nTITLE \"Album\"\nREM DATE 2001\nTRACK 01 AUDIO\n"
                    "TITLE One\nISRC GBAYE0000001\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE Two\n"
                    "PERFORMER Guest\nSONGWRITER \"Pen\"\nINDEX 00 00:04:00\nINDEX 01 00:05:37\n"),
         "REM DATE 2001\r\nPERFORMER \"Band\"\r\nTITLE \"Album\"\r\n"
         "FILE \"../album.mp3\" MP3\r\n"
         "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    PERFORMER \"Band\"\r\n"
         "    ISRC GBAYE0000001\r\n    INDEX 01 00:00:00\r\n"
         "  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n    PERFORMER \"Guest\"\r\n"
         "    SONGWRITER \"Pen\"\r\n    INDEX 00 00:04:00\r\n    INDEX 01 00:05:37\r\n"},
        {"by length", byLength,
         "FILE \"../album.mp3\" MP3\r\n"
         "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
         "  TRACK 02 AUDIO\r\n    INDEX 01 00:04:00\r\n"
         "  TRACK 03 AUDIO\r\n    INDEX 01 00:08:00\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CutArguments first = c.first;
        first.cueOutPath = folder.file("tracks/split.cue").string();
        first.force = true;
        EXPECT_EQ(split(first), kSaved) << textOf(err);
        const Bytes sheet = readBytes(first.cueOutPath);
        EXPECT_EQ(std::string(sheet.begin(), sheet.end()), c.written);

        CutArguments again = splitAt({});
        again.splitBy = SplitSource::cueSheet;
        again.sheetPath = first.cueOutPath;
        first.dryRun = again.dryRun = true;
        std::string plans[2];
        for (std::size_t k = 0; k < 2; ++k) {
            std::FILE* planOut = std::tmpfile();
            console.out = planOut;
            EXPECT_EQ(split(k == 0 ? first : again), kSaved) << textOf(err);
            plans[k] = textOf(planOut);
            std::fclose(planOut);
        }
        console.out = out;
        EXPECT_EQ(plans[1], plans[0]);
    }
}

}  // namespace
}  // namespace snipwell::test

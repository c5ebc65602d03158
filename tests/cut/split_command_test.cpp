// The split mode without a process: the checks before anything is written,
// --dry-run, the summary lines, and a disk that fills up half-way. The
// source is a pattern file with a scripted length; tracks are written by the
// byte-range rule, which, finding no frames to follow, places them by one
// rate over the file's bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "clip/export/disk_files.h"
#include "clip/export/export_test_files.h"
#include "common/runtime_error.h"
#include "cut/full_disk_files.h"
#include "cut/split_command.h"

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
        services.makeFolder = [this](const std::string& path) {
            ++foldersMade;
            std::filesystem::create_directories(path);
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
    int split(const CutArguments& arguments) { return split(arguments, disk); }
    int split(const CutArguments& arguments, Files& files) {
        return runSplit(arguments, files, services, console);
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
    EXPECT_EQ(split(splitAt({2'500, 7'000})), kCutSucceeded) << textOf(err);
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
    EXPECT_EQ(split(quiet), kCutSucceeded);
    EXPECT_EQ(textOf(quietOut), "");
    std::fclose(quietOut);
}

TEST_F(SplitCommandTest, DryRunPrintsThePlanAndWritesNothing) {
    CutArguments arguments = splitByCue(
        "FILE \"album.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"One\"\nINDEX 01 00:00:00\n"
        "TRACK 02 AUDIO\nTITLE \"Two\"\nINDEX 00 00:04:00\nINDEX 01 00:05:37\n");
    arguments.dryRun = true;
    EXPECT_EQ(split(arguments), kCutSucceeded);
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
        EXPECT_EQ(split(arguments), kCutFailed);
        const std::string text = textOf(caseErr);
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_EQ(text.rfind("snipwell-cut: nothing was split: ", 0), 0u) << text;
        EXPECT_EQ(foldersMade, 0);
        EXPECT_TRUE(tracks().empty());
        std::fclose(caseErr);
    }
}

TEST_F(SplitCommandTest, ExistingTracksAreReplacedOnlyWithForce) {
    std::filesystem::create_directories(tracksPath);
    const Bytes old = patternBytes(10, 5);
    writeBytes(folder.file("tracks/Track 02.mp3"), old);
    EXPECT_EQ(split(splitAt({5'000})), kCutFailed);
    EXPECT_EQ(textOf(err), "snipwell-cut: nothing was split: \"" + tracksPath +
                               "/Track 02.mp3\" already exists (use --force to overwrite)\n");
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 02.mp3"}));
    EXPECT_TRUE(readBytes(folder.file("tracks/Track 02.mp3")) == old);

    CutArguments forced = splitAt({5'000});
    forced.force = true;
    EXPECT_EQ(split(forced), kCutSucceeded);
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 01.mp3", "Track 02.mp3"}));
    EXPECT_FALSE(readBytes(folder.file("tracks/Track 02.mp3")) == old);
}

// The disk fills up during track 2: track 1 stays, track 2 leaves nothing
// behind, track 3 is not begun, and the message says what was kept.
TEST_F(SplitCommandTest, DiskFullHalfWayKeepsTheFinishedTracksAndNamesThem) {
    FullDiskFiles full(disk, 200'000);
    EXPECT_EQ(split(splitAt({3'000, 6'000}), full), kCutFailed);
    EXPECT_EQ(tracks(), (std::vector<std::string>{"Track 01.mp3"}));
    EXPECT_EQ(textOf(err),
              "snipwell-cut: the split stopped at track 2 (\"Track 02.mp3\"): cannot write: No "
              "space left on device; kept \"Track 01.mp3\" in \"" +
                  tracksPath + "\"\n");
    EXPECT_EQ(textOf(out), "Saved Track 01.mp3: 0:03.000, 120 kB\n");
}

TEST_F(SplitCommandTest, WritesACueSheetForTheTracksMade) {
    CutArguments arguments = splitByCue(
        "PERFORMER \"Band\"\nTITLE \"Album\"\nREM DATE 2001\nTRACK 01 AUDIO\n"
        "TITLE One\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE Two\nPERFORMER Guest\n"
        "INDEX 01 00:05:00\n");
    arguments.cueOutPath = folder.file("tracks/album.cue").string();
    EXPECT_EQ(split(arguments), kCutSucceeded) << textOf(err);
    const Bytes sheet = readBytes(arguments.cueOutPath);
    EXPECT_EQ(std::string(sheet.begin(), sheet.end()),
              "REM DATE 2001\r\nPERFORMER \"Band\"\r\nTITLE \"Album\"\r\n"
              "FILE \"01 One.mp3\" MP3\r\n  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n"
              "    PERFORMER \"Band\"\r\n    INDEX 01 00:00:00\r\n"
              "FILE \"02 Two.mp3\" MP3\r\n  TRACK 02 AUDIO\r\n    TITLE \"Two\"\r\n"
              "    PERFORMER \"Guest\"\r\n    INDEX 01 00:00:00\r\n");
}

}  // namespace
}  // namespace snipwell::test

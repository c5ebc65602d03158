// snipwell-cut's command line, questions, checks and summary, without a
// process: lengths are given, sources are pattern files.

#include <gtest/gtest.h>

#include <filesystem>

#include <cstdio>

#include "clip/export/disk_files.h"
#include "clip/export/export_test_files.h"
#include "clip/export/faulty_files.h"
#include "common/runtime_error.h"
#include "cut/cut_command.h"
#include "cut/parse_cut_arguments.h"
#include "cut/refusal_text.h"
#include "cut/told_outcome.h"

namespace snipwell::test {
namespace {

std::string textOf(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int ch; (ch = std::fgetc(file)) != EOF;) text += static_cast<char>(ch);
    return text;
}

// 400,000 bytes over 25,000 ms: 16 bytes per ms.
class CutCommandTest : public ::testing::Test {
protected:
    CutCommandTest() { writeBytes(sourcePath, source); }
    ~CutCommandTest() override {
        std::fclose(err);
        std::fclose(out);
    }

    bool cut(const CutArguments& arguments, Files& files) {
        return toldOutcome(runCut(arguments, files, lengthOf, console), console);
    }
    CutArguments marks(std::int32_t beginMs, std::int32_t endMs) const {
        CutArguments arguments;
        arguments.source = sourcePath;
        arguments.beginMs = beginMs;
        arguments.endMs = endMs;
        arguments.target = targetPath;
        return arguments;
    }

    TempDir folder;
    const Bytes source = patternBytes(400'000);
    const std::string sourcePath = folder.file("song.mp3").string();
    const std::string targetPath = folder.file("clip.mp3").string();
    DiskFiles disk;
    int lookups = 0;
    TrackLengthLookup lengthOf = [this](const std::string&) {
        ++lookups;
        return std::int32_t{25'000};
    };
    std::FILE* err = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::vector<std::string> answers;
    CutConsole console{err, false,
                       [this](std::string& line) {
                           if (answers.empty()) return false;
                           line = answers.front();
                           answers.erase(answers.begin());
                           return true;
                       },
                       out};
};

// No file can take a folder's place, with --force or without: said at once.
TEST_F(CutCommandTest, RefusesAFolderAsTargetWhateverIsAsked) {
    std::filesystem::create_directory(targetPath);
    for (const bool force : {false, true}) {
        std::FILE* caseErr = std::tmpfile();
        console.err = caseErr;
        CutArguments arguments = marks(1'000, 2'000);
        arguments.force = force;
        EXPECT_EQ(cut(arguments, disk), kNotSaved);
        EXPECT_EQ(textOf(caseErr),
                  "snipwell-cut: \"" + targetPath + "\" is a folder, not a file\n");
        std::fclose(caseErr);
    }
}

TEST_F(CutCommandTest, OnATerminalReplacesAnExistingTargetOnlyWhenTheAnswerIsYes) {
    console.interactive = true;
    const Bytes old = patternBytes(10, 5);
    for (const std::string answer : {"n", "", "y"}) {
        writeBytes(targetPath, old);
        answers = {answer};
        const bool status = cut(marks(0, 1'000), disk);

        if (answer == "y") {
            EXPECT_EQ(status, kSaved);
            // Begin 0 starts at the first byte: 16,000 bytes.
            EXPECT_TRUE(readBytes(targetPath) == expectedClip(source, 1, 16'000));
        } else {
            EXPECT_EQ(status, kNotSaved) << "answer '" << answer << "'";
            EXPECT_TRUE(readBytes(targetPath) == old);
        }
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
    }
}

// Every refusal: exit 1, one line saying why, nothing written and, where the
// source is the problem, no question asked about an existing target first.
TEST_F(CutCommandTest, RefusesWithOneLineAndWritesNothing) {
    console.interactive = true;
    const struct {
        const char* what;
        std::int32_t beginMs;
        std::int32_t endMs;
        std::int32_t lengthMs;  // 0: the lookup fails as for a file that is no MP3
        const char* reason;
    } cases[] = {
        {"negative begin", -20, 1'000, 25'000, "invalid selection: BEGIN must not be negative"},
        {"begin after end", 2'000, 1'000, 25'000,
         "invalid selection: the begin mark must come before the end mark"},
        {"end past the track", 1'000, 25'001, 25'000,
         "the clip was not saved: END 0:25.001 lies past the end of the track (0:25.000)"},
        {"no MP3", 1'000, 2'000, 0, "the clip was not saved: not an MP3 file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(targetPath, patternBytes(10, 5));
        answers = {"y"};
        std::FILE* caseErr = std::tmpfile();
        console.err = caseErr;
        const TrackLengthLookup length = [&](const std::string&) -> CutResult<std::int32_t> {
            if (c.lengthMs == 0) return failureOf(RuntimeFault{"not an MP3 file"});
            return c.lengthMs;
        };
        EXPECT_EQ(toldOutcome(runCut(marks(c.beginMs, c.endMs), disk, length, console), console),
                  kNotSaved);
        EXPECT_EQ(textOf(caseErr), std::string("snipwell-cut: ") + c.reason + "\n");
        EXPECT_EQ(answers.size(), 1u) << "asked before refusing";
        EXPECT_TRUE(readBytes(targetPath) == patternBytes(10, 5));
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
        std::fclose(caseErr);
    }
}

// The exact cut reads its source only once the question about an existing
// target is answered: "no" leaves the source unread, "yes" meets its refusal.
TEST_F(CutCommandTest, ExactCutAsksAboutTheTargetBeforeItReadsTheSource) {
    console.interactive = true;
    const struct {
        const char* answer;
        std::string reason;
    } cases[] = {
        {"n", "not overwritten"},
        {"y", "the clip was not saved: \"" + sourcePath + "\" is " + kNotAnMp3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        writeBytes(targetPath, patternBytes(10, 5));
        answers = {c.answer};
        std::FILE* caseErr = std::tmpfile();
        console.err = caseErr;
        CutArguments arguments = marks(1'000, 2'000);
        arguments.exact = true;
        EXPECT_EQ(cut(arguments, disk), kNotSaved);
        EXPECT_TRUE(answers.empty());
        const std::string text = textOf(caseErr);
        EXPECT_EQ(text.substr(text.find("? [y/N] ") + 8), "snipwell-cut: " + c.reason + "\n");
        EXPECT_TRUE(readBytes(targetPath) == patternBytes(10, 5));
        std::fclose(caseErr);
    }
}

TEST_F(CutCommandTest, SourceOfTwoGibibytesIsRefusedBeforeTheScan) {
    std::filesystem::resize_file(sourcePath, std::uintmax_t{1} << 31);
    EXPECT_EQ(cut(marks(1'000, 2'000), disk), kNotSaved);
    EXPECT_EQ(lookups, 0);
    EXPECT_NE(textOf(err).find("2 GiB"), std::string::npos) << textOf(err);
}

TEST_F(CutCommandTest, SourceCutShortDuringTheCopyFailsAndKeepsTheTarget) {
    const Bytes old = patternBytes(10, 5);
    writeBytes(targetPath, old);
    ResizingSourceFiles shrinking(disk, 1, 100'000);
    CutArguments arguments = marks(1'000, 24'000);  // 368,000 bytes: two blocks
    arguments.force = true;

    EXPECT_EQ(cut(arguments, shrinking), kNotSaved);
    EXPECT_EQ(textOf(err),
              "snipwell-cut: the clip was not saved: the source file changed during the copy\n");
    EXPECT_TRUE(readBytes(targetPath) == old);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
}

// A gain needs the frames inside the clip's bytes; where the byte range's
// rate rule found no frames to edit, the clip is refused with the reason,
// and nothing is written.
TEST_F(CutCommandTest, GainOnBytesWithoutFramesIsRefusedWithTheReason) {
    CutArguments arguments = marks(1'000, 3'000);
    arguments.gain.gainDb = 3;
    EXPECT_EQ(cut(arguments, disk), kNotSaved);
    EXPECT_EQ(textOf(err), "snipwell-cut: the clip was not saved: \"" + sourcePath + "\" is " +
                               kNotAnMp3 + "\n");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"song.mp3"}));
}

TEST_F(CutCommandTest, EndsWithOneSummaryLineUnlessQuiet) {
    EXPECT_EQ(cut(marks(1'000, 3'000), disk), kSaved);
    // 16 bytes per ms: 32,000 bytes.
    EXPECT_EQ(textOf(out), "Saved " + targetPath + ": 0:02.000, 32 kB\n");
    EXPECT_EQ(textOf(err), "");

    std::FILE* quietOut = std::tmpfile();
    console.out = quietOut;
    CutArguments quiet = marks(1'000, 3'000);
    quiet.quiet = true;
    quiet.force = true;
    EXPECT_EQ(cut(quiet, disk), kSaved);
    EXPECT_EQ(textOf(quietOut), "");
    std::fclose(quietOut);
}

TEST(ByteCount, ReadsAsAPersonWouldSayIt) {
    EXPECT_EQ(formatByteCount(512), "512 bytes");
    EXPECT_EQ(formatByteCount(36'865), "37 kB");
    EXPECT_EQ(formatByteCount(999'499), "999 kB");
    EXPECT_EQ(formatByteCount(999'500), "1.0 MB");
    EXPECT_EQ(formatByteCount(200'003'585), "200.0 MB");
    EXPECT_EQ(formatByteCount(2'147'483'647), "2.15 GB");
}

TEST(CutArguments, ReadSwitchesTimesAndFourOperands) {
    const auto parsed = parseCutArguments({"a.mp3", "-5", "1:32.5", "b.mp3", "--force", "--quiet"});
    ASSERT_TRUE(std::holds_alternative<CutCommandLine>(parsed));
    const CutCommandLine& line = std::get<CutCommandLine>(parsed);
    EXPECT_EQ(line.request, CutRequest::cut);
    EXPECT_EQ(line.arguments.beginMs, -5);
    EXPECT_EQ(line.arguments.endMs, 92'500);
    EXPECT_TRUE(line.arguments.force);
    EXPECT_TRUE(line.arguments.quiet);
    const auto afterDashes = parseCutArguments({"--", "-odd name.mp3", "0", "1", "b.mp3"});
    ASSERT_TRUE(std::holds_alternative<CutCommandLine>(afterDashes));
    EXPECT_EQ(std::get<CutCommandLine>(afterDashes).arguments.source, "-odd name.mp3");

    EXPECT_EQ(std::get<CutCommandLine>(parseCutArguments({"a", "--help", "--bogus"})).request,
              CutRequest::showHelp);
    EXPECT_EQ(std::get<CutCommandLine>(parseCutArguments({"--version"})).request,
              CutRequest::showVersion);

    const struct {
        std::vector<std::string> words;
        const char* reason;
    } refused[] = {
        {{"a.mp3", "0", "1"}, "expected 4 operands (SOURCE BEGIN END TARGET), got 3"},
        {{"a.mp3", "0", "1s", "b.mp3"}, "END \"1s\" is not a time"},
        {{"a.mp3", "1:5", "2000", "b.mp3"}, "BEGIN \"1:5\" is not a time"},
        {{"a.mp3", "0", "2147483648", "b.mp3"}, "END \"2147483648\" is not a time"},
        {{"a.mp3", "0", "1", ""}, "TARGET is an empty name"},
        {{"-f", "a.mp3", "0", "1", "b.mp3"}, "unknown option \"-f\""},
        {{"--exactly", "a.mp3", "0", "1", "b.mp3"}, "unknown option \"--exactly\""},
    };
    for (const auto& c : refused) {
        const auto result = parseCutArguments(c.words);
        ASSERT_TRUE(std::holds_alternative<CutUsageError>(result)) << c.reason;
        EXPECT_EQ(std::get<CutUsageError>(result).reason.rfind(c.reason, 0), 0u)
            << std::get<CutUsageError>(result).reason;
    }
}

}  // namespace
}  // namespace snipwell::test

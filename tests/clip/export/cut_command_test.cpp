// snipwell-cut's questions on a terminal, without a process or media service.

#include <gtest/gtest.h>

#include <cstdio>

#include "cut_command.h"
#include "disk_files.h"
#include "export_test_files.h"

namespace snipwell::test {
namespace {

TEST(CutCommand, OnATerminalReplacesAnExistingTargetOnlyWhenTheAnswerIsYes) {
    ScratchFolder folder;
    const ByteVector source = patternBytes(400'000);
    writeBytes(folder.file("song.mp3"), source);
    const ByteVector old = patternBytes(10, 5);
    DiskFiles files;
    const auto lengthOf = [](const std::string&) { return std::int32_t{25'000}; };  // 16 bytes per ms

    for (const std::string answer : {"n", "", "y"}) {
        writeBytes(folder.file("clip.mp3"), old);
        std::FILE* err = std::tmpfile();
        CutConsole console{err, true, [&](std::string& line) {
                               line = answer;
                               return true;
                           }};
        const CutArguments arguments{folder.file("song.mp3"), 0, 1'000, folder.file("clip.mp3"), false};
        const int status = runCut(arguments, files, lengthOf, console);
        std::fclose(err);

        if (answer == "y") {
            EXPECT_EQ(status, kCutSucceeded);
            // Begin 0 raised to 1 ms as in the window: from byte 16 on, 16,000 bytes and one chunk.
            EXPECT_TRUE(readBytes(folder.file("clip.mp3")) == expectedClip(source, 16, 16'385));
        } else {
            EXPECT_EQ(status, kCutFailed) << "answer '" << answer << "'";
            EXPECT_TRUE(readBytes(folder.file("clip.mp3")) == old);
        }
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
    }
}

TEST(CutArguments, AcceptOnlyFourOperandsWithWholeMillisecondMarks) {
    const auto parsed = parseCutArguments({"a.mp3", "-5", "2000", "b.mp3", "--force"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->beginMs, -5);
    EXPECT_EQ(parsed->endMs, 2000);
    EXPECT_TRUE(parsed->force);
    EXPECT_TRUE(parseCutArguments({"--", "-odd name.mp3", "0", "1", "b.mp3"}));
    EXPECT_FALSE(parseCutArguments({"a.mp3", "0", "1"}));
    EXPECT_FALSE(parseCutArguments({"a.mp3", "0", "1.5", "b.mp3"}));
    EXPECT_FALSE(parseCutArguments({"a.mp3", "0", "2147483648", "b.mp3"}));
    EXPECT_FALSE(parseCutArguments({"a.mp3", "0", "1", ""}));
    EXPECT_FALSE(parseCutArguments({"-f", "a.mp3", "0", "1", "b.mp3"}));
}

}  // namespace
}  // namespace snipwell::test

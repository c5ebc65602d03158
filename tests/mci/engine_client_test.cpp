// The entry point's side of the media engine, without GStreamer: what it
// answers with no engine, with no engine program, and with a program that
// is no engine (it echoes, ends, or says nothing); and the pieces both
// processes share.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "mci/engine_protocol.h"
#include "mci/engine_time_limits.h"
#include "mci/line_reader.h"
#include "mci/mci_error.h"
#include "mci/media_engine_control.h"
#include "mci_session.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mci::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t code(MciError error) { return toCode(error); }

// Points the entry point at another engine program for one test.
class EngineProgram {
public:
    explicit EngineProgram(const std::string& program) {
        ::setenv("SNIPWELL_MEDIA_ENGINE", program.c_str(), 1);
    }
    ~EngineProgram() {
        send("close all");
        ::unsetenv("SNIPWELL_MEDIA_ENGINE");
    }
    EngineProgram(const EngineProgram&) = delete;
    EngineProgram& operator=(const EngineProgram&) = delete;
};

std::string script(const snipwell::test::TempDir& dir, const std::string& name,
                   const std::string& body) {
    const auto path = dir.file(name + ".sh");
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path.string();
}

TEST(EngineClient, WithoutAnEngineAnswersAsAnEngineWithNoDevicesAndStartsNone) {
    const struct {
        const char* command;
        MciError expected;
    } cases[] = {
        {"status movie mode", MciError::aliasNotOpen},
        {"play movie from 10", MciError::aliasNotOpen},
        {"close movie", MciError::aliasNotOpen},
        {"close all", MciError::ok},
        {"dance", MciError::unknownCommand},
        {"open \"x.mp3\" alias", MciError::missingArgument},
    };
    for (const auto& [command, expected] : cases) {
        EXPECT_EQ(send(command).code, code(expected)) << command;
        EXPECT_EQ(mediaEngineProcessId(), 0) << command << " started an engine";
    }
}

TEST(EngineClient, RefusesAnOverlongCommandWithItsCodeAndAnEmptyReply) {
    const std::string text = "status movie mode " + std::string(70 * 1024, 'x');
    char reply[16] = "stale";
    EXPECT_EQ(mciSendStringA(text.c_str(), reply, sizeof reply, 0), code(MciError::commandTooLong));
    EXPECT_STREQ(reply, "");
}

TEST(EngineClient, OpenFailsCleanlyWhenTheEngineProgramIsMissingBrokenOrSilent) {
    const snipwell::test::TempDir dir;
    const struct {
        const char* name;
        std::string program;
        MciError expected;
    } cases[] = {
        {"missing", dir.file("no-such-engine").string(), MciError::mediaSystemUnavailable},
        {"ends at once", script(dir, "exits", "exit 3"), MciError::engineStopped},
        {"says no hello", script(dir, "no-hello", "echo hello; printf '0\\t\\n'; exec cat"),
         MciError::engineStopped},
        {"answers nonsense", script(dir, "echoes", "echo ready; exec cat"),
         MciError::engineStopped},
        {"ends after its hello", script(dir, "hello-only", "echo ready"), MciError::engineStopped},
        {"crashes during the open",
         script(dir, "crashes", "echo ready; read command; kill -SEGV $$"),
         MciError::engineStopped},
    };
    for (const auto& [name, program, expected] : cases) {
        SCOPED_TRACE(name);
        const EngineProgram engine(program);
        const Answer answer = send(openCommand("/nonexistent.mp3"));
        EXPECT_EQ(answer.code, code(expected));
        EXPECT_EQ(answer.reply, "");
        EXPECT_EQ(mediaEngineProcessId(), 0) << "a failed engine was kept";
    }
}

TEST(EngineClient, AnEngineThatNeverAnswersIsEndedAtTheOpenTimeLimit) {
    const snipwell::test::TempDir dir;
    const EngineProgram engine(script(dir, "silent", "echo ready; exec sleep 600"));
    const auto asked = Clock::now();
    EXPECT_EQ(send(openCommand("/x.mp3")).code, code(MciError::engineTimedOut));
    const auto waited = Clock::now() - asked;
    EXPECT_GE(waited, openTimeLimit - std::chrono::milliseconds(50));
    EXPECT_LT(waited, openTimeLimit + std::chrono::seconds(10));
    EXPECT_EQ(mediaEngineProcessId(), 0);
}

TEST(EngineProtocol, ReadsBackWhatItWritesAndRefusesAnythingElse) {
    const MciOutcome outcomes[] = {{MciError::ok, ""},
                                   {MciError::ok, "10000"},
                                   {MciError::ok, "not ready"},
                                   {MciError::aliasNotOpen, ""}};
    for (const auto& outcome : outcomes) {
        std::string line = formatReplyLine(outcome);
        ASSERT_EQ(line.back(), '\n');
        line.pop_back();
        const auto read = parseReplyLine(line);
        ASSERT_TRUE(read.has_value()) << line;
        EXPECT_EQ(read->error, outcome.error);
        EXPECT_EQ(read->reply, outcome.reply);
    }
    for (const char* bad :
         {"", "\t", "open \"x\" alias m", "12", "-1\t", "1x\t", "99999999999\t"}) {
        EXPECT_FALSE(parseReplyLine(bad).has_value()) << bad;
    }
}

TEST(LineReader, BoundsEveryLineAndDropsTheRestOfAnOverlongOne) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string input = "one\n" + std::string(100000, 'x') + "\ntwo\n\nlast";
    std::thread writer([&] {
        ::write(ends[1], input.data(), input.size());
        ::close(ends[1]);
    });
    LineReader reader(ends[0], 1000);
    using Kind = InputLine::Kind;
    const std::pair<Kind, std::string> expected[] = {
        {Kind::line, "one"},  {Kind::tooLong, ""}, {Kind::line, "two"}, {Kind::line, ""},
        {Kind::line, "last"}, {Kind::end, ""},     {Kind::end, ""}};
    for (const auto& [kind, text] : expected) {
        const InputLine line = reader.next();
        EXPECT_EQ(line.kind, kind) << text;
        EXPECT_EQ(line.text, text);
    }
    writer.join();
    ::close(ends[0]);
}

}  // namespace
}  // namespace snipwell::mci::test

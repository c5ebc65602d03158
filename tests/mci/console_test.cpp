// The snipwell-mci console: one command per line in, "<code><TAB><reply>"
// per line out, and a clean exit at the end of input even while playing.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/version.h"
#include "pulse_server.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mci::test {
namespace {

struct ConsoleRun {
    std::string output;
    int exitCode;
};

ConsoleRun runShell(const std::string& command) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = ::pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

ConsoleRun runConsoleBytes(const std::string& input) {
    const snipwell::test::TempDir dir;
    const auto inputFile = dir.file("input.txt");
    {
        std::FILE* file = std::fopen(inputFile.c_str(), "wb");
        std::fwrite(input.data(), 1, input.size(), file);
        std::fclose(file);
    }
    return runShell(std::string(SNIPWELL_MCI_CONSOLE) + " < '" + inputFile.string() + "'");
}

ConsoleRun runConsole(const std::string& input) { return runConsoleBytes(input); }

TEST(Console, AnswersAnOpenAndPlaySessionAndExitsAtTheEndOfInput) {
    if (!pulseServerReachable()) GTEST_SKIP() << noPulseReason;
    const auto path = snipwell::test::Mp3Fixtures::twoTone();
    const ConsoleRun run = runConsole("open \"" + path.string() +
                                      "\" type mpegvideo alias movie\n"
                                      "set movie time format ms\n"
                                      "status movie length\n"
                                      "play movie\n"
                                      "status movie mode\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "0\t\n0\t\n0\t10000\n0\t\n0\tplaying\n");
}

TEST(Console, RefusesWholeLinesWithControlBytesOrOverTheLengthLimitAndCarriesOn) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string line;
        const char* answer;
    } cases[] = {
        // The text before the NUL would be a good command on its own.
        {"NUL", "close all\0 status movie mode"s, "10\t\n"},
        {"escape", "close all\x1b"s, "10\t\n"},
        {"delete", "close\x7f all"s, "10\t\n"},
        {"over 64 KiB", "close all " + std::string(70 * 1024, ' '), "11\t\n"},
        {"far over 64 KiB", std::string(8 * 1024 * 1024, 'a'), "11\t\n"},
        {"at the limit", "close all" + std::string(64 * 1024 - 9, ' ') + "\r", "0\t\n"},
    };
    for (const auto& [name, line, answer] : cases) {
        SCOPED_TRACE(name);
        const ConsoleRun run = runConsoleBytes(line + "\nstatus movie mode\n");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, std::string(answer) + "20\t\n");
    }
}

TEST(Console, ConsoleAndEngineAnswerHelpAndVersion) {
    for (const std::string program : {SNIPWELL_MCI_CONSOLE, SNIPWELL_MEDIA_ENGINE_PROGRAM}) {
        const std::string name = std::filesystem::path(program).filename().string();
        const ConsoleRun help = runShell(program + " --help");
        EXPECT_EQ(help.exitCode, 0) << name;
        EXPECT_EQ(help.output.rfind("Usage: " + name, 0), 0u) << help.output;
        const ConsoleRun version = runShell(program + " --version");
        EXPECT_EQ(version.exitCode, 0) << name;
        EXPECT_EQ(version.output, name + " " + snipwell::versionText +
                                      "\nCopyright (C) 2026 Quorvane\nLicense GPL-3.0-or-later\n");
    }
}

TEST(Console, ReportsFailuresAsCodesAndCarriesOn) {
    const ConsoleRun run = runConsole("dance movie\r\nstatus movie mode\nclose all\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "2\t\n20\t\n0\t\n");
}

}  // namespace
}  // namespace snipwell::mci::test

namespace snipwell::mci::test {
namespace {

TEST(Console, PlaysAgainstTheClockWhenNoAudioOutputCanBeHad) {
    // The sound server named here does not exist; the device must still open,
    // and its position must advance in real time.
    const auto path = snipwell::test::Mp3Fixtures::twoTone();
    const ConsoleRun run = runShell("(printf 'open \"" + path.string() +
                                    "\" alias movie\\nplay movie\\n'; sleep 1; "
                                    "printf 'status movie position\\nstatus movie mode\\n') | "
                                    "PULSE_SERVER=unix:/nonexistent/snipwell " +
                                    std::string(SNIPWELL_MCI_CONSOLE) + " 2>/dev/null");
    EXPECT_EQ(run.exitCode, 0);
    const std::string answersBeforePosition = "0\t\n0\t\n0\t";
    ASSERT_EQ(run.output.rfind(answersBeforePosition, 0), 0u) << run.output;
    const long long ms = std::stoll(run.output.substr(answersBeforePosition.size()));
    EXPECT_GE(ms, 800) << run.output;
    EXPECT_LE(ms, 1500) << run.output;
    EXPECT_NE(run.output.find("0\tplaying\n"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace snipwell::mci::test

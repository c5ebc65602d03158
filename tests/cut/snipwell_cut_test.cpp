// snipwell-cut as a script runs it: a real MP3, its length from the frame
// scan, and the same bytes the window's Save writes for the same marks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "clip/export/save_fixture.h"
#include "mp3/length.h"
#include "support/mp3/run_program.h"

namespace snipwell::test {
namespace {

using Names = std::vector<std::string>;

using Outcome = ProgramOutcome;

std::int32_t scannedLength(const std::string& path) {
    const auto measured = mp3::measureLength(path);
    if (!std::holds_alternative<mp3::TrackLength>(measured)) return -1;
    return static_cast<std::int32_t>(std::get<mp3::TrackLength>(measured).milliseconds());
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class SnipwellCutTest : public ::testing::Test {
protected:
    SnipwellCutTest() {
        const std::string command = "sox -q -n -r 44100 -c 2 '" + mp3 + "' synth 6 sine 440";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("sox failed");
    }
    Outcome cut(const std::vector<std::string>& arguments) {
        std::vector<std::string> command(arguments.size() + 1);
        command[0] = SNIPWELL_CUT_PATH;
        std::copy(arguments.begin(), arguments.end(), command.begin() + 1);
        // Outside the scratch folder, which the tests list.
        return runProgramKeepingOutput(command, output.file("stdout.txt"),
                                       output.file("stderr.txt"));
    }
    TempDir folder;
    TempDir output;
    const std::string mp3 = folder.file("tone.mp3").string();
};

// From the very start (the file's first byte) and from inside the track,
// with the marks typed as milliseconds or as clock times.
TEST_F(SnipwellCutTest, WritesTheSameBytesAsTheWindowsSave) {
    const std::int32_t lengthMs = scannedLength(mp3);
    ASSERT_GT(lengthMs, 5'000);
    const struct {
        std::int32_t beginMs;
        std::int32_t endMs;
        const char* begin;
        const char* end;
    } cases[] = {
        {1'500, 4'200, "1500", "4200"},
        {1'500, 4'200, "0:01.5", "0:04.200"},
        {0, 2'000, "0", "2.0"},
        {1, 2'000, "1", "2000"},
        {3'000, lengthMs, "3000", nullptr},
    };
    for (const auto& c : cases) {
        const std::string end = c.end ? c.end : std::to_string(lengthMs);
        SCOPED_TRACE(std::string(c.begin) + " to " + end);
        const Outcome cut =
            this->cut({"--force", mp3, c.begin, end, folder.file("cut.mp3").string()});
        ASSERT_EQ(cut.exitCode, 0) << cut.errorOutput;

        HeadlessWindow window;
        ScriptedMediaService media(window);
        DiskFiles disk;
        Form1 form(window, media.entry(), disk);
        window.attach(form);
        media.addTrack(mp3, lengthMs);
        window.dialog.answers.push_back(DialogAnswer::choose(mp3));
        window.raise(FormEvent::Command4Click);
        form.clipBeginMs = c.beginMs;
        form.clipEndMs = c.endMs;
        std::filesystem::remove(folder.file("saved.mp3").string());
        window.dialog.answers.push_back(DialogAnswer::choose(folder.file("saved.mp3").string()));
        window.raise(FormEvent::Command7Click);
        ASSERT_EQ(window.messages.back().text, "Clip Saved     ");

        const Bytes fromCut = readBytes(folder.file("cut.mp3").string());
        EXPECT_GT(fromCut.size(), 4'097u);
        EXPECT_TRUE(fromCut == readBytes(folder.file("saved.mp3").string()));
        if (c.beginMs == 0) {
            const Bytes whole = readBytes(mp3);
            EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 4'097, fromCut.begin()));
        }
    }
}

TEST_F(SnipwellCutTest, EndsWithASummaryLineEvenWithoutATerminal) {
    const Outcome saved = cut({mp3, "500", "0:02.5", folder.file("clip.mp3").string()});
    ASSERT_EQ(saved.exitCode, 0) << saved.errorOutput;
    const std::int64_t bytes =
        static_cast<std::int64_t>(std::filesystem::file_size(folder.file("clip.mp3").string()));
    EXPECT_EQ(saved.output, "Saved " + folder.file("clip.mp3").string() + ": 0:02.000, " +
                                std::to_string((bytes + 500) / 1000) + " kB\n");
    EXPECT_EQ(saved.errorOutput, "");

    const Outcome quiet = cut({"--quiet", mp3, "500", "2500", folder.file("quiet.mp3").string()});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.output + quiet.errorOutput, "");
    EXPECT_TRUE(readBytes(folder.file("quiet.mp3").string()) ==
                readBytes(folder.file("clip.mp3").string()));
}

TEST_F(SnipwellCutTest, HelpAndVersionExitZero) {
    const Outcome help = cut({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("usage: snipwell-cut [--force] [--quiet] [--exact] [--gain DB|max] "
                                "[--no-clip] [--fade-in DURATION] [--fade-out DURATION] "
                                "[--threshold DB] [--trim[=DURATION]] [--trim-start DURATION] "
                                "[--trim-end DURATION] SOURCE BEGIN END TARGET\n",
                                0),
              0u)
        << help.output;
    EXPECT_NE(help.output.find("snipwell-cut song.mp3 1:05 1:32.5 clip.mp3"), std::string::npos);
    const Outcome version = cut({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output,
              "snipwell-cut 3.4.0\nCopyright (C) 2026 Quorvane\nLicense GPL-3.0-or-later\n");
}

// Files that are no MP3 at all are named as such, not as a track of 0 ms.
TEST_F(SnipwellCutTest, RefusesWhatIsNoMp3AndAnEndPastTheTrack) {
    writeBytes(folder.file("notes.txt").string(), Bytes(5'000, 'a'));
    writeBytes(folder.file("empty.mp3").string(), {});
    const std::int32_t lengthMs = scannedLength(mp3);
    const struct {
        std::string source;
        std::string end;
        std::string reason;
    } cases[] = {
        {folder.file("notes.txt").string(), "2000", "not an MP3 file (no MPEG audio frames found)"},
        {folder.file("empty.mp3").string(), "2000", "not an MP3 file (no MPEG audio frames found)"},
        {"/dev/zero", "2000", "not an MP3 file (no MPEG audio frames found)"},
        {folder.file("missing.mp3").string(), "2000", "No such file or directory"},
        {mp3, std::to_string(lengthMs + 1), "lies past the end of the track"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = cut({c.source, "1000", c.end, folder.file("clip.mp3").string()});
        EXPECT_EQ(outcome.exitCode, 1) << c.source;
        EXPECT_NE(outcome.errorOutput.find(c.reason), std::string::npos) << outcome.errorOutput;
        EXPECT_EQ(lineCount(outcome.errorOutput), 1u) << outcome.errorOutput;
    }
    EXPECT_EQ(folder.names(), (Names{"empty.mp3", "notes.txt", "tone.mp3"}));
}

TEST_F(SnipwellCutTest, ExitStatusTellsSuccessFailureAndBadUsage) {
    const std::string target = folder.file("cut.mp3").string();
    const Bytes old = patternBytes(100, 3);
    writeBytes(target, old);
    std::filesystem::create_symlink(mp3, folder.file("link.mp3").string());

    // Without a terminal to ask on, an existing target is only replaced with --force.
    Outcome refused = cut({mp3, "1000", "2000", target});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.errorOutput.find("--force"), std::string::npos) << refused.errorOutput;
    EXPECT_TRUE(readBytes(target) == old);
    EXPECT_EQ(cut({"--force", mp3, "1000", "2000", target}).exitCode, 0);
    EXPECT_FALSE(readBytes(target) == old);

    const struct {
        std::vector<std::string> arguments;
        int exitCode;
    } cases[] = {
        {{mp3, "1000", "2000", folder.file("link.mp3").string(), "--force"},
         1},                                                        // the source itself
        {{mp3, "2000", "2000", folder.file("a.mp3").string()}, 1},  // empty selection
        {{mp3, "-20", "2000", folder.file("a.mp3").string()}, 1},   // negative begin
        {{folder.file("missing.mp3").string(), "1000", "2000", folder.file("b.mp3").string()}, 1},
        {{mp3, "1000", "2000"}, 2},
        {{mp3, "1s", "2000", folder.file("c.mp3").string()}, 2},
        {{mp3, "1000", "99999999999", folder.file("d.mp3").string()}, 2},
        {{"--fast", mp3, "1000", "2000", folder.file("e.mp3").string()}, 2},
    };
    for (const auto& c : cases) {
        const Outcome outcome = cut(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments[1] << " " << outcome.errorOutput;
        // One line saying why; bad usage adds the usage line.
        EXPECT_EQ(lineCount(outcome.errorOutput), c.exitCode == 2 ? 2u : 1u) << outcome.errorOutput;
        EXPECT_EQ(outcome.output, "");
    }
    const Outcome badTime = cut({mp3, "1s", "2000", folder.file("c.mp3").string()});
    EXPECT_EQ(badTime.errorOutput.rfind("snipwell-cut: BEGIN \"1s\" is not a time", 0), 0u)
        << badTime.errorOutput;
    EXPECT_EQ(folder.names(), (Names{"cut.mp3", "link.mp3", "tone.mp3"}));
}

}  // namespace
}  // namespace snipwell::test

// snipwell-cut as a script runs it: a real MP3, the real media service for the
// length, and the same bytes the window's Save writes for the same marks.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "mci/mci_send_string.h"
#include "player/movie_module.h"
#include "save_fixture.h"

extern char** environ;

namespace snipwell::test {
namespace {

using Names = std::vector<std::string>;

struct Outcome {
    int exitCode = -1;
    std::string errorOutput;
};

// Runs a program with no terminal on stdin, its stderr kept.
Outcome run(const std::vector<std::string>& arguments, const std::string& errorFile) {
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    Outcome outcome;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(errorFile);
    std::stringstream text;
    text << in.rdbuf();
    outcome.errorOutput = text.str();
    return outcome;
}

class NoEvents : public EventPump, public Clock {
public:
    void pumpEvents() override {}
    void waitForEvents(std::chrono::milliseconds) override {}
    double seconds() override { return 0; }
};

std::int32_t realTrackLength(const std::string& path) {
    NoEvents none;
    MovieModule player(&mciSendStringA, none, none);
    player.Filename = path;
    player.openMovie();
    const std::int32_t length = player.getLengthInMS();
    player.closeMovie();
    return length;
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
        return run(command, folder.file("stderr.txt"));
    }
    ScratchFolder folder;
    const std::string mp3 = folder.file("tone.mp3");
};

TEST_F(SnipwellCutTest, WritesTheSameBytesAsTheWindowsSave) {
    const std::int32_t lengthMs = realTrackLength(mp3);
    ASSERT_GT(lengthMs, 5'000);

    ASSERT_EQ(cut({mp3, "1500", "4200", folder.file("cut.mp3")}).exitCode, 0);

    HeadlessWindow window;
    ScriptedMediaService media(window);
    Form1 form(window, media.entry());
    window.attach(form);
    DiskFiles disk;
    window.filesService = &disk;
    media.addTrack(mp3, lengthMs);
    window.dialog.answers.push_back(DialogAnswer::choose(mp3));
    window.raise(FormEvent::Command4Click);
    form.clipBeginMs = 1'500;
    form.clipEndMs = 4'200;
    window.dialog.answers.push_back(DialogAnswer::choose(folder.file("saved.mp3")));
    window.raise(FormEvent::Command7Click);
    ASSERT_EQ(window.messages.back().text, "Clip Saved     ");

    const ByteVector fromCut = readBytes(folder.file("cut.mp3"));
    EXPECT_GT(fromCut.size(), 4'097u);
    EXPECT_TRUE(fromCut == readBytes(folder.file("saved.mp3")));
}

TEST_F(SnipwellCutTest, ExitStatusTellsSuccessFailureAndBadUsage) {
    const std::string target = folder.file("cut.mp3");
    const ByteVector old = patternBytes(100, 3);
    writeBytes(target, old);
    std::filesystem::create_symlink(mp3, folder.file("link.mp3"));

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
        {{mp3, "1000", "2000", folder.file("link.mp3"), "--force"}, 1},  // the source itself
        {{mp3, "2000", "2000", folder.file("a.mp3")}, 1},                // empty selection
        {{folder.file("missing.mp3"), "1000", "2000", folder.file("b.mp3")}, 1},
        {{mp3, "1000", "2000"}, 2},
        {{mp3, "1s", "2000", folder.file("c.mp3")}, 2},
        {{mp3, "1000", "99999999999", folder.file("d.mp3")}, 2},
        {{"--fast", mp3, "1000", "2000", folder.file("e.mp3")}, 2},
    };
    for (const auto& c : cases) {
        const Outcome outcome = cut(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments[1] << " " << outcome.errorOutput;
        // One line saying why (a usage line for bad usage).
        EXPECT_EQ(std::count(outcome.errorOutput.begin(), outcome.errorOutput.end(), '\n'), 1)
            << outcome.errorOutput;
    }
    EXPECT_EQ(folder.names(), (Names{"cut.mp3", "link.mp3", "stderr.txt", "tone.mp3"}));
}

}  // namespace
}  // namespace snipwell::test

// The media engine process as a process: it holds none of its parent's
// descriptors but its own socket, and it never outlives its parent.

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mci/media_engine_control.h"
#include "mci_session.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

extern char** environ;

namespace snipwell::mci::test {
namespace {

using snipwell::test::Mp3Fixtures;

std::vector<std::string> descriptorTargets(int pid) {
    std::vector<std::string> targets;
    const std::filesystem::path folder = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        targets.push_back(entry.path().filename().string() + " -> " + target.string());
    }
    return targets;
}

// 'Z' for a zombie, 0 when there is no such process any more.
char processState(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() ? '\0' : text[close + 2];
}

bool endsWithin(int pid, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        const char state = processState(pid);
        if (state == '\0' || state == 'Z' || state == 'X') return true;
        sleepMs(20);
    }
    return false;
}

// The processes whose parent is `parent`.
std::vector<int> childrenOf(int parent) {
    std::vector<int> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent) {
            children.push_back(std::stoi(name));
        }
    }
    return children;
}

TEST(EngineProcess, InheritsNoDescriptorOfTheCallerButItsSocket) {
    const snipwell::test::TempDir dir;
    const auto marker = dir.file("open-without-cloexec");
    std::ofstream(marker) << "x";
    const int leaky = ::open(marker.c_str(), O_RDONLY);  // deliberately inheritable
    ASSERT_GE(leaky, 0);
    // A fresh engine, started while the descriptor is open.
    if (const int old = mediaEngineProcessId(); old != 0) {
        ::kill(old, SIGKILL);
        send("close all");
    }
    ASSERT_EQ(send(openCommand(Mp3Fixtures::twoTone().string())).code, 0u);
    const int engine = mediaEngineProcessId();
    ASSERT_GT(engine, 0);

    const auto targets = descriptorTargets(engine);
    ::close(leaky);
    send("close all");
    for (const auto& target : targets) {
        EXPECT_EQ(target.find(marker.string()), std::string::npos) << "leaked: " << target;
    }
    // Its commands arrive on standard input, the socket to us.
    std::string standardIn;
    for (const auto& target : targets) {
        if (target.rfind("0 -> ", 0) == 0) standardIn = target;
    }
    EXPECT_NE(standardIn.find("socket:"), std::string::npos) << standardIn;
}

TEST(EngineProcess, TheCallerNeverLoadsTheDecoder) {
    ASSERT_EQ(send(openCommand(Mp3Fixtures::twoTone().string())).code, 0u);
    ASSERT_EQ(send("play movie").code, 0u);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        EXPECT_EQ(line.find("libgst"), std::string::npos) << line;
    }
    send("close all");
}

// A console that has opened a file, so it has an engine; its input is ours.
struct ConsoleWithEngine {
    pid_t console = 0;
    int input = -1;
    int engine = 0;
};

ConsoleWithEngine startConsoleWithEngine() {
    ConsoleWithEngine started;
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return started;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(SNIPWELL_MCI_CONSOLE), nullptr};
    const int spawned =
        ::posix_spawn(&started.console, SNIPWELL_MCI_CONSOLE, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (spawned != 0) return started;
    started.input = in[1];

    const std::string open = openCommand(Mp3Fixtures::twoTone().string()) + "\nplay movie\n";
    if (::write(started.input, open.data(), open.size()) != static_cast<ssize_t>(open.size()))
        return started;
    std::string answers;
    char buffer[64];
    while (answers != "0\t\n0\t\n") {
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        answers.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    const auto children = childrenOf(started.console);
    if (answers == "0\t\n0\t\n" && children.size() == 1) started.engine = children.front();
    return started;
}

TEST(EngineProcess, EndsWithItsParentHoweverTheParentEnds) {
    struct Ending {
        const char* name;
        int signal;         // 0: the console's input ends
        bool engineFrozen;  // the engine reads nothing, as when the decoder hangs
    };
    for (const Ending ending : {Ending{"end of input", 0, false}, Ending{"SIGKILL", SIGKILL, false},
                                Ending{"SIGTERM", SIGTERM, false}, Ending{"SIGHUP", SIGHUP, false},
                                Ending{"SIGKILL while the engine hangs", SIGKILL, true}}) {
        SCOPED_TRACE(ending.name);
        const ConsoleWithEngine run = startConsoleWithEngine();
        ASSERT_GT(run.console, 0);
        ASSERT_GT(run.engine, 0) << "the console did not start one engine";
        if (ending.engineFrozen) ::kill(run.engine, SIGSTOP);
        if (ending.signal == 0) {
            ::close(run.input);
        } else {
            ::kill(run.console, ending.signal);
        }
        int status = 0;
        ::waitpid(run.console, &status, 0);
        if (ending.signal != 0) ::close(run.input);
        const bool ended = endsWithin(run.engine, 10000);
        EXPECT_TRUE(ended) << "engine " << run.engine << " outlived its parent";
        if (!ended) ::kill(run.engine, SIGKILL);
        if (ending.signal == 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    }
}

}  // namespace
}  // namespace snipwell::mci::test

#include "support/mp3/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace snipwell::test {
namespace {

int runWithOutputTo(const std::vector<std::string>& arguments, const char* outputFile,
                    const char* errorFile) {
    if (arguments.empty()) return -1;
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile,
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile,
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int runProgram(const std::vector<std::string>& arguments) {
    return runWithOutputTo(arguments, "/dev/null", "/dev/null");
}

void runProgramOrThrow(const std::vector<std::string>& arguments) {
    if (runProgram(arguments) == 0) return;
    std::string command;
    for (const auto& argument : arguments) command += argument + ' ';
    throw std::runtime_error("command failed: " + command);
}

ProgramOutcome runProgramKeepingOutput(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& outputFile,
                                       const std::filesystem::path& errorFile) {
    ProgramOutcome outcome;
    outcome.exitCode = runWithOutputTo(arguments, outputFile.c_str(), errorFile.c_str());
    outcome.output = contentsOf(outputFile);
    outcome.errorOutput = contentsOf(errorFile);
    return outcome;
}

}  // namespace snipwell::test

#pragma once
// Runs a command-line tool (sox, lame, gst-launch-1.0, our own programs)
// without a shell, so that paths need no quoting, and with no terminal on its
// standard input.

#include <filesystem>
#include <string>
#include <vector>

namespace snipwell::test {

// Exit code of the program, or -1 when it could not be started or was killed.
// Its output is discarded.
int runProgram(const std::vector<std::string>& arguments);

// As runProgram, but throws std::runtime_error naming the command on failure.
void runProgramOrThrow(const std::vector<std::string>& arguments);

struct ProgramOutcome {
    int exitCode = -1;
    std::string output;
    std::string errorOutput;
};

// As runProgram, but what the program writes to standard output and standard
// error goes into the two files and comes back as text.
ProgramOutcome runProgramKeepingOutput(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& outputFile,
                                       const std::filesystem::path& errorFile);

}  // namespace snipwell::test

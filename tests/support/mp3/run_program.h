#pragma once
// Runs a command-line tool (sox, lame, gst-launch-1.0) without a shell, so
// that paths need no quoting.

#include <string>
#include <vector>

namespace snipwell::test {

// Exit code of the program, or -1 when it could not be started or was killed.
// Its output is discarded.
int runProgram(const std::vector<std::string>& arguments);

// As runProgram, but throws std::runtime_error naming the command on failure.
void runProgramOrThrow(const std::vector<std::string>& arguments);

}  // namespace snipwell::test

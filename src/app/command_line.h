#pragma once
// The window program's own command-line options. --help and --version are
// answered before any window system is touched, so they work without a
// display; every other argument is left to Qt, as always.

#include <cstdio>
#include <optional>

namespace snipwell {

// Prints the help or the version to `out` when one of the arguments asks for
// it (the first such argument wins) and returns the exit code, 0. Returns
// nothing when the program should start its window.
std::optional<int> answerInformationalOption(int argc, const char* const* argv, std::FILE* out);

}  // namespace snipwell

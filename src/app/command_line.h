#pragma once
// The window program's own command line. --help and --version are answered
// before any window system is touched, so they work without a display; Qt
// takes its own options; what is left names the file to open at start.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace snipwell {

// Prints the help or the version to `out` when one of the arguments asks for
// it (the first such argument wins) and returns the exit code, 0. Returns
// nothing when the program should start its window.
std::optional<int> answerInformationalOption(int argc, const char* const* argv, std::FILE* out);

// The file the window opens at start, from the arguments Qt left (the
// program's name first): the first that is not an option, or the first after
// "--". Further files are ignored with a one-line note on `err`. A file that
// does not exist or cannot be read is named on `err` with the reason and is
// still given: opening it, the window says in a message why it cannot be
// played and stays at rest. The path is made absolute, as the file dialog
// gives it.
std::optional<std::string> fileToOpenAtStart(const std::vector<std::string>& arguments,
                                             std::FILE* err);

}  // namespace snipwell

#pragma once
// Where one of the program's helper processes is (the media engine, the
// level probe): $VARIABLE when set, else beside the running program (the
// build folder), else in ../libexec/snipwell/ relative to the running
// program's folder (an installed tree).

#include <optional>
#include <string>

namespace snipwell {

// nullopt when no executable program is found in any of those places, or
// when $VARIABLE names one that is not executable.
std::optional<std::string> findHelperProgram(const char* programName, const char* variable);

}  // namespace snipwell

#pragma once
// Where one of the program's helper processes is (the media engine, the
// level probe): $VARIABLE when set, else beside the running program (the
// build folder), else in ../libexec/snipwell/ relative to the running
// program's folder (an installed tree).

#include <optional>
#include <string>

namespace snipwell {

struct HelperProgramSearch {
    std::optional<std::string> found;
    // What $VARIABLE names when that is no executable file; the search
    // stops there rather than run another program than the one named.
    std::optional<std::string> notExecutable;
};

HelperProgramSearch searchHelperProgram(const char* programName, const char* variable);

// The program searchHelperProgram() found; nullopt when there is none.
std::optional<std::string> findHelperProgram(const char* programName, const char* variable);

}  // namespace snipwell

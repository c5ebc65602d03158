#include "common/helper_program.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace snipwell {
namespace {

bool isExecutable(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

HelperProgramSearch searchHelperProgram(const char* programName, const char* variable) {
    if (const char* named = std::getenv(variable); named != nullptr && *named != '\0') {
        if (isExecutable(named)) return {std::string(named), std::nullopt};
        return {std::nullopt, std::string(named)};
    }
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const auto folder = self.parent_path();
    for (const auto& candidate :
         {folder / programName, folder.parent_path() / "libexec" / "snipwell" / programName}) {
        if (isExecutable(candidate)) return {candidate.string(), std::nullopt};
    }
    return {};
}

std::optional<std::string> findHelperProgram(const char* programName, const char* variable) {
    return searchHelperProgram(programName, variable).found;
}

}  // namespace snipwell

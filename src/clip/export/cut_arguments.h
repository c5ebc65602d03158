#pragma once
// The command line of snipwell-cut: SOURCE BEGIN_MS END_MS TARGET [--force].

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace snipwell {

struct CutArguments {
    std::string source;
    std::int32_t beginMs = 0;
    std::int32_t endMs = 0;
    std::string target;
    // Replace an existing target without asking.
    bool force = false;
};

inline constexpr const char* kCutUsage =
    "usage: snipwell-cut [--force] SOURCE BEGIN_MS END_MS TARGET";

// nullopt when the words do not form a command (wrong count, a mark that is
// not a whole number of milliseconds within 32 bits, an unknown option).
std::optional<CutArguments> parseCutArguments(const std::vector<std::string>& words);

}  // namespace snipwell

#pragma once
// The command line of snipwell-cut:
//   snipwell-cut [--force] [--quiet] [--exact] [--gain DB|max] [--no-clip]
//                [--fade-in DURATION] [--fade-out DURATION] SOURCE BEGIN END TARGET
//   snipwell-cut --help | --version
// BEGIN and END are times as clip_time.h reads them. A switch is one row of
// kCutFlags: its name, the field it sets and its line in --help.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "cut/gain_options.h"

namespace snipwell {

struct CutArguments {
    std::string source;
    std::int32_t beginMs = 0;
    std::int32_t endMs = 0;
    std::string target;
    // Replace an existing target without asking.
    bool force = false;
    // No progress bar and no summary line; failures are still reported.
    bool quiet = false;
    // Cut exact to the sample from whole frames, instead of the byte range.
    bool exact = false;
    // Louder, quieter or faded, by each frame's global_gain.
    GainOptions gain;
};

struct CutFlag {
    const char* name;
    bool CutArguments::*field;
    const char* help;
};

inline constexpr CutFlag kCutFlags[] = {
    {"--force", &CutArguments::force, "replace an existing TARGET without asking"},
    {"--quiet", &CutArguments::quiet, "print no progress bar and no summary line"},
    {"--exact", &CutArguments::exact, "a clip exact to the sample (see below)"},
};

enum class CutRequest { cut, showHelp, showVersion };

struct CutCommandLine {
    CutRequest request = CutRequest::cut;
    CutArguments arguments;
};

// Why the words are no command, in one line that names the culprit.
struct CutUsageError {
    std::string reason;
};

std::variant<CutCommandLine, CutUsageError> parseCutArguments(
    const std::vector<std::string>& words);

// "usage: snipwell-cut [--force] [--quiet] SOURCE BEGIN END TARGET"
std::string cutUsage();
// The usage, what the program does, the time forms, the options, the exit
// statuses and one example.
std::string cutHelp();
// Name, version, copyright and license.
std::string cutVersion();

}  // namespace snipwell

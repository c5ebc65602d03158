#pragma once
// The command line of snipwell-cut:
//   snipwell-cut [--force] [--quiet] [--exact] [GAIN] SOURCE BEGIN END TARGET
//   snipwell-cut --cue SHEET | --at T1,T2,… | --every DURATION | --labels FILE
//                [--name TEMPLATE] [--dry-run] [--write-cue FILE] [--bytes]
//                [--force] [--quiet] [GAIN] SOURCE FOLDER
// where GAIN is [--gain DB|max] [--no-clip] [--fade-in DURATION] [--fade-out DURATION].
//   snipwell-cut --help | --version
// BEGIN, END, the split times and DURATION are times as clip_time.h reads
// them. A switch is one row of kCutFlags: its name, the field it sets and
// its line in --help; an option with a value is one row of kCutValueOptions.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cut/gain_options.h"

namespace snipwell {

// Where the split points of a whole-file split come from.
enum class SplitSource { none, cueSheet, splitTimes, trackLength, labelFile };

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

    // The split mode: FOLDER takes the place of BEGIN END TARGET.
    SplitSource splitBy = SplitSource::none;
    std::string sheetPath;                   // --cue or --labels
    std::vector<std::int32_t> splitTimesMs;  // --at, rising
    std::int32_t trackLengthMs = 0;          // --every
    std::string nameTemplate;                // --name; empty for "NN Title"
    std::string cueOutPath;                  // --write-cue
    std::string folder;
    // Print the plan and write nothing.
    bool dryRun = false;
    // Split by the byte-range rule instead of exactly.
    bool bytes = false;

    bool isSplit() const { return splitBy != SplitSource::none; }
};

struct CutFlag {
    const char* name;
    bool CutArguments::*field;
    const char* help;
};

inline constexpr CutFlag kCutFlags[] = {
    {"--force", &CutArguments::force, "replace an existing TARGET or tracks without asking"},
    {"--quiet", &CutArguments::quiet, "print no progress bar and no summary line"},
    {"--exact", &CutArguments::exact, "a clip exact to the sample (see below)"},
    {"--dry-run", &CutArguments::dryRun, "split: print the tracks and write nothing"},
    {"--bytes", &CutArguments::bytes, "split: by the byte-range rule, not exactly"},
};

// An option that takes a value, as "--cue SHEET" or "--cue=SHEET". `read`
// stores the value or says why it is none.
struct CutValueOption {
    const char* name;
    const char* value;
    const char* help;
    std::optional<std::string> (*read)(CutArguments& into, const std::string& value);
};

extern const CutValueOption kCutValueOptions[9];

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

// The one-clip usage, one line: "usage: snipwell-cut [--force] … SOURCE BEGIN END TARGET".
std::string cutUsage();
// The split mode's usage, one line.
std::string cutSplitUsage();
// The usage line for these words: the split mode's when they select it.
std::string cutUsageFor(const std::vector<std::string>& words);
// The usage, what the program does, the time forms, the options, the exit
// statuses and one example.
std::string cutHelp();
// Name, version, copyright and license.
std::string cutVersion();

}  // namespace snipwell

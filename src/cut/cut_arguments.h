#pragma once
// What the command line of snipwell-cut asks for: options, then SOURCE
// BEGIN END TARGET for one clip, or SOURCE FOLDER for a split, which an
// option such as --cue selects. parse_cut_arguments.h reads the words into
// it; the options are the rows of the table in cut_options.h. BEGIN, END,
// the split times and DURATION are times as clip_time.h reads them.

#include <cstdint>
#include <string>
#include <vector>

#include "cut/gain_options.h"
#include "split/silence_source.h"
#include "split/trimmed_tracks.h"

namespace snipwell {

// Where the split points of a whole-file split come from.
enum class SplitSource { none, cueSheet, splitTimes, trackLength, labelFile, silence, chapters };

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
    std::string labelsOutPath;               // --write-labels
    // --silence's rules, and --threshold, which the trim shares.
    SilenceChoice silence;
    // --trim, --trim-start, --trim-end: what each end of a track keeps.
    TrimChoice trim;
    std::string folder;
    // Print the plan and write no track (the plan files all the same).
    bool dryRun = false;
    // Split by the byte-range rule instead of exactly.
    bool bytes = false;

    bool isSplit() const { return splitBy != SplitSource::none; }
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

}  // namespace snipwell

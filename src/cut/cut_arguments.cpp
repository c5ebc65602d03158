#include "cut/cut_arguments.h"

#include <algorithm>
#include <optional>

#include "common/clip_time.h"
#include "common/shown_value.h"
#include "common/version.h"
#include "split/track_names.h"

namespace snipwell {
namespace {

constexpr const char* gainUsage =
    "[--gain DB|max] [--no-clip] [--fade-in DURATION] [--fade-out DURATION]";

const CutFlag* findFlag(const std::string& word) {
    for (const CutFlag& flag : kCutFlags) {
        if (word == flag.name) return &flag;
    }
    return nullptr;
}

// A word that starts like a negative number is an operand: "-5" is a mark.
bool looksLikeOption(const std::string& word) {
    return word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9');
}

std::optional<std::string> timeProblem(const char* operand, const std::string& text,
                                       std::int32_t& into) {
    if (const auto milliseconds = parseClipTime(text)) {
        into = *milliseconds;
        return std::nullopt;
    }
    return std::string(operand) + " \"" + shownValue(text) +
           "\" is not a time: give milliseconds (65000) or [[H:]M:]S[.fff] (1:05, 1:32.5), "
           "below 596 hours";
}

std::optional<std::string> selectSplit(CutArguments& into, SplitSource by, const char* option) {
    if (into.isSplit()) {
        return std::string(option) + " with another of --cue, --at, --every, --labels: choose one";
    }
    into.splitBy = by;
    return std::nullopt;
}

std::optional<std::string> readCue(CutArguments& into, const std::string& value) {
    if (value.empty()) return "--cue names no sheet";
    into.sheetPath = value;
    return selectSplit(into, SplitSource::cueSheet, "--cue");
}

std::optional<std::string> readLabels(CutArguments& into, const std::string& value) {
    if (value.empty()) return "--labels names no file";
    into.sheetPath = value;
    return selectSplit(into, SplitSource::labelFile, "--labels");
}

std::optional<std::string> readAt(CutArguments& into, const std::string& value) {
    std::size_t from = 0;
    while (from <= value.size()) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        const std::string text = value.substr(from, comma - from);
        const auto ms = parseClipTime(text);
        if (!ms || *ms <= 0) {
            return "--at \"" + shownValue(text) +
                   "\" is no split time: give times after 0 (1:05, 92500)";
        }
        if (!into.splitTimesMs.empty() && *ms <= into.splitTimesMs.back()) {
            return "--at " + shownValue(text) + " does not come after " +
                   formatClipTime(into.splitTimesMs.back()) + ": give the times in order";
        }
        into.splitTimesMs.push_back(*ms);
        from = comma + 1;
    }
    return selectSplit(into, SplitSource::splitTimes, "--at");
}

std::optional<std::string> readEvery(CutArguments& into, const std::string& value) {
    const auto ms = parseClipTime(value);
    if (!ms || *ms <= 0)
        return "--every \"" + shownValue(value) + "\" is no track length (5:00, 300000)";
    into.trackLengthMs = *ms;
    return selectSplit(into, SplitSource::trackLength, "--every");
}

std::optional<std::string> readName(CutArguments& into, const std::string& value) {
    if (value.empty()) return "--name is an empty template";
    if (auto problem = nameTemplateProblem(value)) return problem;
    into.nameTemplate = value;
    return std::nullopt;
}

std::optional<std::string> readGain(CutArguments& into, const std::string& value) {
    return readGainOption(into.gain, value);
}

std::optional<std::string> readFadeIn(CutArguments& into, const std::string& value) {
    return readFadeDuration(into.gain.fadeInMs, "--fade-in", value);
}

std::optional<std::string> readFadeOut(CutArguments& into, const std::string& value) {
    return readFadeDuration(into.gain.fadeOutMs, "--fade-out", value);
}

std::optional<std::string> readCueOut(CutArguments& into, const std::string& value) {
    if (value.empty()) return "--write-cue names no file";
    into.cueOutPath = value;
    return std::nullopt;
}

const CutValueOption* findValueOption(const std::string& word, std::string& value,
                                      bool& valueInWord) {
    for (const CutValueOption& option : kCutValueOptions) {
        const std::string name = option.name;
        if (word == name) {
            valueInWord = false;
            return &option;
        }
        if (word.rfind(name + "=", 0) == 0) {
            value = word.substr(name.size() + 1);
            valueInWord = true;
            return &option;
        }
    }
    return nullptr;
}

// What only a split takes, refused in a single cut.
std::optional<std::string> splitOnlyProblem(const CutArguments& arguments) {
    const char* used = arguments.dryRun                  ? "--dry-run"
                       : arguments.bytes                 ? "--bytes"
                       : !arguments.nameTemplate.empty() ? "--name"
                       : !arguments.cueOutPath.empty()   ? "--write-cue"
                                                         : nullptr;
    if (used == nullptr) return std::nullopt;
    return std::string(used) +
           " is for splitting a whole file (with --cue, --at, --every or --labels)";
}

std::variant<CutCommandLine, CutUsageError> splitOperands(
    CutCommandLine line, const std::vector<std::string>& operands) {
    CutArguments& arguments = line.arguments;
    if (operands.size() != 2) {
        return CutUsageError{"expected 2 operands (SOURCE FOLDER) for a split, got " +
                             std::to_string(operands.size())};
    }
    if (operands[0].empty()) return CutUsageError{"SOURCE is an empty name"};
    if (operands[1].empty()) return CutUsageError{"FOLDER is an empty name"};
    if (arguments.bytes && arguments.exact) {
        return CutUsageError{"--bytes and --exact exclude each other"};
    }
    arguments.source = operands[0];
    arguments.folder = operands[1];
    return line;
}

// The value of `option` from the word itself ("--cue=a.cue") or from the
// next word, which `at` then steps past.
std::optional<std::string> readValueOption(const CutValueOption& option,
                                           const std::vector<std::string>& words, std::size_t& at,
                                           bool valueInWord, std::string value,
                                           CutArguments& into) {
    if (!valueInWord) {
        if (at + 1 == words.size()) return std::string(option.name) + " needs " + option.value;
        value = words[++at];
    }
    return option.read(into, value);
}

}  // namespace

const CutValueOption kCutValueOptions[9] = {
    {"--gain", "DB|max",
     "louder (or quieter) by DB decibels in 1.5 dB steps; max: as loud "
     "as it can be without clipping",
     readGain},
    {"--fade-in", "DURATION", "fade in from silence over DURATION seconds", readFadeIn},
    {"--fade-out", "DURATION", "fade out to silence over the last DURATION seconds", readFadeOut},
    {"--cue", "SHEET", "split: the tracks of a cue sheet", readCue},
    {"--at", "T1,T2,...", "split: at these times", readAt},
    {"--every", "DURATION", "split: into tracks of this length", readEvery},
    {"--labels", "FILE", "split: at the labels of a label file", readLabels},
    {"--name", "TEMPLATE", "split: name tracks by {n} {nn} {title} {performer} {album}", readName},
    {"--write-cue", "FILE", "split: also write a cue sheet for the tracks", readCueOut},
};

std::variant<CutCommandLine, CutUsageError> parseCutArguments(
    const std::vector<std::string>& words) {
    CutCommandLine line;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        std::string value;
        bool valueInWord = false;
        if (optionsEnded || !looksLikeOption(word)) {
            operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help") {
            line.request = CutRequest::showHelp;
            return line;
        } else if (word == "--version") {
            line.request = CutRequest::showVersion;
            return line;
        } else if (word == "--no-clip") {
            line.arguments.gain.noClip = true;
        } else if (const CutFlag* flag = findFlag(word)) {
            line.arguments.*(flag->field) = true;
        } else if (const CutValueOption* option = findValueOption(word, value, valueInWord)) {
            if (auto problem =
                    readValueOption(*option, words, i, valueInWord, value, line.arguments)) {
                return CutUsageError{*problem};
            }
        } else {
            return CutUsageError{"unknown option \"" + shownValue(word) + "\""};
        }
    }
    if (line.arguments.isSplit()) return splitOperands(std::move(line), operands);
    if (auto problem = splitOnlyProblem(line.arguments)) return CutUsageError{*problem};
    if (operands.size() != 4) {
        return CutUsageError{"expected 4 operands (SOURCE BEGIN END TARGET), got " +
                             std::to_string(operands.size())};
    }
    CutArguments& arguments = line.arguments;
    if (operands[0].empty()) return CutUsageError{"SOURCE is an empty name"};
    if (operands[3].empty()) return CutUsageError{"TARGET is an empty name"};
    if (auto problem = timeProblem("BEGIN", operands[1], arguments.beginMs))
        return CutUsageError{*problem};
    if (auto problem = timeProblem("END", operands[2], arguments.endMs))
        return CutUsageError{*problem};
    arguments.source = operands[0];
    arguments.target = operands[3];
    return line;
}

std::string cutUsage() {
    std::string usage = "usage: snipwell-cut";
    for (const CutFlag& flag : kCutFlags) {
        if (flag.field != &CutArguments::dryRun && flag.field != &CutArguments::bytes) {
            usage += std::string(" [") + flag.name + "]";
        }
    }
    return usage + " " + gainUsage + " SOURCE BEGIN END TARGET";
}

std::string cutSplitUsage() {
    return "usage: snipwell-cut (--cue SHEET | --at T1,T2,... | --every DURATION | --labels FILE) "
           "[--name TEMPLATE] [--dry-run] [--write-cue FILE] [--bytes] [--force] [--quiet] " +
           std::string(gainUsage) + " SOURCE FOLDER";
}

std::string cutUsageFor(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        for (const char* option : {"--cue", "--at", "--every", "--labels"}) {
            const std::string name = option;
            if (word == name || word.rfind(name + "=", 0) == 0) return cutSplitUsage();
        }
    }
    return cutUsage();
}

std::string cutHelp() {
    std::string help = cutUsage() + "\n" + cutSplitUsage() + R"(

Cuts the stretch from BEGIN to END out of the MP3 file SOURCE and saves it as
TARGET, the same bytes Snipwell's Save writes, without decoding anything: the
frames from the one that holds BEGIN to the one that holds END.
TARGET appears only once the clip is complete and on the disk.

With --cue, --at, --every or --labels it splits the whole of SOURCE into
tracks in FOLDER (made if missing), each cut exactly as --exact cuts, so that
the tracks played one after another are SOURCE, sample for sample.

BEGIN, END, split times and DURATION are milliseconds (65000) or
[[H:]M:]S[.fff] (1:05, 1:32.5, 1:02:03.250). END must lie within the track.

Options:
)";
    const auto addOption = [&help](const std::string& name, const char* text) {
        constexpr std::size_t column = 22;
        help += "  " + name + std::string(name.size() < column ? column - name.size() : 1, ' ') +
                text + "\n";
    };
    for (const CutFlag& flag : kCutFlags) addOption(flag.name, flag.help);
    for (const CutValueOption& option : kCutValueOptions) {
        addOption(std::string(option.name) + " " + option.value, option.help);
    }
    addOption("--no-clip", "lower a --gain that would clip to the largest that does not");
    addOption("--help", "print this help and exit");
    addOption("--version", "print the version and exit");
    help += R"(
With --exact the clip plays exactly the source's own samples from BEGIN to END,
gaplessly, with no re-encoding: whole frames are copied, a silent frame in
front carries the bit reservoir, and an info frame tells the player how much to
trim at both ends. Players that ignore the info frame play a little more at
both ends. A range within one frame (26 ms at 44.1 kHz) is trimmed exactly by
libmpg123 but wrongly by some other decoders. Free-format streams, Layer I/II
and streams whose sample rate changes are refused.

Splitting: a cue sheet's tracks start at their INDEX 01 (pregaps go with the
track before); --at splits at the times given, --every into tracks of one
length (the last shorter), --labels at the lines "START<TAB>END<TAB>TITLE" of
a label file (seconds; START = END marks a split point). Tracks are named
"NN Title.mp3" ("Track NN.mp3" without a title) unless --name gives a
template, and tagged ID3v2.4 with the source's frames, the title, performer,
album, track n/N, date, genre and length. Everything is checked before the
first track is written: the sheet (a refusal names its line), the times,
existing tracks (refused unless --force) and the free space. A track appears
only once it is complete; if the split stops part-way, the finished tracks
stay and are named. --bytes splits by the byte-range rule of the window's
Save instead, for files the exact cut refuses.

--gain and the fades change only each frame's global_gain, the 8-bit scale
the decoder applies to each granule of 576 samples, so nothing is decoded or
re-encoded and an --exact clip stays exact; with a split they apply to every
track. The gain goes in steps of 1.5 dB: DB is rounded to the nearest step,
and the summary line says the step taken and, when some granule's gain had
to stay within its range, how many were clamped. A gain that raises the
level may clip; --gain max and --no-clip decode the clip once, in a helper
process (snipwell-level-probe), to find the largest step that cannot, and
the summary says which it was. The gain is the same for both channels:
files with joint (M/S) stereo allow no other. A fade is a staircase of
1.5 dB steps, one step per granule, along a straight line from silence at
the clip's edge to full level after DURATION (seconds, or [M:]S[.fff]);
where neighbouring granules differ much it can be heard faintly. The frames
outside the fades are copied unchanged. Layer I/II and free-format streams
are refused, as by --exact.

Exit status: 0 saved, 1 not saved (the reason is printed), 2 bad usage.

Examples:
  snipwell-cut song.mp3 1:05 1:32.5 clip.mp3
  snipwell-cut --exact --gain 3 --fade-in 1 --fade-out 2 song.mp3 1:00 1:30 clip.mp3
  snipwell-cut --cue album.cue album.mp3 tracks/
)";
    return help;
}

std::string cutVersion() { return versionNotice("snipwell-cut"); }

}  // namespace snipwell

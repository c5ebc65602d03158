#include "cut/cut_arguments.h"

#include <algorithm>
#include <optional>

#include "common/version.h"
#include "cut/clip_time.h"

namespace snipwell {
namespace {

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
    return std::string(operand) + " \"" + text +
           "\" is not a time: give milliseconds (65000) or [[H:]M:]S[.fff] (1:05, 1:32.5), "
           "below 596 hours";
}

// The gain options: "--gain 3" or "--gain=3", and so on. Whether `words[i]`
// was one (stepping `i` past a separate value), or why it is no good.
struct GainWord {
    bool taken = false;
    std::optional<std::string> problem;
};

GainWord readGainWord(const std::vector<std::string>& words, std::size_t& i, GainOptions& into) {
    const std::string& word = words[i];
    if (word == "--no-clip") {
        into.noClip = true;
        return {true, std::nullopt};
    }
    for (const char* name : {"--gain", "--fade-in", "--fade-out"}) {
        const std::string option(name);
        std::string value;
        if (word == option) {
            if (i + 1 >= words.size()) return {true, option + " needs a value"};
            value = words[++i];
        } else if (word.rfind(option + "=", 0) == 0) {
            value = word.substr(option.size() + 1);
        } else {
            continue;
        }
        if (option == "--gain") return {true, readGainOption(into, value)};
        return {true, readFadeDuration(option == "--fade-in" ? into.fadeInMs : into.fadeOutMs,
                                       option, value)};
    }
    return {};
}

}  // namespace

std::variant<CutCommandLine, CutUsageError> parseCutArguments(
    const std::vector<std::string>& words) {
    CutCommandLine line;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
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
        } else if (const CutFlag* flag = findFlag(word)) {
            line.arguments.*(flag->field) = true;
        } else if (const GainWord gain = readGainWord(words, i, line.arguments.gain); gain.taken) {
            if (gain.problem) return CutUsageError{*gain.problem};
        } else {
            return CutUsageError{"unknown option \"" + word + "\""};
        }
    }
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
    for (const CutFlag& flag : kCutFlags) usage += std::string(" [") + flag.name + "]";
    return usage +
           " [--gain DB|max] [--no-clip] [--fade-in DURATION] [--fade-out DURATION]"
           " SOURCE BEGIN END TARGET";
}

std::string cutHelp() {
    std::string help = cutUsage() + R"(

Cuts the stretch from BEGIN to END out of the MP3 file SOURCE and saves it as
TARGET, the same bytes Snipwell's Save writes, without decoding anything.
TARGET appears only once the clip is complete and on the disk.

BEGIN and END are milliseconds (65000) or [[H:]M:]S[.fff] (1:05, 1:32.5,
1:02:03.250). END must lie within the track.

Options:
)";
    const auto addOption = [&help](const std::string& name, const char* text) {
        constexpr std::size_t column = 22;
        help += "  " + name + std::string(name.size() < column ? column - name.size() : 1, ' ') +
                text + "\n";
    };
    for (const CutFlag& flag : kCutFlags) addOption(flag.name, flag.help);
    addOption("--gain DB", "louder (or quieter) by DB decibels, in 1.5 dB steps");
    addOption("--gain max", "as loud as the clip can be without clipping");
    addOption("--no-clip", "lower a --gain that would clip to the largest that does not");
    addOption("--fade-in DURATION", "fade in from silence over DURATION seconds");
    addOption("--fade-out DURATION", "fade out to silence over the last DURATION seconds");
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

--gain and the fades change only each frame's global_gain, the 8-bit scale
the decoder applies to each granule of 576 samples, so nothing is decoded or
re-encoded and an --exact clip stays exact. The gain goes in steps of 1.5 dB:
DB is rounded to the nearest step, and the summary line says the step taken
and, when some granule's gain had to stay within its range, how many were
clamped. A gain that raises the level may clip; --gain max and --no-clip
decode the clip once, in a helper process (snipwell-level-probe), to find
the largest step that cannot, and the summary says which it was. The gain is
the same for both channels: files with joint (M/S) stereo allow no other.
A fade is a staircase of 1.5 dB steps, one step per granule, along a straight
line from silence at the clip's edge to full level after DURATION (seconds,
or [M:]S[.fff]); where neighbouring granules differ much it can be heard
faintly. The frames outside the fades are copied unchanged. Layer I/II and
free-format streams are refused, as by --exact.

Exit status: 0 saved, 1 not saved (the reason is printed), 2 bad usage.

Examples:
  snipwell-cut song.mp3 1:05 1:32.5 clip.mp3
  snipwell-cut --exact --gain 3 --fade-in 1 --fade-out 2 song.mp3 1:00 1:30 clip.mp3
)";
    return help;
}

std::string cutVersion() { return versionNotice("snipwell-cut"); }

}  // namespace snipwell

#include "cut/cut_arguments.h"

#include <algorithm>
#include <optional>

#include "cut/clip_time.h"
#include "common/version.h"

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

}  // namespace

std::variant<CutCommandLine, CutUsageError> parseCutArguments(
    const std::vector<std::string>& words) {
    CutCommandLine line;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& word : words) {
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
    return usage + " SOURCE BEGIN END TARGET";
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
        help += "  " + name + std::string(std::max<std::size_t>(12 - name.size(), 1), ' ') + text +
                "\n";
    };
    for (const CutFlag& flag : kCutFlags) addOption(flag.name, flag.help);
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

Exit status: 0 saved, 1 not saved (the reason is printed), 2 bad usage.

Example:
  snipwell-cut song.mp3 1:05 1:32.5 clip.mp3
)";
    return help;
}

std::string cutVersion() { return versionNotice("snipwell-cut"); }

}  // namespace snipwell

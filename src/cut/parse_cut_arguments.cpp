#include "cut/parse_cut_arguments.h"

#include "common/clip_time.h"
#include "common/shown_value.h"
#include "cut/cut_options.h"

namespace snipwell {
namespace {

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

// The row for `word`, which is the option's name or, for one that takes a
// value, "NAME=VALUE"; then `valueInWord` holds the value.
const OptionDef* findOption(const std::string& word, std::optional<std::string>& valueInWord) {
    for (const OptionDef& option : cutOptionTable()) {
        const std::string name = option.name;
        if (word == name) return &option;
        if (option.valueName != nullptr && word.rfind(name + "=", 0) == 0) {
            valueInWord = word.substr(name.size() + 1);
            return &option;
        }
    }
    return nullptr;
}

// Reads `option` into `line`: its value from the word itself or from the
// next word, which `at` then steps past; a split source also selects the
// split mode, once.
OptionProblem readOption(const OptionDef& option, const std::vector<std::string>& words,
                         std::size_t& at, const std::optional<std::string>& valueInWord,
                         CutCommandLine& line) {
    std::string value;
    if (valueInWord) {
        value = *valueInWord;
    } else if (option.valueName != nullptr && !option.valueOptional) {
        if (at + 1 == words.size()) return std::string(option.name) + " needs " + option.valueName;
        value = words[++at];
    }
    const bool splitAlready = line.arguments.isSplit();
    if (auto problem = option.read(line, value)) return problem;
    if (option.use != OptionUse::splitSource) return std::nullopt;
    if (splitAlready) {
        return std::string(option.name) + " with another of " + splitSourceNames() + ": choose one";
    }
    line.arguments.splitBy = option.selects;
    return std::nullopt;
}

// A rule of one source given to another ("--min-track" with --cue), and
// track lengths that contradict each other.
std::optional<std::string> ruleProblem(const CutArguments& arguments,
                                       const std::vector<const OptionDef*>& given) {
    for (const OptionDef* option : given) {
        if (option->onlyWith == SplitSource::none || option->onlyWith == arguments.splitBy)
            continue;
        for (const OptionDef& source : cutOptionTable()) {
            if (source.selects == option->onlyWith)
                return std::string(option->name) + " is for splitting with " + source.name;
        }
    }
    const SilenceChoice& silence = arguments.silence;
    if (silence.maxTrackMs > 0 && silence.maxTrackMs < silence.minTrackMs) {
        return "--max-track " + formatClipTime(silence.maxTrackMs) +
               " is shorter than --min-track " + formatClipTime(silence.minTrackMs);
    }
    return std::nullopt;
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

std::variant<CutCommandLine, CutUsageError> clipOperands(CutCommandLine line,
                                                         const std::vector<std::string>& operands) {
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
    // A trimmed clip plays exactly its kept samples, which only the exact
    // cut can write.
    if (arguments.trim.trims() && !arguments.exact) {
        return CutUsageError{"--trim, --trim-start and --trim-end need --exact in a single clip"};
    }
    arguments.source = operands[0];
    arguments.target = operands[3];
    return line;
}

}  // namespace

std::variant<CutCommandLine, CutUsageError> parseCutArguments(
    const std::vector<std::string>& words) {
    CutCommandLine line;
    std::vector<std::string> operands;
    // The first option only a split takes, refused if this is one clip. A
    // clip's own options are let be in a split: --exact asks for what a
    // split does anyway.
    const OptionDef* splitOnly = nullptr;
    std::vector<const OptionDef*> given;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || !looksLikeOption(word)) {
            operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> valueInWord;
        const OptionDef* option = findOption(word, valueInWord);
        if (option == nullptr) return CutUsageError{"unknown option \"" + shownValue(word) + "\""};
        if (auto problem = readOption(*option, words, i, valueInWord, line)) {
            return CutUsageError{*problem};
        }
        // --help and --version answer at once, whatever else the words say.
        if (line.request != CutRequest::cut) return line;
        if (option->use == OptionUse::split && splitOnly == nullptr) splitOnly = option;
        given.push_back(option);
    }
    if (line.arguments.isSplit()) {
        if (auto problem = ruleProblem(line.arguments, given)) return CutUsageError{*problem};
        return splitOperands(std::move(line), operands);
    }
    if (splitOnly != nullptr) {
        return CutUsageError{std::string(splitOnly->name) +
                             " is for splitting a whole file (with " + splitSourceNames(" or ") +
                             ")"};
    }
    return clipOperands(std::move(line), operands);
}

}  // namespace snipwell

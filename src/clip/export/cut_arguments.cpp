#include "cut_arguments.h"

#include <charconv>

namespace snipwell {
namespace {

std::optional<std::int32_t> parseMilliseconds(const std::string& text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<CutArguments> parseCutArguments(const std::vector<std::string>& words) {
    CutArguments arguments;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& word : words) {
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word == "--force") {
            arguments.force = true;
        } else if (!optionsEnded && word == "--exact") {
            arguments.exact = true;
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-' &&
                   !parseMilliseconds(word)) {
            return std::nullopt;  // an option we do not know (a negative mark is no option)
        } else {
            operands.push_back(word);
        }
    }
    if (operands.size() != 4 || operands[0].empty() || operands[3].empty()) return std::nullopt;
    const auto beginMs = parseMilliseconds(operands[1]);
    const auto endMs = parseMilliseconds(operands[2]);
    if (!beginMs || !endMs) return std::nullopt;
    arguments.source = operands[0];
    arguments.beginMs = *beginMs;
    arguments.endMs = *endMs;
    arguments.target = operands[3];
    return arguments;
}

}  // namespace snipwell

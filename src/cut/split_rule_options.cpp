#include "cut/split_rule_options.h"

#include <charconv>

#include "common/clip_time.h"
#include "common/shown_value.h"

namespace snipwell {
namespace {

std::optional<double> number(const std::string& value) {
    double parsed = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, parsed);
    if (value.empty() || error != std::errc{} || stop != end) return std::nullopt;
    return parsed;
}

bool isWholeNumber(const std::string& value) {
    return !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
}

std::string quoted(const std::string& value) { return "\"" + shownValue(value) + "\""; }

}  // namespace

std::optional<std::string> readDecibels(double& into, const char* optionName,
                                        const std::string& value) {
    const auto level = number(value);
    if (!level || !(*level < 0) || !(*level > -120)) {
        return std::string(optionName) + " " + quoted(value) +
               " is no level: give dBFS between -120 and 0 (-48, -52.5)";
    }
    into = *level;
    return std::nullopt;
}

std::optional<std::string> readShare(double& into, const char* optionName,
                                     const std::string& value) {
    const auto share = number(value);
    if (!share || !(*share >= 0) || !(*share <= 1)) {
        return std::string(optionName) + " " + quoted(value) +
               " is no share: give 0 (the silence's start) to 1 (its end), 0.5 its middle";
    }
    into = *share;
    return std::nullopt;
}

std::optional<std::string> readDuration(std::int64_t& intoMs, const char* optionName,
                                        const std::string& value, bool zeroAllowed) {
    std::optional<std::int64_t> ms;
    if (isWholeNumber(value) && value.size() <= 7) {
        ms = std::stoll(value) * 1000;
    } else if (!isWholeNumber(value)) {
        if (const auto parsed = parseClipTime(value)) ms = *parsed;
    }
    if (!ms || *ms < 0 || (*ms == 0 && !zeroAllowed) || *ms > INT32_MAX) {
        return std::string(optionName) + " " + quoted(value) +
               " is no duration: give seconds (2, 0.5) or [[H:]M:]S[.fff] (1:30)" +
               (zeroAllowed ? "" : ", more than 0");
    }
    intoMs = *ms;
    return std::nullopt;
}

}  // namespace snipwell

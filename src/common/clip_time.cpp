#include "common/clip_time.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

namespace snipwell {
namespace {

constexpr std::int64_t kMaxMs = std::numeric_limits<std::int32_t>::max();

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') return false;
    }
    return true;
}

// A run of digits as a number, nullopt when it is no such run or too large
// to be part of a 32-bit count of milliseconds.
std::optional<std::int64_t> digitsValue(std::string_view text) {
    if (!allDigits(text) || text.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::vector<std::string_view> splitAtColons(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
        const std::size_t colon = text.find(':', from);
        fields.push_back(text.substr(from, colon - from));
        if (colon == std::string_view::npos) return fields;
        from = colon + 1;
    }
}

}  // namespace

std::optional<std::int32_t> parseClipTime(std::string_view text) {
    const bool bareNumber = allDigits(text.starts_with('-') ? text.substr(1) : text);
    if (bareNumber) {
        std::int32_t milliseconds = 0;
        const auto [stop, error] =
            std::from_chars(text.data(), text.data() + text.size(), milliseconds);
        if (error != std::errc{} || stop != text.data() + text.size()) return std::nullopt;
        return milliseconds;
    }

    std::int64_t fractionMs = 0;
    const std::size_t dot = text.find('.');
    std::string_view clock = text;
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        if (!allDigits(fraction) || fraction.size() > 3) return std::nullopt;
        for (std::size_t i = 0; i < 3; ++i) {
            fractionMs = fractionMs * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
        }
        clock = text.substr(0, dot);
    }

    const std::vector<std::string_view> fields = splitAtColons(clock);
    if (fields.size() > 3) return std::nullopt;
    auto seconds = digitsValue(fields.front());
    if (!seconds) return std::nullopt;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const auto field = digitsValue(fields[i]);
        if (fields[i].size() != 2 || !field || *field >= 60) return std::nullopt;
        seconds = *seconds * 60 + *field;
    }
    const std::int64_t milliseconds = *seconds * 1000 + fractionMs;
    if (milliseconds > kMaxMs) return std::nullopt;
    return static_cast<std::int32_t>(milliseconds);
}

std::string formatClipTime(std::int64_t milliseconds) {
    const char* sign = milliseconds < 0 ? "-" : "";
    const std::int64_t ms = milliseconds < 0 ? -milliseconds : milliseconds;
    const long long hours = ms / 3'600'000;
    const long long minutes = ms / 60'000 % 60;
    const long long seconds = ms / 1000 % 60;
    const long long fraction = ms % 1000;
    char text[48];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld.%03lld", sign, hours, minutes,
                      seconds, fraction);
    } else {
        std::snprintf(text, sizeof text, "%s%lld:%02lld.%03lld", sign, minutes, seconds, fraction);
    }
    return text;
}

}  // namespace snipwell

#pragma once
// Reading the values of the silence split's and the trim's options: a level
// in dBFS, a share of a silence, and durations, where a bare whole number is
// seconds ("2") and anything else a time as clip_time.h reads it ("0.5",
// "1:30"). Each returns why the value is none, naming the option, or
// nothing when it was stored.

#include <cstdint>
#include <optional>
#include <string>

namespace snipwell {

// Below 0 dBFS and above the quietest level there is (-120).
std::optional<std::string> readDecibels(double& into, const char* optionName,
                                        const std::string& value);

// From 0 (the silence's start) to 1 (its end).
std::optional<std::string> readShare(double& into, const char* optionName,
                                     const std::string& value);

// More than 0, or from 0 where `zeroAllowed`; below 596 hours.
std::optional<std::string> readDuration(std::int64_t& intoMs, const char* optionName,
                                        const std::string& value, bool zeroAllowed = false);

}  // namespace snipwell

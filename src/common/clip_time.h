#pragma once
// Times as a person types and reads them: the options of snipwell-cut and
// the times in its messages and in a split plan's. A bare whole number is
// milliseconds, so "65000" is 65 s; anything else is [[H:]M:]S[.fff], where
// the fields after the first have two digits below 60 and the fraction one
// to three digits: "1:05" is 65 s, "1:32.5" is 92.5 s, "1:02:03.250" is
// 3,723.25 s and "2.5" is 2.5 s.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snipwell {

// The time in milliseconds, or nullopt when the text is no such time or does
// not fit in 32 bits. Only a bare number of milliseconds may be negative.
std::optional<std::int32_t> parseClipTime(std::string_view text);

// "0:02.000", "4:12.345", "1:02:03.250".
std::string formatClipTime(std::int64_t milliseconds);

}  // namespace snipwell

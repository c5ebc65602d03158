#pragma once
// A value from the command line or a sheet, quoted for a message. A value
// can be as long as its line (a megabyte of junk in a sheet), and a message
// that repeats it whole is no longer readable, so a long one is cut short
// and ends in "…".

#include <string>
#include <string_view>

namespace snipwell {

// The value itself, or its first 60 bytes (whole characters) and "…".
std::string shownValue(std::string_view value);

}  // namespace snipwell

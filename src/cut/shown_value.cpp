#include "cut/shown_value.h"

namespace snipwell {
namespace {

constexpr std::size_t kLongestShown = 60;

bool isContinuationByte(char ch) { return (static_cast<unsigned char>(ch) & 0xC0u) == 0x80u; }

}  // namespace

std::string shownValue(std::string_view value) {
    if (value.size() <= kLongestShown) return std::string(value);
    std::size_t end = kLongestShown;
    while (end > 0 && isContinuationByte(value[end])) --end;
    return std::string(value.substr(0, end)) + "\xE2\x80\xA6";
}

}  // namespace snipwell

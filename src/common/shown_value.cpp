#include "common/shown_value.h"

#include "common/utf8_prefix.h"

namespace snipwell {
namespace {

constexpr std::size_t kLongestShown = 60;

}  // namespace

std::string shownValue(std::string_view value) {
    if (value.size() <= kLongestShown) return std::string(value);
    return std::string(utf8Prefix(value, kLongestShown)) + "\xE2\x80\xA6";
}

}  // namespace snipwell

#pragma once
// Text cut to a number of bytes without splitting a UTF-8 character, for
// names and messages that must stay within a length yet still read right.

#include <cstddef>
#include <string_view>

namespace snipwell {

// The first bytes of `text`, at most `bytes` of them, ending on a whole
// character.
inline std::string_view utf8Prefix(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) --end;
    return text.substr(0, end);
}

}  // namespace snipwell

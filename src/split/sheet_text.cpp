#include "split/sheet_text.h"

#include <algorithm>
#include <array>

namespace snipwell {
namespace {

// What 0x80–0x9F stand for in the Western code page; the five bytes it
// leaves undefined keep their Latin-1 meaning (C1 controls), which the
// name sanitising later turns into '_'.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

}  // namespace

void appendUtf8(std::string& out, char32_t codePoint) {
    const auto put = [&out](std::uint32_t value) { out += static_cast<char>(value); };
    const auto cp = static_cast<std::uint32_t>(codePoint);
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0u | (cp >> 6));
        put(0x80u | (cp & 0x3Fu));
    } else if (cp < 0x10000) {
        put(0xE0u | (cp >> 12));
        put(0x80u | ((cp >> 6) & 0x3Fu));
        put(0x80u | (cp & 0x3Fu));
    } else {
        put(0xF0u | (cp >> 18));
        put(0x80u | ((cp >> 12) & 0x3Fu));
        put(0x80u | ((cp >> 6) & 0x3Fu));
        put(0x80u | (cp & 0x3Fu));
    }
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t cp = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0u) == 0xC0u) {
            length = 2;
            cp = lead & 0x1Fu;
        } else if ((lead & 0xF0u) == 0xE0u) {
            length = 3;
            cp = lead & 0x0Fu;
        } else if ((lead & 0xF8u) == 0xF0u) {
            length = 4;
            cp = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!isContinuation(byte)) return false;
            cp = (cp << 6) | (byte & 0x3Fu);
        }
        constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

bool looksLikeWideText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        return true;
    }
    // The first characters of a sheet are ASCII (a command or a blank), so
    // wide text shows zeros at every odd or every even place.
    const std::size_t look = std::min<std::size_t>(bytes.size(), 64) & ~std::size_t{1};
    if (look < 2) return false;
    bool oddZero = true;
    bool evenZero = true;
    for (std::size_t i = 0; i < look; ++i) {
        ((i % 2 == 0) ? evenZero : oddZero) &= bytes[i] == '\0';
    }
    return oddZero || evenZero;
}

std::optional<SheetText> decodeSheetText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        bytes.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    SheetText text;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        text.encoding = SheetEncoding::utf8WithBom;
    }
    if (isValidUtf8(bytes)) {
        text.utf8 = bytes;
        return text;
    }
    // Not UTF-8, even where a mark claims it: the whole text is read as the
    // code page, so the person sees the names rather than a refusal.
    text.encoding = SheetEncoding::westernCodePage;
    text.utf8.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80 && byte < 0xA0) {
            appendUtf8(text.utf8, kHighControls[byte - 0x80u]);
        } else {
            appendUtf8(text.utf8, byte);
        }
    }
    return text;
}

SheetError notTextError(std::string_view bytes, const std::string& what) {
    if (looksLikeWideText(bytes)) {
        return {"", 1, what + " is UTF-16 or UTF-32 text; save it as UTF-8"};
    }
    const std::string_view before = bytes.substr(0, bytes.find('\0'));
    const auto line = static_cast<int>(
        splitLines(before).size() +
        (before.empty() || before.ends_with('\n') || before.ends_with('\r') ? 1 : 0));
    return {"", line, what + " holds a NUL byte, so it is no text (a binary file?)"};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", from);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace snipwell

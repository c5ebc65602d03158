#pragma once
// The text of a cue sheet or label file as UTF-8, whatever it was saved as.
// Sheets come as UTF-8 with or without a byte-order mark, or in the Western
// 8-bit code page (Latin-1 with the printable additions in 0x80–0x9F, which
// is what most ripping tools wrote for years). Text that is valid UTF-8 is
// taken as UTF-8; anything else is read as that code page and converted.
// Both readers split the text into lines here, and refuse what is no text
// here, in the same words.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "split/sheet_error.h"

namespace snipwell {

enum class SheetEncoding { utf8, utf8WithBom, westernCodePage };

struct SheetText {
    std::string utf8;
    SheetEncoding encoding = SheetEncoding::utf8;
};

// nullopt for UTF-16 or UTF-32 text (a byte-order mark for either, or NUL
// bytes) and for anything else holding a NUL byte (no text at all), which
// are refused rather than misread.
std::optional<SheetText> decodeSheetText(std::string_view bytes);

// Whether `bytes` look like UTF-16 or UTF-32 text: a byte-order mark for
// either, or ASCII with its zero bytes, every other byte zero at the start.
bool looksLikeWideText(std::string_view bytes);

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view text);

// Appends the UTF-8 form of `codePoint`.
void appendUtf8(std::string& out, char32_t codePoint);

// Why bytes that decodeSheetText refused are no sheet: "`what` is UTF-16 or
// UTF-32 text; save it as UTF-8" on line 1 for wide text, else the line of
// the first NUL byte, which no text holds. `what` is "the sheet" or "the
// label file".
SheetError notTextError(std::string_view bytes, const std::string& what);

// The text's lines, end markers removed: "\r\n", "\n" and a lone "\r" each
// end a line. A final line end starts no empty last line.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace snipwell

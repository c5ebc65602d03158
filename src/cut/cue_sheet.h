#pragma once
// A cue sheet as people have them: the album's title, performer, date and
// genre, and its tracks, each starting at its INDEX 01 (an INDEX 00 pregap
// belongs to the track before, as a gapless player plays it). Read from the
// sheet's bytes in any of the encodings sheet_text.h knows, with CRLF, LF or
// CR line ends. A track's ISRC, SONGWRITER and INDEX 00 are kept so that a
// sheet written for the tracks can say them again; other commands that do
// not bear on splitting (CATALOG, FLAGS, other REM lines…) are skipped.
//
// Refused, naming the line: a second FILE, a track of data rather than
// audio, track numbers that do not rise, an INDEX outside a track or with a
// malformed time, INDEX 01 times that do not rise, a track without an INDEX
// 01, an unterminated quote, a sheet with no track at all.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cut/sheet_text.h"
#include "cut/split_time.h"

namespace snipwell {

struct CueTrack {
    int number = 0;
    std::string title;
    std::string performer;
    SplitTime begin;  // its INDEX 01, in 75ths of a second
    int line = 0;     // of its TRACK command
    int indexLine = 0;
    std::string isrc;
    std::string songwriter;
    std::optional<SplitTime> pregap;  // its INDEX 00
};

struct CueSheet {
    std::string title;
    std::string performer;
    std::string date;                     // REM DATE
    std::string genre;                    // REM GENRE
    std::optional<std::string> fileName;  // what the FILE line names
    int fileLine = 0;
    std::vector<CueTrack> tracks;
    SheetEncoding encoding = SheetEncoding::utf8;
};

struct CueSheetError {
    int line = 0;  // 1-based
    std::string reason;
};

// "line 12: INDEX 01 02:61:00 is no time (mm:ss:ff, ss below 60, ff below 75)"
std::string describe(const CueSheetError& error);

std::variant<CueSheet, CueSheetError> parseCueSheet(std::string_view bytes);

// Why bytes that decodeSheetText refused are no sheet: "`what` is UTF-16 or
// UTF-32 text; save it as UTF-8" on line 1 for wide text, else the line of
// the first NUL byte, which no text holds. `what` is "the sheet" or "the
// label file".
CueSheetError notTextError(std::string_view bytes, const std::string& what);

// The sheet's lines, end markers removed: "\r\n", "\n" and a lone "\r" each
// end a line. A final line end starts no empty last line.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace snipwell

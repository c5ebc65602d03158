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

#include "split/sheet_error.h"
#include "split/sheet_text.h"
#include "split/split_time.h"

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

// The refusal names the line; the file is left to the caller, who knows it.
std::variant<CueSheet, SheetError> parseCueSheet(std::string_view bytes);

}  // namespace snipwell

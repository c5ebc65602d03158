#pragma once
// How a cue sheet or a label file is refused: the file, the line and what is
// wrong there. The readers know the line; the source that read the file
// names it. A file that cannot be read at all is no SheetError but the
// program's file error (sheet_file.h).

#include <string>

namespace snipwell {

struct SheetError {
    std::string file;  // as given; empty while only the text is known
    int line = 0;      // 1-based
    std::string what;
};

// "\"album.cue\", line 12: INDEX 01 \"02:61:00\" is no time (…)", or
// "line 12: …" without a file.
std::string describe(const SheetError& error);

}  // namespace snipwell

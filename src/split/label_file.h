#pragma once
// A label file: one label a line, "START<TAB>END<TAB>TITLE", the times in
// seconds with a decimal point or comma ("12.5", "83,250000"). A label whose
// START equals its END is a split point: a track starts there and runs to
// the next label. One whose END lies after its START is a track of its own,
// exactly that stretch. Lines that begin with a backslash (the frequency
// range some editors write under a label) and empty lines are skipped.
// Refused, naming the line: a malformed time, an END before its START,
// labels whose STARTs go back, and a stretch that overlaps the next label.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "split/sheet_error.h"
#include "split/split_time.h"

namespace snipwell {

struct Label {
    SplitTime start;  // in microseconds
    SplitTime end;
    std::string title;
    int line = 0;

    bool isSplitPoint() const { return start == end; }
};

// The labels in file order; a refusal names its line as a sheet's does, and
// leaves the file to the caller.
std::variant<std::vector<Label>, SheetError> parseLabelFile(std::string_view bytes);

// Seconds with up to six decimals (more are cut off): "12", "12.5", "0,25".
std::optional<SplitTime> parseLabelSeconds(std::string_view text);

}  // namespace snipwell

// What the readers of sheets and label files refuse as no text, in the
// same words, and how a long value is shown in a refusal.

#include <gtest/gtest.h>

#include "split/cue_sheet.h"
#include "split/label_file.h"

namespace snipwell::test {
namespace {

// What is no text is called so, and a value a megabyte long is not
// repeated whole in the reason.
TEST(SheetRefusal, SaysWhatIsNoTextAndShortensLongValues) {
    const std::string junk(1'000'000, '7');
    const std::string shown = std::string(60, '7') + "\xE2\x80\xA6";
    const struct {
        bool labels;
        std::string bytes;
        int line;
        std::string reason;
    } cases[] = {
        {false, std::string{'T', '\0', 'R', '\0', 'A', '\0', 'C', '\0'}, 1,
         "the sheet is UTF-16 or UTF-32 text; save it as UTF-8"},
        {false, "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTITLE \"a" + std::string(1, '\0') + "\"\n", 3,
         "the sheet holds a NUL byte, so it is no text (a binary file?)"},
        {true, "ID3\4" + std::string(4, '\0') + "\1\x7F\xFB\x90", 1,
         "the label file holds a NUL byte, so it is no text (a binary file?)"},
        {false, "TRACK 01 AUDIO\nINDEX 01 " + junk + "\n", 2,
         "INDEX 01 \"" + shown + "\" is no time (mm:ss:ff, ss below 60, ff below 75)"},
        {true, "1\t" + junk + "\tx\n", 1, "\"" + shown + "\" is no time in seconds (12.5)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const SheetError error = c.labels ? std::get<SheetError>(parseLabelFile(c.bytes))
                                          : std::get<SheetError>(parseCueSheet(c.bytes));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.what, c.reason);
    }
}

}  // namespace
}  // namespace snipwell::test

// Label files as editors write them, and what is refused with which line.

#include <gtest/gtest.h>

#include "split/label_file.h"

namespace snipwell::test {
namespace {

TEST(LabelFile, ReadsSplitPointsAndStretchesAndRefusesWithTheLine) {
    const auto parsed = parseLabelFile(
        "0.000000\t0.000000\tIntro\r\n"
        "\\\t440.0\t880.0\r\n"
        "\r\n"
        "65,5\t65,5\tVerse\r\n"
        "100.25\t130.000001\tSolo\r\n");
    ASSERT_TRUE(std::holds_alternative<std::vector<Label>>(parsed));
    const auto& labels = std::get<std::vector<Label>>(parsed);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_TRUE(labels[0].isSplitPoint());
    EXPECT_EQ(labels[1].start.ticks, 65'500'000);
    EXPECT_EQ(labels[1].line, 4);
    EXPECT_EQ(labels[1].title, "Verse");
    EXPECT_FALSE(labels[2].isSplitPoint());
    EXPECT_EQ(labels[2].end.ticks, 130'000'001);

    const struct {
        const char* file;
        int line;
        const char* reason;
    } refused[] = {
        {"1\t1\ta\nabc\t2\tb\n", 2, "\"abc\" is no time"},
        {"5\t4\ta\n", 1, "the label ends before it starts"},
        {"5\t5\ta\n4\t4\tb\n", 2, "the label starts before the one on line 1"},
        {"5\t9\ta\n8\t8\tb\n", 2, "the label starts inside the one on line 1"},
        {"no tabs here\n", 1, "a label is START<TAB>END<TAB>TITLE"},
        {"-1\t2\tx\n", 1, "\"-1\" is no time"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.file);
        const auto result = parseLabelFile(c.file);
        ASSERT_TRUE(std::holds_alternative<SheetError>(result));
        EXPECT_EQ(std::get<SheetError>(result).line, c.line);
        EXPECT_EQ(std::get<SheetError>(result).what.rfind(c.reason, 0), 0u)
            << std::get<SheetError>(result).what;
    }
}

}  // namespace
}  // namespace snipwell::test

// The values of the silence split's and the trim's options: what each
// reader takes at its edges, what it refuses, and the line a person reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "cut/split_rule_options.h"

namespace snipwell::test {
namespace {

constexpr double kUntouched = 7;

TEST(SplitRuleOptions, LevelsAndSharesStopAtTheirEdges) {
    const struct {
        bool share;  // readShare, else readDecibels
        const char* value;
        std::optional<double> read;
    } cases[] = {
        {false, "-48", -48}, {false, "-119.9", -119.9}, {false, "-0.01", -0.01},
        {false, "-120", {}}, {false, "0", {}},          {false, "-0", {}},
        {false, "nan", {}},  {false, "-inf", {}},       {false, "-48dB", {}},
        {false, " -48", {}}, {false, "", {}},           {true, "0", 0},
        {true, "1", 1},      {true, "0.25", 0.25},      {true, "1.001", {}},
        {true, "-0.1", {}},  {true, "nan", {}},         {true, "half", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        double into = kUntouched;
        const auto problem =
            c.share ? readShare(into, "--split-at", c.value) : readDecibels(into, "-t", c.value);
        EXPECT_EQ(problem.has_value(), !c.read.has_value());
        EXPECT_EQ(into, c.read.value_or(kUntouched));
    }
}

// A bare whole number is seconds, anything else a clock time; nothing may
// reach past 32-bit milliseconds.
TEST(SplitRuleOptions, DurationsReadSecondsOrClockTimesBelowTheLimit) {
    const struct {
        const char* value;
        bool zeroAllowed;
        std::optional<std::int64_t> ms;
    } cases[] = {
        {"2", false, 2'000},
        {"0.5", false, 500},
        {"1:30", false, 90'000},
        {"2147483", false, 2'147'483'000},
        {"2147484", false, {}},
        {"596:31:23.647", false, INT32_MAX},
        {"596:31:23.648", false, {}},
        {"99999999999", false, {}},
        {"0", false, {}},
        {"0.000", false, {}},
        {"0", true, 0},
        {"-5", true, {}},
        {"1:60", true, {}},
        {"", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::int64_t into = -1;
        const auto problem = readDuration(into, "--min-track", c.value, c.zeroAllowed);
        EXPECT_EQ(problem.has_value(), !c.ms.has_value());
        EXPECT_EQ(into, c.ms.value_or(-1));
    }
}

TEST(SplitRuleOptions, RefusalNamesTheOptionAndTheValueAndSaysWhatToGive) {
    double level = 0;
    std::int64_t ms = 0;
    const struct {
        std::optional<std::string> problem;
        const char* line;
    } cases[] = {
        {readDecibels(level, "--threshold", "6"),
         "--threshold \"6\" is no level: give dBFS between -120 and 0 (-48, -52.5)"},
        {readShare(level, "--split-at", "2"),
         "--split-at \"2\" is no share: give 0 (the silence's start) to 1 (its end), 0.5 its "
         "middle"},
        {readDuration(ms, "--min-silence", "0"),
         "--min-silence \"0\" is no duration: give seconds (2, 0.5) or [[H:]M:]S[.fff] (1:30), "
         "more than 0"},
        {readDuration(ms, "--trim", "soon", true),
         "--trim \"soon\" is no duration: give seconds (2, 0.5) or [[H:]M:]S[.fff] (1:30)"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.problem.value_or("(read)"), c.line);
}

}  // namespace
}  // namespace snipwell::test

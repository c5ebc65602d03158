// Times as a person types them into snipwell-cut and reads them back.

#include <gtest/gtest.h>

#include "common/clip_time.h"

namespace snipwell::test {
namespace {

// One table: bare milliseconds, the clock forms, and what is refused.
TEST(ClipTime, ReadsBareMillisecondsAndClockFormsAndRefusesTheRest) {
    const struct {
        const char* text;
        std::optional<std::int32_t> milliseconds;
    } cases[] = {
        // A bare whole number stays milliseconds, as every existing call meant.
        {"0", 0},
        {"1500", 1'500},
        {"65000", 65'000},
        {"-20", -20},  // read here; refused later as an invalid selection
        {"2147483647", 2'147'483'647},
        // [[H:]M:]S[.fff]
        {"1:05", 65'000},
        {"1:32.5", 92'500},
        {"0:00.001", 1},
        {"2.5", 2'500},
        {"0.25", 250},
        {"1:02:03.250", 3'723'250},
        {"75:00", 4'500'000},
        {"596:31:23.647", 2'147'483'647},
        // Refused.
        {"", std::nullopt},
        {"1s", std::nullopt},
        {"1:5", std::nullopt},  // seconds after a colon have two digits
        {"1:60", std::nullopt},
        {"1:60:00", std::nullopt},
        {"1:00:00:00", std::nullopt},
        {"1:", std::nullopt},
        {":05", std::nullopt},
        {"1::05", std::nullopt},
        {"1.", std::nullopt},
        {".5", std::nullopt},
        {"1.2345", std::nullopt},  // finer than a millisecond
        {"1.5.0", std::nullopt},
        {"-1:05", std::nullopt},
        {"+500", std::nullopt},
        {" 500", std::nullopt},
        {"1,5", std::nullopt},
        {"2147483648", std::nullopt},
        {"596:31:23.648", std::nullopt},
        {"99999999999:00", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseClipTime(c.text), c.milliseconds) << '"' << c.text << '"';
    }
}

TEST(ClipTime, PrintsMinutesSecondsAndMilliseconds) {
    EXPECT_EQ(formatClipTime(2'000), "0:02.000");
    EXPECT_EQ(formatClipTime(252'345), "4:12.345");
    EXPECT_EQ(formatClipTime(3'723'250), "1:02:03.250");
}

}  // namespace
}  // namespace snipwell::test

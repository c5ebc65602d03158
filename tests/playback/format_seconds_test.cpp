#include "playback/format_seconds.h"

#include <gtest/gtest.h>

namespace snipwell {
namespace {

TEST(FormatSeconds, WritesHoursMinutesSecondsWithSignSlots) {
    struct Case {
        std::int32_t seconds;
        const char* text;
    };
    const Case cases[] = {
        {0, " 0 : 0 : 0"},
        {59, " 0 : 0 : 59"},
        {61, " 0 : 1 : 1"},
        {3600, " 1 : 0 : 0"},
        {3725, " 1 : 2 : 5"},
        {3599, " 0 : 59 : 59"},
        {32767, " 9 : 6 : 7"},
        {-1, " 0 : 0 :-1"},
        {-61, " 0 :-1 :-1"},
        {-3725, "-1 :-2 :-5"},
        {-32768, "-9 :-6 :-8"},
        // Past nine hours: long recordings must still show their time.
        {32768, " 9 : 6 : 8"},
        {40000, " 11 : 6 : 40"},
        {2147483647, " 596523 : 14 : 7"},
        {-2147483647 - 1, "-596523 :-14 :-8"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatSeconds(c.seconds), c.text) << c.seconds;
}

}  // namespace
}  // namespace snipwell

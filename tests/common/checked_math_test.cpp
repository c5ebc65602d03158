#include "common/checked_math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/runtime_error.h"

namespace snipwell {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(CheckedMath, RefusesResultsThatDoNotFit32Bits) {
    EXPECT_EQ(checkedMul(16, 250000), 4000000);
    EXPECT_EQ(checkedAdd(kMax - 1, 1), kMax);
    EXPECT_THROW(checkedAdd(kMax, 1), RuntimeError);
    EXPECT_THROW(checkedSub(kMin, 1), RuntimeError);
    EXPECT_THROW(checkedMul(2147484, 1000), RuntimeError);
    EXPECT_THROW(checkedDiv(kMin, -1), RuntimeError);
}

TEST(CheckedMath, DivisionTruncatesTowardZeroAndRefusesZero) {
    EXPECT_EQ(checkedDiv(3975, 245), 16);
    EXPECT_EQ(checkedDiv(-1500, 1000), -1);
    try {
        checkedDiv(3975, 0);
        FAIL() << "division by zero went through";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::DivisionByZero);
    }
}

TEST(CheckedMath, RoundingGoesToTheEvenNeighbourOnTies) {
    struct Case {
        double value;
        std::int32_t expected;
    };
    for (const Case c : {Case{12.5, 12}, Case{13.5, 14}, Case{-12.5, -12}, Case{15.999, 16},
                         Case{0.5, 0}, Case{2147483647.4, kMax}, Case{-2147483648.0, kMin}}) {
        EXPECT_EQ(roundHalfEvenToInt32(c.value), c.expected) << c.value;
    }
    EXPECT_THROW(roundHalfEvenToInt32(2147483647.5), RuntimeError);
    EXPECT_THROW(roundHalfEvenToInt32(std::numeric_limits<double>::quiet_NaN()), RuntimeError);
}

}  // namespace
}  // namespace snipwell

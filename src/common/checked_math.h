#pragma once
// 32-bit signed arithmetic that refuses to wrap. Marks, offsets and slider
// units are 32-bit values; a result that does not fit raises an overflow
// error instead of silently producing a wrong position.

#include <cstdint>

namespace snipwell {

std::int32_t checkedAdd(std::int32_t a, std::int32_t b);
std::int32_t checkedSub(std::int32_t a, std::int32_t b);
std::int32_t checkedMul(std::int32_t a, std::int32_t b);
// Integer division truncating toward zero; by zero raises the division error.
std::int32_t checkedDiv(std::int32_t a, std::int32_t b);
// Rounds to the nearest 32-bit integer, a tie going to the even neighbour;
// a value outside the 32-bit range (or not a number) raises an overflow error.
std::int32_t roundHalfEvenToInt32(double value);

}  // namespace snipwell

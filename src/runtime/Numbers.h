#pragma once
// Number conversions with the rules the game's arithmetic relies on: converting a
// float to an integer rounds to the nearest, halves to the even neighbour, and a
// result outside the target type raises the overflow error.
#include <cstdint>

namespace rt {

// 16-bit integer, round half to even; overflow error outside -32768..32767.
int16_t CInt(double value);
// 32-bit integer, round half to even; overflow error outside the 32-bit range.
int32_t CLng(double value);
// Integer part rounded down (Int(-1.5) = -2).
double Int(double value);
// 16-bit and 32-bit integer arithmetic that raises the overflow error.
int16_t CheckedInt16(int64_t value);
int32_t CheckedInt32(int64_t value);

}  // namespace rt

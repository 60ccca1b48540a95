#include "runtime/Numbers.h"

#include <cmath>
#include <limits>

#include "runtime/RuntimeError.h"

namespace rt {

namespace {

double RoundHalfEven(double value) {
  if (std::isnan(value)) Raise(ErrOverflow);
  return std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
}

template <typename T>
T ConvertRounded(double value) {
  const double r = RoundHalfEven(value);
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max()))
    Raise(ErrOverflow);
  return static_cast<T>(r);
}

}  // namespace

int16_t CInt(double value) { return ConvertRounded<int16_t>(value); }
int32_t CLng(double value) { return ConvertRounded<int32_t>(value); }
double Int(double value) { return std::floor(value); }

int16_t CheckedInt16(int64_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
    Raise(ErrOverflow);
  return static_cast<int16_t>(value);
}

int32_t CheckedInt32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    Raise(ErrOverflow);
  return static_cast<int32_t>(value);
}

}  // namespace rt

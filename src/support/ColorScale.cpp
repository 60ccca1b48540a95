#include "support/ColorScale.h"

#include <cmath>

#include "runtime/Numbers.h"

int32_t ColorForPercent(float Pct) {
  const double k = 255.0 / 50.0;
  const double pct = Pct;
  if (pct < 50) {
    const int32_t green = 255 - rt::CInt(std::fabs(pct - 50) * k);
    return 255 + 256 * (green < 0 ? 0 : green);
  }
  const int32_t red = rt::CInt(std::fabs(pct - 100) * k);
  return red + 256 * 255;
}

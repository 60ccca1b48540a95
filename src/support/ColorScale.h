#pragma once
// The colour scale of the score bars and the time bar.
#include <cstdint>

// Colour of a percentage on the scale red (0 or less) - yellow (50) - green (100), as
// red + 256 x green. The factor 255 / 50 is held as a double just below 5.1, so products
// that would be exact halves round down: 25 gives green 128, 75 gives red 127.
int32_t ColorForPercent(float Pct);

#pragma once
// Positions and sizes are twips, as the game's layout figures are written. The
// program assumes 96 dots per inch: 15 twips per pixel in both directions, so a
// 32 x 32 pixel ball picture is 480 x 480 twips.
#include <cmath>

namespace rt {

inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest pixel; across and down alike.
inline int Px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
// Pixels to twips.
inline double Twips(int px) { return static_cast<double>(px) * kTwipsPerPixel; }

}  // namespace rt

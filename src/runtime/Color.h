#pragma once
// Colours as the game writes them: one 32-bit value red + 256 * green + 65536 * blue,
// each component 0 to 255, and the 16 standard colours by number.
#include <QColor>
#include <cstdint>

namespace rt {

using Color = int32_t;

constexpr Color RGB(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

inline constexpr Color kBlack = RGB(0, 0, 0);
inline constexpr Color kWhite = RGB(255, 255, 255);

// The standard colour number 0..15 (0 black, 7 light grey, 15 white); error 5 outside.
Color QBColor(int number);

QColor ToQColor(Color color);
Color FromQColor(const QColor& color);

}  // namespace rt

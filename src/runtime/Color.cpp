#include "runtime/Color.h"

#include <array>

#include "runtime/RuntimeError.h"

namespace rt {

namespace {
constexpr int kErrInvalidCall = 5;
}

Color QBColor(int number) {
  static constexpr std::array<Color, 16> kColors = {
      RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
      RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
      RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
      RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255)};
  if (number < 0 || number >= static_cast<int>(kColors.size())) Raise(kErrInvalidCall);
  return kColors[static_cast<size_t>(number)];
}

QColor ToQColor(Color color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

Color FromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

}  // namespace rt

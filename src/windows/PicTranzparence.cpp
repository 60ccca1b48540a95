#include "windows/PicTranzparence.h"

#include <QImage>

#include "runtime/Controls.h"
#include "runtime/Numbers.h"
#include "runtime/Twips.h"

namespace {

// A colour no pixel of the box has: the box's pixels are opaque, this one is not.
constexpr QRgb kOutsideTheBox = 0;

}  // namespace

QRegion RegionFromPicture(const rt::PictureBox& Pic) {
  QRegion outline;
  const int h = rt::Px(Pic.Height());
  const int w = rt::Px(Pic.Width());
  if (h <= 0 || w <= 0) return outline;
  const QImage shown = Pic.Snapshot();
  auto colourAt = [&shown](int x, int y) { return shown.valid(x, y) ? shown.pixel(x, y) : kOutsideTheBox; };
  const QRgb transparent = colourAt(0, 0);
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      while (x < w && colourAt(x, y) == transparent) ++x;
      if (x == w) break;
      const int start = x;
      while (x < w && colourAt(x, y) != transparent) ++x;
      outline += QRect(start, y, x - start, 1);
    }
  }
  return outline;
}

void MakePictureTransparent(rt::PictureBox& Pic) {
  const double left = rt::CLng(Pic.Left());
  const double top = rt::CLng(Pic.Top());
  Pic.SetVisible(true);
  Pic.Move(0, 0);
  Pic.SetBorderStyle(0);
  Pic.SetAutoSize(true);
  Pic.SetRegion(RegionFromPicture(Pic));
  Pic.Move(left, top);
}

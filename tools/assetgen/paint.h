// Drawing helpers shared by the picture generators of the asset tool.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace gen {

// The eleven ball colours, index = ball picture number 0..10.
QColor BallColor(int index);
// A German name of the colour and of the mark (for the log and the README).
QString BallColorName(int index);
QString MarkName(int index);

// A glossy ball filling `r` (a circle), with the mark `mark` (0..10, or -1 for none) in its highlight.
void DrawBall(QPainter& p, const QRectF& r, const QColor& base, int mark = -1);
// A ball painted with a rainbow (conical hue) body and the gloss.
void DrawRainbowBall(QPainter& p, const QRectF& r);
// The mark shape `mark` centred at `c` with size `s` (its bounding square), filled with `fill`
// and outlined with `line`.
void DrawMark(QPainter& p, QPointF c, qreal s, int mark, const QColor& fill, const QColor& line);
// A friendly face (eyes, cheeks, smile) on a ball drawn in `r`.
void DrawFace(QPainter& p, const QRectF& r);

// A tick, a cross, a U-turn arrow: light strokes with a soft dark rim, inside `r`.
void DrawTick(QPainter& p, const QRectF& r, const QColor& light, const QColor& rim);
void DrawCross(QPainter& p, const QRectF& r, const QColor& light, const QColor& rim);
void DrawUTurn(QPainter& p, const QRectF& r, const QColor& light, const QColor& rim);
// Red lips inside `r`.
void DrawLips(QPainter& p, const QRectF& r);

// A bold font of the generator (DejaVu Sans Bold; pixel size).
QFont BoldFont(int pixelSize);
QFont PlainFont(int pixelSize);

// Text drawn as a path: filled with `fill`, outlined by `outline` (width `ow`), with a soft
// drop shadow of `shadowOffset` pixels.
void DrawFancyText(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline,
                   qreal ow);

// Box blur of an ARGB32 premultiplied image (radius r, n passes), in place.
void Blur(QImage& img, int r, int passes = 3);
// A soft shadow: draws `shape` in `color` on a transparent layer the size of `into`, blurs it
// and composes it onto `into` at `offset`.
void SoftShadow(QImage& into, const QPainterPath& shape, const QColor& color, QPointF offset, int blur);

// Every pixel that is nearly white (all channels >= limit) becomes pure white, every other pixel
// that is pure white inside the picture becomes off-white (254, 254, 252) - the background then is
// the only pure white. `keepOuter` pixels wide border stays pure white.
void CleanWhite(QImage& img, int limit, bool forceBorder);

// Puts a drawing made on a transparent canvas onto pure white: pixels less than half covered become
// pure white (so that a cut along the white leaves no pale halo), the others are blended with white
// by their coverage. The result is opaque.
QImage OnWhiteCutout(const QImage& argb);

// Savers. Each fails loudly (exit 1) when the file cannot be written.
void SaveBmp24(const QImage& img, const QString& path);
void SavePngRgb(const QImage& img, const QString& path);
void SavePngArgb(const QImage& img, const QString& path);
void SaveJpg(const QImage& img, const QString& path, int quality);

// A white RGB canvas and an transparent ARGB canvas.
QImage WhiteCanvas(int w, int h);
QImage ClearCanvas(int w, int h);

// Deterministic random numbers (xorshift) for the pictures: same seed, same picture.
struct Rng {
  quint64 s;
  explicit Rng(quint64 seed) : s(seed ? seed : 1) {}
  quint32 next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return quint32(s >> 11);
  }
  double uniform() { return (next() & 0xFFFFFF) / double(0x1000000); }
  int below(int n) { return int(uniform() * n); }
};

}  // namespace gen

// Generators (pictures.cpp, tutorial.cpp, sounds.cpp). `root` is the assets/ folder.
void MakeBallPictures(const QString& root);
void MakeBackground(const QString& root);
void MakeDesignPictures(const QString& root);
void MakeTutorialPictures(const QString& root);
void MakeSoundEffects(const QString& root);

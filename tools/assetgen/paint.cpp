#include "paint.h"

#include <QFile>
#include <QImageWriter>
#include <QtMath>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <algorithm>

namespace gen {

namespace {

QColor Mix(const QColor& a, const QColor& b, qreal t) {
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                          float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t),
                          float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

struct BallDef {
  QColor color;
  const char* name;
  const char* mark;
};

// Neighbouring numbers alternate dark and bright, so that two neighbours also differ in brightness.
const BallDef kBalls[11] = {
    {QColor(222, 32, 44), "rot", "Herz"},
    {QColor(255, 212, 0), "gelb", "Stern"},
    {QColor(28, 84, 214), "blau", "Kreis"},
    {QColor(118, 214, 48), "hellgruen", "Dreieck"},
    {QColor(138, 48, 182), "lila", "Quadrat"},
    {QColor(255, 146, 20), "orange", "Raute"},
    {QColor(0, 118, 96), "dunkelgruen", "Plus"},
    {QColor(255, 128, 196), "rosa", "Mond"},
    {QColor(124, 72, 30), "braun", "Ring"},
    {QColor(70, 204, 240), "hellblau", "Tropfen"},
    {QColor(58, 58, 72), "schwarzgrau", "Blitz"},
};

QPainterPath UnitMark(int mark) {
  QPainterPath p;
  switch (mark) {
    case 0: {  // heart
      p.moveTo(0, 0.46);
      p.cubicTo(-0.2, 0.3, -0.52, 0.08, -0.5, -0.16);
      p.cubicTo(-0.48, -0.44, -0.12, -0.5, 0, -0.22);
      p.cubicTo(0.12, -0.5, 0.48, -0.44, 0.5, -0.16);
      p.cubicTo(0.52, 0.08, 0.2, 0.3, 0, 0.46);
      p.closeSubpath();
      break;
    }
    case 1: {  // five-pointed star
      for (int i = 0; i < 10; ++i) {
        qreal a = -M_PI / 2 + i * M_PI / 5;
        qreal rr = (i % 2 == 0) ? 0.52 : 0.22;
        QPointF q(rr * qCos(a), rr * qSin(a) + 0.04);
        if (i == 0)
          p.moveTo(q);
        else
          p.lineTo(q);
      }
      p.closeSubpath();
      break;
    }
    case 2:  // circle
      p.addEllipse(QPointF(0, 0), 0.38, 0.38);
      break;
    case 3:  // triangle
      p.moveTo(0, -0.48);
      p.lineTo(0.5, 0.4);
      p.lineTo(-0.5, 0.4);
      p.closeSubpath();
      break;
    case 4:  // square
      p.addRect(QRectF(-0.34, -0.34, 0.68, 0.68));
      break;
    case 5:  // diamond
      p.moveTo(0, -0.52);
      p.lineTo(0.4, 0);
      p.lineTo(0, 0.52);
      p.lineTo(-0.4, 0);
      p.closeSubpath();
      break;
    case 6: {  // plus
      const qreal a = 0.16, b = 0.5;
      p.moveTo(-a, -b);
      p.lineTo(a, -b);
      p.lineTo(a, -a);
      p.lineTo(b, -a);
      p.lineTo(b, a);
      p.lineTo(a, a);
      p.lineTo(a, b);
      p.lineTo(-a, b);
      p.lineTo(-a, a);
      p.lineTo(-b, a);
      p.lineTo(-b, -a);
      p.lineTo(-a, -a);
      p.closeSubpath();
      break;
    }
    case 7: {  // crescent moon
      QPainterPath outer, inner;
      outer.addEllipse(QPointF(0, 0), 0.46, 0.46);
      inner.addEllipse(QPointF(0.28, -0.16), 0.34, 0.34);
      p = outer.subtracted(inner);
      break;
    }
    case 8: {  // ring
      QPainterPath outer, inner;
      outer.addEllipse(QPointF(0, 0), 0.44, 0.44);
      inner.addEllipse(QPointF(0, 0), 0.16, 0.16);
      p = outer.subtracted(inner);
      break;
    }
    case 9:  // drop
      p.moveTo(0, -0.54);
      p.cubicTo(0.1, -0.3, 0.38, -0.04, 0.36, 0.16);
      p.cubicTo(0.34, 0.42, 0.14, 0.5, 0, 0.5);
      p.cubicTo(-0.14, 0.5, -0.34, 0.42, -0.36, 0.16);
      p.cubicTo(-0.38, -0.04, -0.1, -0.3, 0, -0.54);
      p.closeSubpath();
      break;
    default:  // lightning bolt
      p.moveTo(0.2, -0.56);
      p.lineTo(-0.4, 0.1);
      p.lineTo(-0.04, 0.1);
      p.lineTo(-0.2, 0.56);
      p.lineTo(0.42, -0.12);
      p.lineTo(0.06, -0.12);
      p.lineTo(0.2, -0.56);
      p.closeSubpath();
      break;
  }
  return p;
}

}  // namespace

QColor BallColor(int index) { return kBalls[index].color; }
QString BallColorName(int index) { return QString::fromLatin1(kBalls[index].name); }
QString MarkName(int index) { return QString::fromLatin1(kBalls[index].mark); }

void DrawMark(QPainter& p, QPointF c, qreal s, int mark, const QColor& fill, const QColor& line) {
  QTransform t;
  t.translate(c.x(), c.y());
  t.scale(s, s);
  QPainterPath path = t.map(UnitMark(mark));
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(line, qMax(0.9, s * 0.1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
  p.restore();
}

static void DrawGloss(QPainter& p, const QRectF& r) {
  const QPointF c = r.center();
  const qreal R = r.width() / 2;
  // Soft light at the bottom (light thrown back from the ground).
  QRadialGradient back(QPointF(c.x(), c.y() + 0.7 * R), 0.6 * R);
  back.setColorAt(0, QColor(255, 255, 250, 90));
  back.setColorAt(1, QColor(255, 255, 250, 0));
  QPainterPath clip;
  clip.addEllipse(r);
  p.save();
  p.setClipPath(clip);
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawEllipse(QPointF(c.x(), c.y() + 0.7 * R), 0.6 * R, 0.35 * R);
  // The gloss: an off-white cap on the upper half.
  QRectF cap(c.x() - 0.64 * R, c.y() - 0.9 * R, 1.28 * R, 0.82 * R);
  QLinearGradient g(cap.topLeft(), cap.bottomLeft());
  g.setColorAt(0, QColor(255, 255, 248, 215));
  g.setColorAt(1, QColor(255, 255, 248, 12));
  p.setBrush(g);
  p.drawEllipse(cap);
  p.restore();
}

void DrawBall(QPainter& p, const QRectF& r, const QColor& base, int mark) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c = r.center();
  const qreal R = r.width() / 2;
  QRadialGradient body(c, R, QPointF(c.x() - 0.35 * R, c.y() - 0.42 * R));
  body.setColorAt(0, Mix(base, QColor(255, 255, 255), 0.45));
  body.setColorAt(0.55, base);
  body.setColorAt(1, Mix(base, QColor(0, 0, 0), 0.42));
  p.setPen(QPen(Mix(base, QColor(0, 0, 0), 0.55), qMax(0.8, R * 0.05)));
  p.setBrush(body);
  p.drawEllipse(r.adjusted(0.4, 0.4, -0.4, -0.4));
  DrawGloss(p, r);
  if (mark >= 0) {
    DrawMark(p, QPointF(c.x() - 0.1 * R, c.y() - 0.08 * R), 0.78 * R, mark, QColor(252, 252, 244),
             Mix(base, QColor(0, 0, 0), 0.6));
  }
  p.restore();
}

void DrawRainbowBall(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c = r.center();
  const qreal R = r.width() / 2;
  QConicalGradient rainbow(c, 90);
  const int n = 7;
  for (int i = 0; i <= n; ++i)
    rainbow.setColorAt(qreal(i) / n, QColor::fromHsv((i * 360 / n) % 360, 230, 255));
  p.setPen(Qt::NoPen);
  p.setBrush(rainbow);
  p.drawEllipse(r.adjusted(0.4, 0.4, -0.4, -0.4));
  QRadialGradient shade(c, R, QPointF(c.x() - 0.35 * R, c.y() - 0.42 * R));
  shade.setColorAt(0, QColor(255, 255, 255, 110));
  shade.setColorAt(0.5, QColor(255, 255, 255, 0));
  shade.setColorAt(1, QColor(0, 0, 0, 110));
  p.setBrush(shade);
  p.setPen(QPen(QColor(70, 40, 90), qMax(0.8, R * 0.05)));
  p.drawEllipse(r.adjusted(0.4, 0.4, -0.4, -0.4));
  DrawGloss(p, r);
  p.restore();
}

void DrawFace(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c = r.center();
  const qreal R = r.width() / 2;
  // Cheeks.
  p.setPen(Qt::NoPen);
  for (int s : {-1, 1}) {
    QRadialGradient cheek(QPointF(c.x() + s * 0.52 * R, c.y() + 0.22 * R), 0.2 * R);
    cheek.setColorAt(0, QColor(255, 150, 170, 170));
    cheek.setColorAt(1, QColor(255, 150, 170, 0));
    p.setBrush(cheek);
    p.drawEllipse(QPointF(c.x() + s * 0.52 * R, c.y() + 0.22 * R), 0.2 * R, 0.2 * R);
  }
  // Eyes.
  for (int s : {-1, 1}) {
    QPointF e(c.x() + s * 0.3 * R, c.y() - 0.12 * R);
    p.setPen(QPen(QColor(30, 20, 30), 0.04 * R));
    p.setBrush(QColor(252, 252, 250));
    p.drawEllipse(e, 0.17 * R, 0.22 * R);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 20, 40));
    p.drawEllipse(e + QPointF(0.03 * R, 0.05 * R), 0.1 * R, 0.13 * R);
    p.setBrush(QColor(252, 252, 250));
    p.drawEllipse(e + QPointF(0.0, 0.0), 0.04 * R, 0.05 * R);
  }
  // Smile.
  QPainterPath smile;
  smile.moveTo(c.x() - 0.36 * R, c.y() + 0.2 * R);
  smile.cubicTo(c.x() - 0.2 * R, c.y() + 0.58 * R, c.x() + 0.2 * R, c.y() + 0.58 * R, c.x() + 0.36 * R,
                c.y() + 0.2 * R);
  smile.cubicTo(c.x() + 0.16 * R, c.y() + 0.36 * R, c.x() - 0.16 * R, c.y() + 0.36 * R,
                c.x() - 0.36 * R, c.y() + 0.2 * R);
  p.setPen(QPen(QColor(60, 10, 20), 0.04 * R, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(150, 20, 40));
  p.drawPath(smile);
  p.restore();
}

static void StrokeTwice(QPainter& p, const QPainterPath& path, qreal w, const QColor& light,
                        const QColor& rim) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(rim, w * 1.45, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(light, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.restore();
}

void DrawTick(QPainter& p, const QRectF& r, const QColor& light, const QColor& rim) {
  QPainterPath path;
  path.moveTo(r.left() + 0.2 * r.width(), r.top() + 0.52 * r.height());
  path.lineTo(r.left() + 0.42 * r.width(), r.top() + 0.74 * r.height());
  path.lineTo(r.left() + 0.8 * r.width(), r.top() + 0.28 * r.height());
  StrokeTwice(p, path, r.width() * 0.13, light, rim);
}

void DrawCross(QPainter& p, const QRectF& r, const QColor& light, const QColor& rim) {
  QPainterPath path;
  path.moveTo(r.left() + 0.28 * r.width(), r.top() + 0.28 * r.height());
  path.lineTo(r.left() + 0.72 * r.width(), r.top() + 0.72 * r.height());
  path.moveTo(r.left() + 0.72 * r.width(), r.top() + 0.28 * r.height());
  path.lineTo(r.left() + 0.28 * r.width(), r.top() + 0.72 * r.height());
  StrokeTwice(p, path, r.width() * 0.13, light, rim);
}

void DrawUTurn(QPainter& p, const QRectF& r, const QColor& light, const QColor& rim) {
  const qreal w = r.width(), h = r.height();
  QPainterPath path;
  // From the lower right up, over a half circle to the left, down to the arrow head.
  path.moveTo(r.left() + 0.7 * w, r.top() + 0.74 * h);
  path.lineTo(r.left() + 0.7 * w, r.top() + 0.46 * h);
  path.arcTo(QRectF(r.left() + 0.3 * w, r.top() + 0.26 * h, 0.4 * w, 0.4 * h), 0, 180);
  path.lineTo(r.left() + 0.3 * w, r.top() + 0.6 * h);
  QPainterPath head;
  head.moveTo(r.left() + 0.17 * w, r.top() + 0.56 * h);
  head.lineTo(r.left() + 0.3 * w, r.top() + 0.74 * h);
  head.lineTo(r.left() + 0.43 * w, r.top() + 0.56 * h);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal lw = w * 0.11;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(rim, lw * 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.drawPath(head);
  p.setPen(QPen(light, lw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.drawPath(head);
  p.restore();
}

void DrawLips(QPainter& p, const QRectF& r) {
  const qreal w = r.width(), h = r.height();
  auto P = [&](qreal x, qreal y) { return QPointF(r.left() + x * w, r.top() + y * h); };
  QPainterPath upper;
  upper.moveTo(P(0, 0.5));
  upper.cubicTo(P(0.14, 0.32), P(0.28, 0.06), P(0.4, 0.1));
  upper.cubicTo(P(0.45, 0.12), P(0.48, 0.18), P(0.5, 0.22));
  upper.cubicTo(P(0.52, 0.18), P(0.55, 0.12), P(0.6, 0.1));
  upper.cubicTo(P(0.72, 0.06), P(0.86, 0.32), P(1, 0.5));
  upper.cubicTo(P(0.8, 0.46), P(0.62, 0.52), P(0.5, 0.5));
  upper.cubicTo(P(0.38, 0.52), P(0.2, 0.46), P(0, 0.5));
  upper.closeSubpath();
  QPainterPath lower;
  lower.moveTo(P(0, 0.5));
  lower.cubicTo(P(0.2, 0.56), P(0.38, 0.58), P(0.5, 0.56));
  lower.cubicTo(P(0.62, 0.58), P(0.8, 0.56), P(1, 0.5));
  lower.cubicTo(P(0.86, 0.78), P(0.68, 0.94), P(0.5, 0.94));
  lower.cubicTo(P(0.32, 0.94), P(0.14, 0.78), P(0, 0.5));
  lower.closeSubpath();
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gu(P(0, 0), P(0, 0.5));
  gu.setColorAt(0, QColor(240, 60, 70));
  gu.setColorAt(1, QColor(180, 10, 30));
  QLinearGradient gl(P(0, 0.5), P(0, 1));
  gl.setColorAt(0, QColor(200, 20, 40));
  gl.setColorAt(0.4, QColor(236, 50, 64));
  gl.setColorAt(1, QColor(170, 10, 30));
  const QPen edge(QColor(110, 0, 20), qMax(0.8, w * 0.035), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(edge);
  p.setBrush(gl);
  p.drawPath(lower);
  p.setBrush(gu);
  p.drawPath(upper);
  // Highlight on the lower lip.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 205, 170));
  p.drawEllipse(QRectF(P(0.34, 0.66), P(0.56, 0.76)));
  p.restore();
}

QFont BoldFont(int pixelSize) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixelSize);
  f.setBold(true);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

QFont PlainFont(int pixelSize) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixelSize);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

void DrawFancyText(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline,
                   qreal ow) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(outline, ow, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(path);
  p.restore();
}

void Blur(QImage& img, int r, int passes) {
  if (r < 1) return;
  img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int w = img.width(), h = img.height();
  std::vector<int> buf(std::max(w, h) * 4);
  for (int pass = 0; pass < passes; ++pass) {
    // Horizontal.
    for (int y = 0; y < h; ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < w; ++x) {
        buf[x * 4 + 0] = qAlpha(line[x]);
        buf[x * 4 + 1] = qRed(line[x]);
        buf[x * 4 + 2] = qGreen(line[x]);
        buf[x * 4 + 3] = qBlue(line[x]);
      }
      for (int x = 0; x < w; ++x) {
        int s[4] = {0, 0, 0, 0}, n = 0;
        for (int k = x - r; k <= x + r; ++k) {
          if (k < 0 || k >= w) continue;
          for (int c = 0; c < 4; ++c) s[c] += buf[k * 4 + c];
          ++n;
        }
        const int d = 2 * r + 1;
        (void)n;
        line[x] = qRgba(s[1] / d, s[2] / d, s[3] / d, s[0] / d);
      }
    }
    // Vertical.
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) {
        QRgb v = reinterpret_cast<QRgb*>(img.scanLine(y))[x];
        buf[y * 4 + 0] = qAlpha(v);
        buf[y * 4 + 1] = qRed(v);
        buf[y * 4 + 2] = qGreen(v);
        buf[y * 4 + 3] = qBlue(v);
      }
      for (int y = 0; y < h; ++y) {
        int s[4] = {0, 0, 0, 0};
        for (int k = y - r; k <= y + r; ++k) {
          if (k < 0 || k >= h) continue;
          for (int c = 0; c < 4; ++c) s[c] += buf[k * 4 + c];
        }
        const int d = 2 * r + 1;
        reinterpret_cast<QRgb*>(img.scanLine(y))[x] = qRgba(s[1] / d, s[2] / d, s[3] / d, s[0] / d);
      }
    }
  }
}

void SoftShadow(QImage& into, const QPainterPath& shape, const QColor& color, QPointF offset, int blur) {
  QImage layer(into.size(), QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  {
    QPainter q(&layer);
    q.setRenderHint(QPainter::Antialiasing);
    q.translate(offset);
    q.setPen(Qt::NoPen);
    q.setBrush(color);
    q.drawPath(shape);
  }
  Blur(layer, blur, 3);
  QPainter p(&into);
  p.drawImage(0, 0, layer);
}

void CleanWhite(QImage& img, int limit, bool forceBorder) {
  img = img.convertToFormat(QImage::Format_RGB32);
  const int w = img.width(), h = img.height();
  for (int y = 0; y < h; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const bool border = forceBorder && (x == 0 || y == 0 || x == w - 1 || y == h - 1);
      const QRgb v = line[x];
      if (border || (qRed(v) >= limit && qGreen(v) >= limit && qBlue(v) >= limit)) line[x] = qRgb(255, 255, 255);
    }
  }
}

QImage OnWhiteCutout(const QImage& argb) {
  const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
  QImage out(src.size(), QImage::Format_RGB32);
  for (int y = 0; y < src.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < src.width(); ++x) {
      const int a = qAlpha(in[x]);
      if (a < 128) {
        o[x] = qRgb(255, 255, 255);
        continue;
      }
      auto ch = [&](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
      o[x] = qRgb(ch(qRed(in[x])), ch(qGreen(in[x])), ch(qBlue(in[x])));
    }
  }
  return out;
}

static void Fail(const QString& path, const QString& what) {
  std::fprintf(stderr, "assetgen: cannot write %s: %s\n", qPrintable(path), qPrintable(what));
  std::exit(1);
}

void SaveBmp24(const QImage& img, const QString& path) {
  QImageWriter w(path, "bmp");
  if (!w.write(img.convertToFormat(QImage::Format_RGB888))) Fail(path, w.errorString());
}

void SavePngRgb(const QImage& img, const QString& path) {
  QImageWriter w(path, "png");
  w.setCompression(9);
  if (!w.write(img.convertToFormat(QImage::Format_RGB888))) Fail(path, w.errorString());
}

void SavePngArgb(const QImage& img, const QString& path) {
  QImageWriter w(path, "png");
  w.setCompression(9);
  if (!w.write(img.convertToFormat(QImage::Format_ARGB32))) Fail(path, w.errorString());
}

void SaveJpg(const QImage& img, const QString& path, int quality) {
  QImageWriter w(path, "jpeg");
  w.setQuality(quality);
  w.setOptimizedWrite(true);
  if (!w.write(img.convertToFormat(QImage::Format_RGB888))) Fail(path, w.errorString());
}

QImage WhiteCanvas(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(QColor(255, 255, 255));
  return img;
}

QImage ClearCanvas(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

}  // namespace gen

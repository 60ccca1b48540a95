// Ball pictures, the vanishing animation, the board background and the design-data pictures.
#include <QDir>
#include <QtMath>
#include <cstdio>
#include <functional>

#include "paint.h"

using namespace gen;

namespace {

QString Num4(int i) { return QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')); }

// A four-pointed sparkle (star of light) centred at c with radius r.
void Sparkle(QPainter& p, QPointF c, qreal r, const QColor& col) {
  QPainterPath s;
  s.moveTo(c.x(), c.y() - r);
  s.quadTo(c.x() + r * 0.15, c.y() - r * 0.15, c.x() + r, c.y());
  s.quadTo(c.x() + r * 0.15, c.y() + r * 0.15, c.x(), c.y() + r);
  s.quadTo(c.x() - r * 0.15, c.y() + r * 0.15, c.x() - r, c.y());
  s.quadTo(c.x() - r * 0.15, c.y() - r * 0.15, c.x(), c.y() - r);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(col);
  p.drawPath(s);
  p.restore();
}

}  // namespace

void MakeBallPictures(const QString& root) {
  const QString dir = root + QStringLiteral("/grafics/");
  for (int i = 0; i <= 10; ++i) {
    QImage drawing = ClearCanvas(32, 32);
    {
      QPainter p(&drawing);
      DrawBall(p, QRectF(1.5, 1.5, 29, 29), BallColor(i), i);
    }
    QImage img = OnWhiteCutout(drawing);
    CleanWhite(img, 250, true);
    SaveBmp24(img, dir + QStringLiteral("QQ_Balls") + Num4(i) + QStringLiteral(".bmp"));
  }
  // The vanishing animation: a silver ball that shrinks into sparkles. Frames 0..3 are shown,
  // frame 4 is the last trace.
  const QColor silver(176, 182, 196);
  const QColor gold(255, 196, 40);
  const QColor violet(150, 90, 230);
  for (int f = 0; f <= 4; ++f) {
    QImage img = WhiteCanvas(32, 32);
    {
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing);
      const QPointF c(16, 16);
      const qreal radius[5] = {12.5, 9, 5.5, 2.5, 0};
      if (radius[f] > 0)
        DrawBall(p, QRectF(c.x() - radius[f], c.y() - radius[f], 2 * radius[f], 2 * radius[f]), silver);
      // Sparkles fly outwards.
      const qreal dist[5] = {9, 11, 12.5, 13, 13.5};
      const qreal size[5] = {3.5, 4.5, 4.5, 3.5, 2.2};
      for (int k = 0; k < 8; ++k) {
        const qreal a = k * M_PI / 4 + f * 0.22;
        const qreal d = dist[f] * ((k % 2) ? 0.78 : 1.0);
        QPointF q(c.x() + d * qCos(a), c.y() + d * qSin(a));
        const QColor col = (k % 2) ? violet : gold;
        if (f == 4 && k % 2) continue;
        Sparkle(p, q, size[f] * ((k % 2) ? 0.75 : 1.0), col);
      }
      if (f >= 1 && f <= 3) Sparkle(p, c, 7 - f * 1.5, QColor(255, 222, 90));
    }
    CleanWhite(img, 250, true);
    SaveBmp24(img, dir + QStringLiteral("QQ_Anim") + Num4(f) + QStringLiteral(".bmp"));
  }
}

void MakeBackground(const QString& root) {
  // 11 x 12 cells of 32 pixels (352 x 384) plus a margin of 16 pixels on every side.
  const int W = 384, H = 416, M = 16;
  QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(QPointF(W / 2.0, H / 2.0), W * 0.75);
  g.setColorAt(0, QColor(255, 176, 60));
  g.setColorAt(1, QColor(238, 112, 8));
  p.fillRect(img.rect(), g);
  // Bubbles of light in the margin (deterministic).
  Rng rng(20070423);
  for (int k = 0; k < 90; ++k) {
    const qreal x = rng.uniform() * W, y = rng.uniform() * H;
    const qreal r = 2 + rng.uniform() * 5;
    const int a = 30 + rng.below(50);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 170, a));
    p.drawEllipse(QPointF(x, y), r, r);
  }
  // Outer bevel.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 214, 140), 2));
  p.drawLine(QPointF(1, H - 1), QPointF(1, 1));
  p.drawLine(QPointF(1, 1), QPointF(W - 1, 1));
  p.setPen(QPen(QColor(190, 80, 0), 2));
  p.drawLine(QPointF(W - 1, 1), QPointF(W - 1, H - 1));
  p.drawLine(QPointF(W - 1, H - 1), QPointF(1, H - 1));
  // The board lies sunk into the background: a soft frame around the board area.
  const QRectF board(M, M, W - 2 * M, H - 2 * M);
  p.setPen(QPen(QColor(255, 236, 200), 3));
  p.drawRoundedRect(board.adjusted(-5, -5, 5, 5), 6, 6);
  p.setPen(QPen(QColor(176, 70, 0), 2));
  p.drawRoundedRect(board.adjusted(-2, -2, 2, 2), 3, 3);
  p.end();
  SaveBmp24(img, root + QStringLiteral("/grafics/BG_Orange.bmp"));
}

// --- design data -------------------------------------------------------------------------------

namespace {

QImage SignPicture(const QString& glyph, const QColor& ground) {
  const int S = 92;
  QImage img(S, S, QImage::Format_ARGB32_Premultiplied);
  img.fill(ground);
  QFont f = BoldFont(glyph == QStringLiteral("i") ? 76 : 72);
  if (glyph == QStringLiteral("X")) f = BoldFont(70);
  QPainterPath path;
  path.addText(0, 0, f, glyph);
  const QRectF b = path.boundingRect();
  path.translate(S / 2.0 - b.center().x() - 2, S / 2.0 - b.center().y() - 2);
  SoftShadow(img, path, QColor(90, 90, 90, 150), QPointF(4, 4), 2);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0));
  p.drawPath(path);
  return img;
}

// A 64 x 66 button picture: draw paints on white, which is then cut away cleanly.
QImage ButtonPicture(const std::function<void(QPainter&)>& draw) {
  QImage drawing = ClearCanvas(64, 66);
  {
    QPainter p(&drawing);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
  }
  QImage img = OnWhiteCutout(drawing);
  CleanWhite(img, 252, true);
  return img;
}

QImage BallButton(const QColor& base, int kind) {
  // The ball, and a light symbol on it.
  return ButtonPicture([&](QPainter& p) {
    const QRectF r(4, 5, 56, 56);
    DrawBall(p, r, base);
    const QColor light(250, 252, 236), rim(0, 0, 0, 110);
    const QRectF inner = r.adjusted(6, 6, -6, -6);
    if (kind == 0) DrawTick(p, inner, light, rim);
    if (kind == 1) DrawCross(p, inner, light, rim);
    if (kind == 2) DrawUTurn(p, inner, light, rim);
  });
}

QImage ShutUpButton() {
  return ButtonPicture([](QPainter& p) {
    DrawLips(p, QRectF(10, 18, 44, 30));
    // Prohibition sign: a red ring with a diagonal bar from upper left to lower right.
    const QPointF c(32, 33);
    const qreal R = 26;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 0, 0), 8.5));
    p.drawEllipse(c, R, R);
    p.setPen(QPen(QColor(228, 20, 30), 6));
    p.drawEllipse(c, R, R);
    const qreal d = R * 0.7071;
    p.setPen(QPen(QColor(120, 0, 0), 8.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(c.x() - d, c.y() - d), QPointF(c.x() + d, c.y() + d));
    p.setPen(QPen(QColor(228, 20, 30), 6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(c.x() - d + 1, c.y() - d + 1), QPointF(c.x() + d - 1, c.y() + d - 1));
  });
}

QImage LipsCursor() {
  QImage img = ClearCanvas(32, 32);
  QPainter p(&img);
  DrawLips(p, QRectF(2, 7, 28, 19));
  return img;
}

QImage HandCursor() {
  // A white pointing hand with a black outline; the tip of the index finger is the hot spot (12, 1).
  QImage img = ClearCanvas(32, 32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath h;
  h.moveTo(9.5, 4);
  h.cubicTo(9.5, 0.8, 14.5, 0.8, 14.5, 4);   // index finger tip, top at y = 1
  h.lineTo(14.5, 13);
  h.cubicTo(14.5, 10.5, 18.5, 10.5, 18.5, 13);  // middle finger
  h.lineTo(18.5, 14);
  h.cubicTo(18.5, 11.8, 22.5, 11.8, 22.5, 14.5);  // ring finger
  h.lineTo(22.5, 15.5);
  h.cubicTo(22.5, 13.5, 26.5, 13.5, 26.5, 16);  // little finger
  h.lineTo(26.5, 22);
  h.cubicTo(26.5, 27, 23.5, 30.5, 18.5, 30.5);
  h.lineTo(14, 30.5);
  h.cubicTo(10.5, 30.5, 9, 28.5, 7.5, 26);
  h.lineTo(3.5, 19.5);
  h.cubicTo(2.3, 17.5, 4.8, 15.6, 6.6, 17.2);
  h.lineTo(9.5, 20);
  h.closeSubpath();
  p.setPen(QPen(QColor(0, 0, 0), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(255, 255, 255));
  p.drawPath(h);
  p.setPen(QPen(QColor(0, 0, 0), 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(14.5, 13), QPointF(14.5, 19));
  p.drawLine(QPointF(18.5, 14), QPointF(18.5, 19));
  p.drawLine(QPointF(22.5, 15.5), QPointF(22.5, 19));
  return img;
}

QImage Title() {
  const int W = 574, H = 364;
  QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, H);
  sky.setColorAt(0, QColor(22, 36, 112));
  sky.setColorAt(0.55, QColor(70, 48, 150));
  sky.setColorAt(1, QColor(120, 44, 140));
  p.fillRect(img.rect(), sky);
  // Little stars and soft bubbles.
  Rng rng(574364);
  for (int k = 0; k < 70; ++k) {
    const qreal x = rng.uniform() * W, y = rng.uniform() * H;
    const qreal r = 0.8 + rng.uniform() * 1.6;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 210, 90 + rng.below(120)));
    p.drawEllipse(QPointF(x, y), r, r);
  }
  for (int k = 0; k < 14; ++k) {
    const qreal x = rng.uniform() * W, y = rng.uniform() * H;
    const qreal r = 10 + rng.uniform() * 26;
    p.setBrush(QColor(255, 255, 255, 14));
    p.drawEllipse(QPointF(x, y), r, r);
  }
  p.end();

  // The name, each letter in a ball colour, with a white outline and a soft shadow.
  const QString name = QStringLiteral("Quonk-Tirrel");
  const QFont f = BoldFont(72);
  QPainterPath all;
  all.addText(0, 0, f, name);
  const QRectF b = all.boundingRect();
  const qreal ox = (W - b.width()) / 2 - b.left(), oy = 128;
  all.translate(ox, oy);
  SoftShadow(img, all, QColor(0, 0, 30, 200), QPointF(4, 5), 3);
  QPainter q(&img);
  q.setRenderHint(QPainter::Antialiasing);
  const int letterColors[12] = {0, 1, 3, 5, 7, 9, 1, 0, 3, 5, 9, 7};
  qreal x = 0;
  QFontMetricsF fm(f);
  for (int i = 0; i < name.size(); ++i) {
    QPainterPath lp;
    lp.addText(x, 0, f, name.mid(i, 1));
    lp.translate(ox, oy);
    x += fm.horizontalAdvance(name.mid(i, 1));
    const QColor base = BallColor(letterColors[i]);
    QLinearGradient lg(0, oy - 60, 0, oy + 4);
    lg.setColorAt(0, base.lighter(150));
    lg.setColorAt(1, base.darker(115));
    DrawFancyText(q, lp, lg, QColor(255, 255, 250), 7);
  }
  // Draw the letters once more over the outlines of their neighbours.
  x = 0;
  for (int i = 0; i < name.size(); ++i) {
    QPainterPath lp;
    lp.addText(x, 0, f, name.mid(i, 1));
    lp.translate(ox, oy);
    x += fm.horizontalAdvance(name.mid(i, 1));
    const QColor base = BallColor(letterColors[i]);
    QLinearGradient lg(0, oy - 60, 0, oy + 4);
    lg.setColorAt(0, base.lighter(150));
    lg.setColorAt(1, base.darker(115));
    q.setPen(QPen(QColor(40, 20, 60), 1.5));
    q.setBrush(lg);
    q.drawPath(lp);
  }
  // Subtitle.
  {
    QPainterPath sp;
    const QFont sf = BoldFont(20);
    const QString sub = QStringLiteral("Das bunte Kugelspiel");
    sp.addText(0, 0, sf, sub);
    const QRectF sb = sp.boundingRect();
    sp.translate((W - sb.width()) / 2 - sb.left(), 162);
    DrawFancyText(q, sp, QColor(255, 240, 150), QColor(40, 20, 80), 4);
  }
  // The mascot: a big red ball with a face, bottom left; little balls around it and along the bottom.
  q.end();
  {
    QPainterPath sh;
    sh.addEllipse(QPointF(112, 302), 62, 12);
    SoftShadow(img, sh, QColor(0, 0, 0, 120), QPointF(0, 0), 4);
  }
  q.begin(&img);
  q.setRenderHint(QPainter::Antialiasing);
  const QRectF mascot(52, 178, 120, 120);
  DrawBall(q, mascot, BallColor(0));
  DrawFace(q, mascot);
  // A pyramid of balls to the right of the mascot, under the about-box texts.
  struct B {
    qreal x, y, r;
    int c;
  };
  const B balls[] = {
      {214, 290, 19, 2}, {254, 290, 19, 1}, {294, 290, 19, 3}, {334, 290, 19, 4}, {374, 290, 19, 5},
      {414, 290, 19, 9}, {454, 290, 19, 7}, {494, 290, 19, 6}, {534, 290, 19, 1}, {234, 254, 19, 5},
      {274, 254, 19, 7}, {514, 254, 19, 3}, {474, 254, 19, 2}, {150, 330, 11, 3},  {186, 326, 12, 5},
      {540, 330, 13, 2}, {24, 44, 15, 1},   {548, 52, 17, 3},  {520, 22, 10, 7},  {60, 20, 9, 9},
  };
  for (const B& bb : balls) DrawBall(q, QRectF(bb.x - bb.r, bb.y - bb.r, 2 * bb.r, 2 * bb.r), BallColor(bb.c), bb.c);
  q.end();
  return img;
}

QImage Icon() {
  QImage img = ClearCanvas(128, 128);
  QPainter p(&img);
  DrawBall(p, QRectF(6, 6, 116, 116), BallColor(0), 0);
  return img;
}

}  // namespace

void MakeDesignPictures(const QString& root) {
  const QString d = root + QStringLiteral("/design/");
  const QColor beige(246, 238, 214);
  SavePngRgb(SignPicture(QStringLiteral("!"), beige), d + QStringLiteral("sign_exclamation.png"));
  SavePngRgb(SignPicture(QStringLiteral("?"), beige), d + QStringLiteral("sign_question.png"));
  SavePngRgb(SignPicture(QStringLiteral("X"), beige), d + QStringLiteral("sign_x.png"));
  SavePngRgb(SignPicture(QStringLiteral("i"), beige), d + QStringLiteral("sign_info.png"));
  SavePngRgb(SignPicture(QStringLiteral("i"), QColor(255, 255, 255)), d + QStringLiteral("sign_design.png"));
  SavePngRgb(BallButton(QColor(40, 170, 40), 0), d + QStringLiteral("button_yes.png"));
  SavePngRgb(BallButton(QColor(214, 24, 32), 1), d + QStringLiteral("button_no.png"));
  SavePngRgb(ShutUpButton(), d + QStringLiteral("button_shutup.png"));
  SavePngRgb(BallButton(QColor(214, 30, 190), 2), d + QStringLiteral("tut_repeat.png"));
  SavePngRgb(BallButton(QColor(40, 170, 40), 0), d + QStringLiteral("tut_ok.png"));
  {
    QImage drawing = ClearCanvas(32, 32);
    {
      QPainter p(&drawing);
      DrawRainbowBall(p, QRectF(1.5, 1.5, 29, 29));
    }
    QImage m = OnWhiteCutout(drawing);
    CleanWhite(m, 250, true);
    SavePngRgb(m, d + QStringLiteral("tut_marker.png"));
  }
  SavePngArgb(LipsCursor(), d + QStringLiteral("cursor_lips.png"));
  SavePngArgb(HandCursor(), d + QStringLiteral("cursor_hand.png"));
  SavePngRgb(Title(), d + QStringLiteral("title.png"));
  SavePngArgb(Icon(), d + QStringLiteral("icon.png"));
}

// The tutorial pictures: the title picture and five pictures of the main window's board.
#include <QtMath>
#include <array>

#include "paint.h"

using namespace gen;

namespace {

constexpr int kCols = 11, kRows = 12, kCell = 32;
// Board origin inside the 430 x 578 picture: the tutorial's marker lies at pixel (255, 375), the
// top left corner of the cell in column 7, row 7 (1-based).
constexpr int kBoardX = 63, kBoardY = 183;
constexpr int kMarkCol = 7, kMarkRow = 7;
constexpr int kColors = 5;

// 0 = empty, otherwise colour + 1; indexed [col][row], 1-based like the game.
using Grid = std::array<std::array<int, kRows + 1>, kCols + 1>;

struct Cell {
  int c, r;
};
// The group that the tutorial marks: six red balls (30 points) around the marked ball.
const Cell kGroup[] = {{7, 7}, {8, 7}, {7, 8}, {8, 8}, {7, 9}, {6, 9}};

bool InGroup(int c, int r) {
  for (const Cell& g : kGroup)
    if (g.c == c && g.r == r) return true;
  return false;
}

Grid FreshBoard() {
  Grid g{};
  Rng rng(4102007);
  for (int c = 1; c <= kCols; ++c)
    for (int r = 1; r <= kRows; ++r) g[c][r] = 1 + rng.below(kColors);
  for (const Cell& x : kGroup) g[x.c][x.r] = 1;  // red
  // No other red ball touches the group, and no red group of more than four balls elsewhere.
  for (int c = 1; c <= kCols; ++c)
    for (int r = 1; r <= kRows; ++r) {
      if (InGroup(c, r)) continue;
      bool touches = false;
      const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
      for (int k = 0; k < 4; ++k)
        if (InGroup(c + dc[k], r + dr[k])) touches = true;
      if (touches && g[c][r] == 1) g[c][r] = 2 + rng.below(kColors - 1);
    }
  return g;
}

Grid Fallen(const Grid& in) {
  Grid g = in;
  for (const Cell& x : kGroup) g[x.c][x.r] = 0;
  for (int c = 1; c <= kCols; ++c) {
    int write = kRows;
    std::array<int, kRows + 1> col{};
    for (int r = kRows; r >= 1; --r)
      if (g[c][r]) col[write--] = g[c][r];
    for (int r = 1; r <= kRows; ++r) g[c][r] = col[r];
  }
  return g;
}

QColor ColorForPercent(double pct) {
  // Red (0) over yellow (50) to green (100).
  if (pct <= 50) return QColor(255, int(pct / 50 * 255), 0);
  return QColor(int((100 - pct) / 50 * 255), 255, 0);
}

enum class Stage { Fresh, Marked, Vanish1, Vanish2, Fallen };

void DrawWindow(QPainter& p, int score) {
  const int W = 430, H = 578;
  // Window chrome (its top 48 pixels lie outside the tutorial window).
  QLinearGradient cap(0, 0, 0, 26);
  cap.setColorAt(0, QColor(40, 90, 200));
  cap.setColorAt(1, QColor(20, 60, 160));
  p.fillRect(QRect(0, 0, W, 26), cap);
  DrawBall(p, QRectF(5, 5, 16, 16), BallColor(0));
  p.setPen(QColor(255, 255, 255));
  p.setFont(BoldFont(13));
  p.drawText(QRect(26, 0, 300, 26), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Quonk-Tirrel"));
  p.fillRect(QRect(0, 26, W, 22), QColor(236, 233, 224));
  p.setPen(QColor(0, 0, 0));
  p.setFont(PlainFont(13));
  p.drawText(QRect(8, 26, 60, 22), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Spiel"));
  p.drawText(QRect(62, 26, 60, 22), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Hilfe"));
  // Client area.
  p.fillRect(QRect(0, 48, W, H - 48), QColor(240, 238, 232));
  // Score panel.
  const QRect frame(69, 58, 292, 104);
  p.setPen(QPen(QColor(160, 156, 148), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  p.setPen(QColor(255, 255, 255));
  p.drawRoundedRect(QRectF(frame).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
  QFont serif(QStringLiteral("DejaVu Serif"));
  serif.setPixelSize(22);
  serif.setBold(true);
  serif.setHintingPreference(QFont::PreferNoHinting);
  p.setFont(serif);
  p.setPen(QColor(0, 0, 0));
  const int highscore = 100;
  p.drawText(QRect(frame.x() + 16, frame.y() + 8, 160, 30), Qt::AlignVCenter | Qt::AlignLeft,
             QStringLiteral("Highscore:"));
  p.drawText(QRect(frame.x() + 16, frame.y() + 56, 160, 30), Qt::AlignVCenter | Qt::AlignLeft,
             QStringLiteral("Punkte:"));
  p.drawText(QRect(frame.x() + 190, frame.y() + 8, 86, 30), Qt::AlignVCenter | Qt::AlignRight,
             QStringLiteral("%1").arg(highscore, 4, 10, QLatin1Char('0')));
  p.drawText(QRect(frame.x() + 190, frame.y() + 56, 86, 30), Qt::AlignVCenter | Qt::AlignRight,
             QStringLiteral("%1").arg(score, 4, 10, QLatin1Char('0')));
  const int barW = 271;
  p.fillRect(QRect(frame.x() + 10, frame.y() + 42, barW, 7), ColorForPercent(0));
  if (score > 0) {
    const double pct = 100.0 * score / highscore;
    p.fillRect(QRect(frame.x() + 10, frame.y() + 90, int(barW * pct / 100), 7), ColorForPercent(100 - pct));
  }
  // Time bar at the left, full and green.
  const QRect tf(10, 175, 27, 400);
  p.setPen(QPen(QColor(160, 156, 148), 1));
  p.drawRect(QRectF(tf).adjusted(0.5, 0.5, -0.5, -0.5));
  p.fillRect(tf.adjusted(6, 12, -6, -6), ColorForPercent(100));
}

void DrawBackground(QPainter& p) {
  const QRectF bg(kBoardX - 8, kBoardY - 8, kCols * kCell + 16, kRows * kCell + 16);
  QRadialGradient g(bg.center(), bg.width() * 0.75);
  g.setColorAt(0, QColor(255, 176, 60));
  g.setColorAt(1, QColor(238, 112, 8));
  p.fillRect(bg, g);
  p.setPen(QPen(QColor(176, 70, 0), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(kBoardX - 1, kBoardY - 1, kCols * kCell + 2, kRows * kCell + 2));
  p.fillRect(QRect(kBoardX, kBoardY, kCols * kCell, kRows * kCell), QColor(255, 255, 255));
}

void DrawBallInCell(QPainter& p, int c, int r, int colorIndex) {
  const QRectF cell(kBoardX + (c - 1) * kCell, kBoardY + (r - 1) * kCell, kCell, kCell);
  DrawBall(p, cell.adjusted(1.5, 1.5, -1.5, -1.5), BallColor(colorIndex), colorIndex);
}

void DrawVanishing(QPainter& p, int c, int r, int frame) {
  // The same drawing as QQ_Anim frames 1 and 3: a shrinking silver ball with sparkles.
  const QPointF center(kBoardX + (c - 1) * kCell + 16, kBoardY + (r - 1) * kCell + 16);
  const qreal radius = frame == 1 ? 9 : 2.5;
  DrawBall(p, QRectF(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius), QColor(176, 182, 196));
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  for (int k = 0; k < 8; ++k) {
    const qreal a = k * M_PI / 4 + frame * 0.22;
    const qreal d = (frame == 1 ? 11 : 13) * ((k % 2) ? 0.78 : 1.0);
    const QPointF q(center.x() + d * qCos(a), center.y() + d * qSin(a));
    const qreal s = (frame == 1 ? 4.5 : 3.5) * ((k % 2) ? 0.75 : 1.0);
    QPainterPath sp;
    sp.moveTo(q.x(), q.y() - s);
    sp.quadTo(q.x() + s * 0.15, q.y() - s * 0.15, q.x() + s, q.y());
    sp.quadTo(q.x() + s * 0.15, q.y() + s * 0.15, q.x(), q.y() + s);
    sp.quadTo(q.x() - s * 0.15, q.y() + s * 0.15, q.x() - s, q.y());
    sp.quadTo(q.x() - s * 0.15, q.y() - s * 0.15, q.x(), q.y() - s);
    p.setPen(Qt::NoPen);
    p.setBrush((k % 2) ? QColor(150, 90, 230) : QColor(255, 196, 40));
    p.drawPath(sp);
  }
  p.restore();
}

QImage BoardPicture(Stage stage) {
  QImage img(430, 578, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  DrawWindow(p, stage == Stage::Fallen ? 30 : 0);
  DrawBackground(p);
  const Grid fresh = FreshBoard();
  const Grid g = stage == Stage::Fallen ? Fallen(fresh) : fresh;
  for (int c = 1; c <= kCols; ++c)
    for (int r = 1; r <= kRows; ++r) {
      const bool group = InGroup(c, r) && stage != Stage::Fallen;
      if (group && stage == Stage::Vanish1) {
        DrawVanishing(p, c, r, 1);
        continue;
      }
      if (group && stage == Stage::Vanish2) {
        DrawVanishing(p, c, r, 3);
        continue;
      }
      if (g[c][r]) DrawBallInCell(p, c, r, g[c][r] - 1);
    }
  if (stage == Stage::Marked) {
    // The black one-pixel outline of every ball of the group.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(Qt::NoBrush);
    for (const Cell& x : kGroup)
      p.drawRect(kBoardX + (x.c - 1) * kCell, kBoardY + (x.r - 1) * kCell, kCell - 1, kCell - 1);
    // The points label, centred on the top left corner of the group's top left ball.
    const QString text = QStringLiteral(" 30");
    const QFont f = BoldFont(13);
    QFontMetrics fm(f);
    const int w = int(fm.horizontalAdvance(text) * 1.4), h = int(fm.height() * 1.2);
    const int ax = kBoardX + (kMarkCol - 1) * kCell, ay = kBoardY + (kMarkRow - 1) * kCell;
    const QRect label(ax - w / 2, ay - h / 2, w, h);
    p.fillRect(label, QColor(255, 128, 0));
    p.setFont(f);
    p.setPen(QColor(255, 255, 255));
    p.drawText(label, Qt::AlignCenter, text);
  }
  return img;
}

QImage TitlePicture() {
  const int W = 427, H = 524;
  QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, H);
    sky.setColorAt(0, QColor(120, 200, 255));
    sky.setColorAt(0.62, QColor(200, 236, 255));
    sky.setColorAt(0.63, QColor(130, 210, 90));
    sky.setColorAt(1, QColor(70, 160, 50));
    p.fillRect(img.rect(), sky);
    // Sun and clouds.
    QRadialGradient sun(QPointF(360, 70), 46);
    sun.setColorAt(0, QColor(255, 240, 120));
    sun.setColorAt(0.7, QColor(255, 210, 40));
    sun.setColorAt(1, QColor(255, 210, 40, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(360, 70), 46, 46);
    p.setBrush(QColor(255, 255, 255, 230));
    for (auto [x, y] : {std::pair{70.0, 60.0}, std::pair{250.0, 40.0}})
      for (int k = 0; k < 4; ++k) p.drawEllipse(QPointF(x + k * 18, y + (k % 2) * 6), 20, 15);
  }
  // The name in two lines.
  const int letterColors[12] = {0, 1, 3, 5, 7, 2, 9, 0, 3, 5, 4, 7};
  auto word = [&](const QString& text, qreal y, int firstColor) {
    const QFont f = BoldFont(68);
    QPainterPath all;
    all.addText(0, 0, f, text);
    const QRectF b = all.boundingRect();
    const qreal ox = (W - b.width()) / 2 - b.left();
    all.translate(ox, y);
    SoftShadow(img, all, QColor(0, 0, 60, 150), QPointF(3, 4), 3);
    QPainter q(&img);
    q.setRenderHint(QPainter::Antialiasing);
    QFontMetricsF fm(f);
    qreal x = 0;
    for (int i = 0; i < text.size(); ++i) {
      QPainterPath lp;
      lp.addText(x, 0, f, text.mid(i, 1));
      lp.translate(ox, y);
      x += fm.horizontalAdvance(text.mid(i, 1));
      const QColor base = BallColor(letterColors[(firstColor + i) % 12]);
      QLinearGradient lg(0, y - 52, 0, y + 4);
      lg.setColorAt(0, base.lighter(150));
      lg.setColorAt(1, base.darker(115));
      DrawFancyText(q, lp, lg, QColor(255, 255, 250), 7);
      q.setPen(QPen(QColor(40, 20, 60), 1.5));
      q.setBrush(lg);
      q.drawPath(lp);
    }
  };
  word(QStringLiteral("Quonk-"), 150, 0);
  word(QStringLiteral("Tirrel"), 226, 6);
  {
    QPainterPath sh;
    sh.addEllipse(QPointF(213, 468), 84, 14);
    SoftShadow(img, sh, QColor(0, 60, 0, 130), QPointF(0, 0), 4);
  }
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF mascot(138, 306, 150, 150);
  DrawBall(p, mascot, BallColor(0));
  DrawFace(p, mascot);
  struct B {
    qreal x, y, r;
    int c;
  };
  const B balls[] = {{52, 440, 26, 2}, {104, 470, 20, 1}, {330, 452, 24, 3}, {382, 478, 20, 4},
                     {60, 300, 16, 5}, {372, 300, 18, 7}, {30, 500, 14, 9},  {404, 410, 14, 1}};
  for (const B& b : balls) DrawBall(p, QRectF(b.x - b.r, b.y - b.r, 2 * b.r, 2 * b.r), BallColor(b.c), b.c);
  // A caption at the foot.
  QPainterPath cap;
  const QFont cf = BoldFont(22);
  cap.addText(0, 0, cf, QStringLiteral("So wird gespielt!"));
  const QRectF cb = cap.boundingRect();
  cap.translate((W - cb.width()) / 2 - cb.left(), 512);
  DrawFancyText(p, cap, QColor(255, 244, 140), QColor(30, 80, 20), 5);
  return img;
}

}  // namespace

void MakeTutorialPictures(const QString& root) {
  const QString d = root + QStringLiteral("/tutorial/");
  const int q = 90;
  SaveJpg(TitlePicture(), d + QStringLiteral("TutTitle.JPG"), q);
  SaveJpg(BoardPicture(Stage::Fresh), d + QStringLiteral("board_1.JPG"), q);
  SaveJpg(BoardPicture(Stage::Marked), d + QStringLiteral("board_2.JPG"), q);
  SaveJpg(BoardPicture(Stage::Vanish1), d + QStringLiteral("board_3.JPG"), q);
  SaveJpg(BoardPicture(Stage::Vanish2), d + QStringLiteral("board_4.JPG"), q);
  SaveJpg(BoardPicture(Stage::Fallen), d + QStringLiteral("board_5.JPG"), q);
}

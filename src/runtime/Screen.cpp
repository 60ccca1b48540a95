#include "runtime/Screen.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace rt {

std::optional<QCursor> CursorFromPicture(const Picture& icon, int hotX, int hotY) {
  if (icon.IsEmpty()) return std::nullopt;
  return QCursor(icon.Pixmap(), hotX, hotY);
}

void ApplyMousePointer(QWidget* widget, int pointer, const std::optional<QCursor>& icon) {
  if (pointer == kPointerHourglass)
    widget->setCursor(Qt::WaitCursor);
  else if (pointer == kPointerCustom && icon)
    widget->setCursor(*icon);
  else
    widget->unsetCursor();
}

namespace {

const char kNoDesktopLine[] =
    "Quonk-Tirrel braucht eine grafische Oberfläche: keine Anzeige gefunden (DISPLAY oder WAYLAND_DISPLAY).\n";

[[noreturn]] void EndWithoutDesktop() {
  std::fputs(kNoDesktopLine, stderr);
  std::fflush(nullptr);
  std::_Exit(1);
}

// What the platform says while it starts: kept back, so that a start that fails shows
// only the one line above, and passed on when the start succeeds.
struct HeldMessage {
  QtMsgType type;
  const char* file;
  int line;
  const char* function;
  const char* category;
  QString text;
};
QList<HeldMessage>& HeldMessages() {
  static QList<HeldMessage> held;
  return held;
}

void HoldOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) EndWithoutDesktop();
  HeldMessages().append({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

std::unique_ptr<QApplication> OpenDesktop(int& argc, char** argv) {
  // Without a display the platform would not start and would abort the program.
  const bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
  if (!platformChosen && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    EndWithoutDesktop();
  // A display that is named but cannot be reached fails inside the platform's start.
  const QtMessageHandler previous = qInstallMessageHandler(HoldOrEnd);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  for (const HeldMessage& m : std::as_const(HeldMessages()))
    qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
  HeldMessages().clear();
  return app;
}

bool UseGermanQtTexts() {
  static QTranslator* translator = nullptr;
  if (translator) return true;
  auto* loaded = new QTranslator(QCoreApplication::instance());
  if (!loaded->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete loaded;
    return false;
  }
  QCoreApplication::installTranslator(loaded);
  translator = loaded;
  return true;
}

}  // namespace rt

namespace rt::Screen {

namespace {
int screenPointer = kPointerDefault;

QSize ScreenPixels() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(800, 600);
}
}  // namespace

double Width() { return Twips(ScreenPixels().width()); }
double Height() { return Twips(ScreenPixels().height()); }

QList<QRect> AvailableAreas() {
  QList<QRect> areas;
  // The primary screen first: a window on no screen at all goes there.
  if (const QScreen* primary = QGuiApplication::primaryScreen()) areas.append(primary->availableGeometry());
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen()) areas.append(screen->availableGeometry());
  return areas;
}

QRect AvailableAreaAt(const QPoint& point) {
  const QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), ScreenPixels());
}

QPoint KeepInAreas(const QRect& window, const QList<QRect>& areas) {
  if (areas.isEmpty()) return window.topLeft();
  const QRect* best = &areas.first();
  qint64 bestOverlap = 0;
  for (const QRect& area : areas) {
    if (area.contains(window)) return window.topLeft();
    const QRect common = area.intersected(window);
    const qint64 overlap = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
    if (overlap > bestOverlap) {
      best = &area;
      bestOverlap = overlap;
    }
  }
  // Right and bottom edges first, so that a window larger than the area keeps its
  // top-left corner inside.
  QPoint corner = window.topLeft();
  corner.setX(std::min(corner.x(), best->right() + 1 - window.width()));
  corner.setY(std::min(corner.y(), best->bottom() + 1 - window.height()));
  corner.setX(std::max(corner.x(), best->left()));
  corner.setY(std::max(corner.y(), best->top()));
  return corner;
}

int MousePointer() { return screenPointer; }

void SetMousePointer(int pointer) {
  const bool wasSet = screenPointer != kPointerDefault;
  screenPointer = pointer;
  if (pointer == kPointerDefault) {
    if (wasSet) QApplication::restoreOverrideCursor();
    return;
  }
  const QCursor cursor(pointer == kPointerHourglass ? Qt::WaitCursor : Qt::ArrowCursor);
  if (wasSet)
    QApplication::changeOverrideCursor(cursor);
  else
    QApplication::setOverrideCursor(cursor);
}

}  // namespace rt::Screen

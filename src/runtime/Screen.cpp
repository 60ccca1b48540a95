#include "runtime/Screen.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

}  // namespace rt

namespace rt::Screen {

namespace {
int screenPointer = kPointerDefault;

QSize ScreenPixels() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(800, 600);
}
}  // namespace

double Width() { return TwipsX(ScreenPixels().width()); }
double Height() { return TwipsY(ScreenPixels().height()); }

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

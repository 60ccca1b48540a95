#pragma once
// The screen and the application as the windows see them: twips per pixel, the
// screen's size in twips, the mouse pointer shown over every window of the program,
// and the application's title and version.
#include <QCursor>
#include <QList>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

#include "runtime/Picture.h"
#include "runtime/Twips.h"

class QApplication;
class QWidget;

namespace rt {

// Mouse pointer values of forms, controls and the screen.
enum MousePointerValue : int {
  kPointerDefault = 0,
  kPointerHourglass = 11,
  kPointerCustom = 99,  // the window's or control's own MouseIcon picture
};

// The pointer picture of a MouseIcon (none for an empty picture), and the pointer a
// window or control shows for its MousePointer value and MouseIcon.
std::optional<QCursor> CursorFromPicture(const Picture& icon, int hotX, int hotY);
void ApplyMousePointer(QWidget* widget, int pointer, const std::optional<QCursor>& icon);

// Makes the application object. Without a graphical desktop to show the windows on,
// the program ends with one plain line on stderr and exit code 1.
std::unique_ptr<QApplication> OpenDesktop(int& argc, char** argv);
// Qt's own texts in German: key names in the menus ("Entf"), the standard buttons and
// dialogs. False when the translation is not installed.
bool UseGermanQtTexts();

namespace Screen {

inline constexpr int TwipsPerPixelX = kTwipsPerPixel;
inline constexpr int TwipsPerPixelY = kTwipsPerPixel;

// Size of the primary screen in twips.
double Width();
double Height();

// The parts of the screens that windows may cover (without panels and docks), in pixels.
QList<QRect> AvailableAreas();
// The available area of the screen that holds the point, else of the primary screen.
QRect AvailableAreaAt(const QPoint& point);
// Where a window with that outer rectangle (frame included, pixels) goes so that it can
// be reached: where it is when it lies wholly on one area; otherwise into the area it
// overlaps most (the first when it overlaps none), moved as little as possible, and
// with its top-left corner (title bar and menu) inside when it is larger than the area.
QPoint KeepInAreas(const QRect& window, const QList<QRect>& areas);

// The pointer over all windows of the program (0 default, 11 hourglass); it wins
// over the pointers of windows and controls while it is not 0.
int MousePointer();
void SetMousePointer(int pointer);

}  // namespace Screen

namespace App {

inline const QString Title = QStringLiteral("Quonk-Tirrel");
inline constexpr int Major = 1;
inline constexpr int Minor = 0;
inline constexpr int Revision = 0;

}  // namespace App

}  // namespace rt

#pragma once
// The screen and the application as the windows see them: twips per pixel, the
// screen's size in twips, the mouse pointer shown over every window of the program,
// and the application's title and version.
#include <QCursor>
#include <QString>
#include <optional>

#include "runtime/Files.h"
#include "runtime/Picture.h"
#include "runtime/Twips.h"

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

namespace Screen {

inline constexpr int TwipsPerPixelX = kTwipsPerPixel;
inline constexpr int TwipsPerPixelY = kTwipsPerPixel;

// Size of the primary screen in twips.
double Width();
double Height();

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

// The program's folder, without a trailing separator.
inline QString Path() { return AppPath(); }

}  // namespace App

}  // namespace rt

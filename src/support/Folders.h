#pragma once
// The run-time folders beside the program, written as the game names them; lookups
// resolve them without regard to letter case.
#include <QString>

namespace Folder {
inline const QString Graphics = QStringLiteral("\\grafics\\");
inline const QString Sounds = QStringLiteral("\\sounds\\");
inline const QString Speech = QStringLiteral("\\sounds\\speech\\");
inline const QString Tutorial = QStringLiteral("\\tutorial\\");
}  // namespace Folder

// A picture of a numbered set (the ball pictures, the frames of the vanishing animation):
// the graphics folder, the set's name, the number as four digits and ".bmp", below the
// program's folder.
QString SetPictureFile(const QString& set, int number);
// The ball picture of a picture number in the set BallSet.
QString BallPictureFile(int number);

// Pictures compiled into the program.
namespace DesignPicture {
inline const QString Icon = QStringLiteral(":/design/icon.png");
// The mouse pointer of the game's windows.
inline const QString LipsCursor = QStringLiteral(":/design/cursor_lips.png");
}  // namespace DesignPicture

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

// The ball picture of a picture number: the graphics folder, the picture set BallSet,
// the number as four digits and ".bmp", below the program's folder.
QString BallPictureFile(int number);

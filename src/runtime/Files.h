#pragma once
// The program's folder and the files beside it. The game names its files with
// Windows-style relative paths ("\grafics\", "\sounds\speech\") and relies on names
// matching without regard to letter case ("setball" and "SetBall" are one file).
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace rt {

// The folder of the running executable, without a trailing "/".
QString AppPath();
// Lets tests point the program at a folder of their own; empty restores the real one.
void SetAppPath(const QString& folder);

// Joins a path written with "\" or "/" separators to base ("\grafics\x.bmp" and
// "grafics/x.bmp" both work) and resolves every component that exists without
// regard to case. Components that do not exist keep the case given.
QString ResolvePath(const QString& base, const QString& relative);
// ResolvePath(AppPath(), relative).
QString AppFile(const QString& relative);

// A file's length in bytes; error 53 when it is missing.
int64_t FileLen(const QString& path);
// Appends text (UTF-8) to a file, creating it when missing; error 76 when its folder is
// missing, 75 when the file cannot be written.
void AppendText(const QString& path, const QString& text);
// The same for bytes already in their on-disk encoding.
void AppendBytes(const QString& path, const QByteArray& bytes);

}  // namespace rt

#include "runtime/RuntimeError.h"

namespace rt {

namespace {

QString ErrorDescription(int number) {
  switch (number) {
    case ErrOverflow: return QStringLiteral("Überlauf");
    case ErrSubscript: return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case ErrFileNotFound: return QStringLiteral("Datei nicht gefunden");
    case ErrFileAccess: return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case ErrPathNotFound: return QStringLiteral("Pfad nicht gefunden");
    case ErrInvalidPicture: return QStringLiteral("Ungültiges Bild");
    default: return QStringLiteral("Anwendungs- oder objektdefinierter Fehler");
  }
}

}  // namespace

RuntimeError::RuntimeError(int number) : RuntimeError(number, ErrorDescription(number)) {}

RuntimeError::RuntimeError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

void Raise(int number) { throw RuntimeError(number); }

}  // namespace rt

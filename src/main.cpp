#include <QApplication>
#include <cstdio>

#include "runtime/Files.h"
#include "runtime/RuntimeError.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"

namespace {

int Run() {
  IniFile = rt::AppFile(QStringLiteral("QT.Ini"));
  if (FileExists(IniFile)) return 0;
  WriteDefaultSettings();
  std::fprintf(stderr, "Einstellungsdatei angelegt: %s\n", qPrintable(IniFile));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  try {
    return Run();
  } catch (const rt::RuntimeError& error) {
    std::fprintf(stderr, "Laufzeitfehler '%d':\n%s\n", error.Number(), qPrintable(error.Description()));
    return 1;
  }
}

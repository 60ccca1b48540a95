#include "windows/ClickAndBrowse.h"

#include <QProcess>
#include <QStandardPaths>

#include "settings/DefaultSettings.h"

namespace ClickAndBrowse {

namespace {

// The desktop knows one key: the browser command, the URL opener quoted as a
// registered command would quote a program path.
std::optional<OpenKey> ReadDesktopKey(const QString& KeyName) {
  if (KeyName != kBrowserCommandKey) return std::nullopt;
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return std::nullopt;
  return OpenKey{{QString(), QLatin1Char('"') + opener + QLatin1Char('"')}};
}

bool StartDetached(const QString& Program, const QStringList& Arguments) {
  return QProcess::startDetached(Program, Arguments);
}

KeyReader& CurrentKeyReader() {
  static KeyReader reader = ReadDesktopKey;
  return reader;
}

ProgramStarter& CurrentStarter() {
  static ProgramStarter starter = StartDetached;
  return starter;
}

}  // namespace

void SetKeyReader(KeyReader reader) { CurrentKeyReader() = reader ? std::move(reader) : ReadDesktopKey; }

void SetProgramStarter(ProgramStarter starter) {
  CurrentStarter() = starter ? std::move(starter) : StartDetached;
}

int32_t QueryValueEx(const OpenKey& hKey, const QString& ValueName, QString& Value) {
  const auto it = hKey.find(ValueName);
  if (it == hKey.end()) return kQueryNotFound;
  Value = it->second;
  return kQuerySuccess;
}

QString QueryValue(const QString& KeyName, const QString& ValueName) {
  const std::optional<OpenKey> key = CurrentKeyReader()(KeyName);
  QString value;
  if (key) QueryValueEx(*key, ValueName, value);
  return value;
}

void BrowseURL(const QString& URL) {
  const QString command = QueryValue(kBrowserCommandKey, QString());
  // An empty command has no piece; every other text has at least one, empty pieces
  // (from a leading quote) included.
  const QStringList pieces = command.isEmpty() ? QStringList() : command.split(QLatin1Char('"'));
  for (const QString& piece : pieces) {
    if (!FileExists(piece)) continue;
    // The address goes to the browser as one argument, untouched: no shell parses it,
    // and the command's own options and placeholders are dropped.
    CurrentStarter()(piece, {URL});
    return;
  }
}

}  // namespace ClickAndBrowse

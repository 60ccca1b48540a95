#include "settings/DefaultSettings.h"

#include <QFileInfo>
#include <QStringList>

#include "runtime/Files.h"
#include "runtime/Profile.h"
#include "runtime/RuntimeError.h"
#include "settings/IniHandler.h"
#include "settings/SpeechTokens.h"

namespace {

// What each speech token comments on, in token order; the default file explains its
// speech keys with these.
constexpr const char* kTokenDescriptions[] = {
    "Programm wurde gestartet",
    "über 300 Punkte mit einem Klick",
    "fast 300 Punkte mit einem Klick",
    "über 200 Punkte mit einem Klick",
    "weit über 100 Punkte mit einem Klick",
    "über 100 Punkte mit einem Klick",
    "fast 100 Punkte mit einem Klick",
    ">= 20 Punkte",
    "< 20 Punkte   (sehr selten)",
    "starte neues Spiel",
    "Ende des Spiels mit Highscore",
    "Abfrage 'neues Spiel?' im Lernmodus (inkl. Erklärung der Schaltflächen)",
    "Abfrage 'neues Spiel' ohne Erklärung der Schaltflächen",
    "Highscore wurde soeben übertroffen",
    "noch 25 Minuten",
    "noch 15 Minuten",
    "noch 10 Minuten",
    "noch  5 Minuten",
    "noch  3 Minuten",
    "<= 1 Minute",
    "Zeit abgelaufen",
    "Ende des Spiels mit Punkten < 300",
    "Ende des Spiels mit Punkten >= 300",
    "Ende des Spiels mit Punkten >= 500",
    "Ende des Spiels mit Punkten >= 600",
    "Ende des Spiels mit Punkten >= 700",
    "Ende des Spiels mit Punkten >= 800",
    "Stop: laufendes Spiel abbrechen?",
    "Shut-Up-Button gedrückt",
    "Erklärung der Buttons",
    "Erklärung Lippenschalter (nur einmal pro Session erklären)",
    "Spielzeit abgelaufen",
};
static_assert(std::size(kTokenDescriptions) == kSpeechTokenCount);

// "SPRG = 1      ' Programm wurde gestartet": the description starts in column 15.
QString Legend(int token) {
  const QString name = SpeechTokenName(token).toUpper();
  const QString head = (name + QStringLiteral(" = ") + QString::number(token)).leftJustified(14, QLatin1Char(' '));
  return head + QStringLiteral("' ") + QString::fromUtf8(kTokenDescriptions[token - 1]);
}

// "[SPEECH]"
QString Header(const QString& section) { return QLatin1Char('[') + section + QLatin1Char(']'); }

QString DefaultSettingsText() {
  QStringList lines = {
      Header(IniSection::Global),
      IniKey::AllowTimeSettingsEdit + QLatin1Char('=') + IniFlag::True,
      IniKey::Highscore + QStringLiteral("= 100"),
      QString(),
      Header(IniSection::Times),
      QString(),
      Header(IniSection::Colors),
      QString(),
      Header(IniSection::Sound),
      QString(),
      Header(IniSection::Speech),
      SpeechKey::Path + QLatin1Char('='),
  };
  for (int n = 1; n <= kSpeechTokenCount; ++n) {
    lines << QStringLiteral(";  ") + Legend(n) << SpeechKey::ElementCount(n) + QLatin1Char('=')
          << SpeechKey::Probability(n) + QLatin1Char('=') << SpeechKey::RepeatsAllowed(n) + QLatin1Char('=')
          << SpeechKey::Played(n) + QLatin1Char('=') << QString();
  }
  lines << QString();
  return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

}  // namespace

bool FileExists(const QString& Path) {
  try {
    return rt::FileLen(Path) >= 0;
  } catch (const rt::RuntimeError&) {
    return false;
  }
}

void WriteDefaultSettings() {
  if (rt::KindOf(QFileInfo(rt::LinkTarget(IniFile)).absolutePath()) == rt::FileKind::kMissing)
    rt::Raise(rt::ErrPathNotFound);
  // Whatever stands there already (an empty file) is kept in front; the whole text goes
  // in with one write, so a start killed meanwhile leaves no half-written file.
  const QByteArray before = rt::ReadRegularFile(IniFile).value_or(QByteArray());
  if (!rt::WriteFileContents(IniFile, before + rt::ToWindows1252(DefaultSettingsText())))
    rt::Raise(rt::ErrFileAccess);
}

#include "settings/IniHandler.h"

#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "runtime/Profile.h"

QString IniFile;

namespace {

QString WithoutBlanks(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first] == QLatin1Char(' ')) ++first;
  while (last > first && text[last - 1] == QLatin1Char(' ')) --last;
  return text.mid(first, last - first);
}

}  // namespace

QString ReadIniValue(const QString& Section, const QString& Key) {
  return WithoutBlanks(rt::ReadProfileString(Section, Key, IniFile));
}

bool WriteIniValue(const QString& Section, const QString& Key, const QString& Value,
                   bool UseFallback) {
  const QString target = UseFallback ? rt::AppFile(QStringLiteral("RUMPEL.INI")) : IniFile;
  const bool written = rt::WriteProfileString(Section, Key, Value, target);
  return written || Value.isEmpty();
}

IniWriteBatch::IniWriteBatch() : edit_(IniFile) {}

bool IniWriteBatch::Write(const QString& Section, const QString& Key, const QString& Value) {
  return edit_.Set(Section, Key, Value) || Value.isEmpty();
}

bool IniWriteBatch::Commit() { return edit_.Save(); }

QString ChooseColorKey(int n) { return QStringLiteral("CHOOSECOLOR") + QString::number(n); }

int16_t ReadChosenColor(int n) { return rt::ClampCInt(rt::Val(ReadIniValue(IniSection::Colors, ChooseColorKey(n)))); }

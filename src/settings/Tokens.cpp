#include "settings/Tokens.h"

#include <QStringList>

#include "runtime/Numbers.h"

namespace {

bool HasDelimiter(const QString& text, const QString& delim) {
  return !delim.isEmpty() && text.contains(delim);
}

// Replaces two delimiters in a row by one until nothing changes.
QString Collapse(QString text, const QString& delim) {
  if (delim.isEmpty()) return text;
  const QString twice = delim + delim;
  qsizetype length = -1;
  while (length != text.size()) {
    length = text.size();
    text.replace(twice, delim);
  }
  return text;
}

bool IsBlankText(const QString& text) {
  for (const QChar c : text) {
    if (c != QLatin1Char(' ')) return false;
  }
  return true;
}

}  // namespace

QString StrReplace(const QString& Src, const QString& Find, const QString& Repl) {
  if (Src.isEmpty() || Find.isEmpty()) return {};
  QString work = Src;
  for (qsizetype at = work.indexOf(Find); at >= 0; at = work.indexOf(Find, at + Repl.size()))
    work.replace(at, Find.size(), Repl);
  return work;
}

int16_t CountTokens(const QString& Text, const QString& Delim) {
  if (Delim.isEmpty()) return 1;
  const QString searched = Delim + Collapse(Text, Delim);
  int64_t count = 0;
  for (qsizetype at = searched.indexOf(Delim); at >= 0; at = searched.indexOf(Delim, at + 1)) ++count;
  return rt::CheckedInt16(count);
}

QString GetToken(QString Text, const QString& Delim, int16_t Index) {
  if (!HasDelimiter(Text, Delim)) {
    if (Index == 1) return Text;
    if (Index >= 2) return {};
  }
  Text = Collapse(Text, Delim);
  if (Index == 0) Index = CountTokens(Text, Delim);
  if (IsBlankText(Text)) return {};
  if (!HasDelimiter(Text, Delim)) return Text;
  const QStringList tokens = Text.split(Delim);
  if (Index < 1) return tokens.first();
  return Index <= tokens.size() ? tokens[Index - 1] : QString();
}

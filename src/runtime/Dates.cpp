#include "runtime/Dates.h"

#include <QRegularExpression>

#include "runtime/Clock.h"

namespace rt {

QString ShortDateText(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

QDate Today() { return CurrentClock().Today(); }

std::optional<QDate> ParseShortDate(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
  const QRegularExpressionMatch match = pattern.match(text.trimmed());
  if (!match.hasMatch()) return std::nullopt;
  const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
  if (!date.isValid()) return std::nullopt;
  return date;
}

}  // namespace rt

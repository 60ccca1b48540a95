#pragma once
// Dates as the settings file keeps them: the German short date "dd.mm.yyyy".
#include <QDate>
#include <QString>
#include <optional>

namespace rt {

// "23.04.2007".
QString ShortDateText(const QDate& date);
// Today's date on the runtime clock.
QDate Today();
// The date a short date text names; day and month may have one or two digits
// ("3.4.2007"). Anything that is no valid date gives nullopt, never an error.
std::optional<QDate> ParseShortDate(const QString& text);

}  // namespace rt

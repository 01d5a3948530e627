#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace qel {

// A date in the system's short date form with a four-digit year ("3/15/2024", "15 Mar 2024");
// "" for a date that is not set. Files written for other programs and reports use it.
QString shortDateText(const QDate &date);

// Which of the first two numbers of a numeric date (3/4/2023) is the day.
enum class DayMonth { DayFirst, MonthFirst };

// "day first" or "month first", for log lines.
QString dayMonthText(DayMonth order);

// The order of the system's short date form (QLocale::system()): month first when its month
// comes before its day (M/d/yy), else day first.
DayMonth systemDayMonth();

// What a text's own numbers say about its order: a numeric date d/m/y or m/d/y (separators
// "/", "." or "-", a two- or four-digit year) whose first or second number is above 12 needs
// one order; one with both at most 12 fits either.
enum class NumericDateKind {
    None, // not a numeric date (ISO, month names, anything else)
    Ambiguous,
    DayFirst,
    MonthFirst,
    Impossible, // both numbers above 12
};
NumericDateKind numericDateKind(QStringView text);

// A sample date typed as text:
// - ISO: yyyy-mm-dd (also with "/" or "." between), always year, month, day;
// - numeric d/m/y or m/d/y read in the order given (the order of the whole column);
// - month names in English ("15-Mar-2023", "March 15, 2023", "15 March 2023", "Mar 15 2023") or
//   in the system's language;
// - else the system's own all-numeric short form given (e.g. "yy. M. d.").
// With or without leading zeros; two-digit years are read as spreadsheets read them: 00..29 as
// 2000..2029, 30..99 as 1930..1999. Nothing for any other text or a day that does not exist.
std::optional<QDate> dateFromText(QStringView text, DayMonth order, const QString &shortFormat);

} // namespace qel

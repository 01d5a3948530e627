#include "core/date_text.h"

#include <QLocale>
#include <QRegularExpression>

namespace qel {

namespace {

// A year as written: two digits as spreadsheets read them (30..99 are 1930..1999, 00..29 are
// 2000..2029), else as it stands.
std::optional<QDate> dateOf(QStringView year, int month, int day)
{
    int y = year.toInt();
    if (year.size() == 2)
        y += y < 30 ? 2000 : 1900;
    const QDate date(y, month, day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// Day and month with the same separator twice, a space allowed after it (15. 3. 2023).
const QRegularExpression &numericPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})([/.-])\\s*(\\d{1,2})\\2\\s*(\\d{4}|\\d{2})$"));
    return pattern;
}

const QRegularExpression &isoPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})([/.-])(\\d{1,2})\\2(\\d{1,2})$"));
    return pattern;
}

// "15-Mar-2023", "15 March 2023", "15. März 2023", "15th March 2023".
const QRegularExpression &dayNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2})(?:st|nd|rd|th)?[\\s./-]*(\\p{L}+)[\\s,./-]+(\\d{4}|\\d{2})$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// "March 15, 2023", "Mar 15 2023", "Mar-15-2023".
const QRegularExpression &nameDayPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\p{L}+)[\\s./-]*(\\d{1,2})(?:st|nd|rd|th)?[\\s,./-]+(\\d{4}|\\d{2})$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

QString foldedName(QString name)
{
    while (name.endsWith(u'.'))
        name.chop(1);
    return name.toCaseFolded();
}

// The month a name stands for, in English or the system's language: its full or short name
// (with or without the short name's dot, standalone forms too), letter case ignored; 0 for none.
int monthOfName(const QString &name)
{
    const QString wanted = foldedName(name);
    if (wanted == u"sept")
        return 9;
    for (const QLocale &locale : { QLocale(QLocale::English), QLocale::system() }) {
        for (int month = 1; month <= 12; ++month) {
            for (const auto format : { QLocale::LongFormat, QLocale::ShortFormat }) {
                if (foldedName(locale.monthName(month, format)) == wanted
                    || foldedName(locale.standaloneMonthName(month, format)) == wanted)
                    return month;
            }
        }
    }
    return 0;
}

std::optional<QDate> namedMonthDate(const QString &text)
{
    if (const auto match = dayNamePattern().match(text); match.hasMatch()) {
        if (const int month = monthOfName(match.captured(2)))
            return dateOf(match.capturedView(3), month, match.capturedView(1).toInt());
    }
    if (const auto match = nameDayPattern().match(text); match.hasMatch()) {
        if (const int month = monthOfName(match.captured(1)))
            return dateOf(match.capturedView(3), month, match.capturedView(2).toInt());
    }
    return std::nullopt;
}

// The text against an all-numeric short form (d/M/y in any order and with any separators),
// with or without leading zeros and with a two- or four-digit year. Nothing when the form
// holds names or quoted text, or the text does not fit it.
std::optional<QDate> shortFormDate(const QString &text, const QString &shortFormat)
{
    QString pattern = QStringLiteral("^");
    QString order; // the fields in the order of their groups
    for (qsizetype i = 0; i < shortFormat.size();) {
        const QChar c = shortFormat[i];
        qsizetype n = 1;
        while (i + n < shortFormat.size() && shortFormat[i + n] == c)
            ++n;
        if ((c == u'd' || c == u'M') && n <= 2) {
            pattern += QStringLiteral("(\\d{1,2})");
            order += c;
        } else if (c == u'y') {
            pattern += QStringLiteral("(\\d{4}|\\d{2})");
            order += c;
        } else if (c.isLetter() || c == u'\'') {
            return std::nullopt;
        } else {
            pattern += QRegularExpression::escape(QString(n, c));
        }
        i += n;
    }
    if (order.size() != 3 || !order.contains(u'd') || !order.contains(u'M') || !order.contains(u'y'))
        return std::nullopt;
    const auto match = QRegularExpression(pattern + u'$').match(text);
    if (!match.hasMatch())
        return std::nullopt;
    auto field = [&](QChar which) { return match.capturedView(int(order.indexOf(which)) + 1); };
    return dateOf(field(u'y'), field(u'M').toInt(), field(u'd').toInt());
}

} // namespace

QString shortDateText(const QDate &date)
{
    if (!date.isValid())
        return {};
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    // Two-digit years are ambiguous across centuries of monitoring data.
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return QLocale::system().toString(date, format);
}

QString dayMonthText(DayMonth order)
{
    return order == DayMonth::DayFirst ? QStringLiteral("day first") : QStringLiteral("month first");
}

DayMonth systemDayMonth()
{
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    const qsizetype day = format.indexOf(u'd'), month = format.indexOf(u'M');
    return day >= 0 && month >= 0 && month < day ? DayMonth::MonthFirst : DayMonth::DayFirst;
}

NumericDateKind numericDateKind(QStringView text)
{
    const auto match = numericPattern().match(text.trimmed());
    if (!match.hasMatch())
        return NumericDateKind::None;
    const bool firstIsDay = match.capturedView(1).toInt() > 12, secondIsDay = match.capturedView(3).toInt() > 12;
    if (firstIsDay && secondIsDay)
        return NumericDateKind::Impossible;
    if (firstIsDay)
        return NumericDateKind::DayFirst;
    if (secondIsDay)
        return NumericDateKind::MonthFirst;
    return NumericDateKind::Ambiguous;
}

std::optional<QDate> dateFromText(QStringView text, DayMonth order, const QString &shortFormat)
{
    const QString trimmed = text.trimmed().toString();
    if (const auto match = isoPattern().match(trimmed); match.hasMatch())
        return dateOf(match.capturedView(1), match.capturedView(3).toInt(), match.capturedView(4).toInt());
    if (const auto match = numericPattern().match(trimmed); match.hasMatch()) {
        const int first = match.capturedView(1).toInt(), second = match.capturedView(3).toInt();
        return order == DayMonth::DayFirst ? dateOf(match.capturedView(4), second, first)
                                           : dateOf(match.capturedView(4), first, second);
    }
    if (const auto date = namedMonthDate(trimmed))
        return date;
    return shortFormDate(trimmed, shortFormat);
}

} // namespace qel

#include "core/date_text.h"

#include <QLocale>
#include <QRegularExpression>

namespace qel {

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

} // namespace qel

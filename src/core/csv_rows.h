#pragma once

#include <QString>
#include <QStringList>

namespace qel {

// The csv files QEL writes: comma-separated fields, each line ended by CR LF.
inline QString csvRow(const QStringList &fields)
{
    return fields.join(u',') + QStringLiteral("\r\n");
}

// A field quoted when it holds a comma, a quote or a line end, its quotes doubled.
inline QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

} // namespace qel

#include "input/corrected_table.h"

#include "core/csv_rows.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "input/date_column.h"
#include "input/import_wizard.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace qel {

namespace {

// The separators the csv reader may take a file's for are quoted too, so that it finds the comma.
QString quoted(const QString &text)
{
    static const QRegularExpression needsQuotes(QStringLiteral("[,;\\t\"\\r\\n]|^\\s|\\s$"));
    if (!needsQuotes.match(text).hasMatch())
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A date column's texts are read in the column's order; one that needs the other order keeps its
// text, for the reader to refuse again.
QString cellText(const TableCell &cell, const std::optional<DayMonth> &dateOrder)
{
    if (dateOrder) {
        if (const auto date = cellDate(cell, *dateOrder))
            return date->toString(Qt::ISODate);
    }
    if (cell.isNumber()) {
        // "007" stays "007"; a number that came as a number gets all its digits.
        const QString written = cell.toText();
        return strictNumber(written) == cell.toNumber() ? written : exactNumberText(cell.toNumber());
    }
    return cell.toText();
}

} // namespace

QByteArray correctedCsv(const Table &table, int dateColumn)
{
    const int columns = int(table.fieldNames().size());
    std::optional<DayMonth> dateOrder;
    if (dateColumn >= 0 && dateColumn < columns)
        dateOrder = dateColumnOrder(table, dateColumn, table.recordCount()).order;
    QString text;
    QStringList line;
    for (const QString &name : table.fieldNames())
        line << quoted(name);
    text += csvRow(line);
    for (int r = 0; r < table.recordCount(); ++r) {
        line.clear();
        for (int c = 0; c < columns; ++c)
            line << quoted(cellText(table.cell(r, c), c == dateColumn ? dateOrder : std::nullopt));
        text += csvRow(line);
    }
    return text.toUtf8();
}

QString correctedCsvName(const QString &folder, const QString &dataFile)
{
    static const QRegularExpression mark(QStringLiteral("-corrected(-\\d+)?$"));
    const QString base = QFileInfo(dataFile).completeBaseName().remove(mark);
    const QDir dir(folder);
    QString name = base + QStringLiteral("-corrected.csv");
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = base + QStringLiteral("-corrected-%1.csv").arg(n);
    return name;
}

void writeCorrectedCsv(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw QelError(ErrPathFileAccess,
            QStringLiteral("The corrected table cannot be saved as %1: %2").arg(path, file.errorString()));
}

} // namespace qel

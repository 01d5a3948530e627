#pragma once

#include "input/table_access.h"

#include <QByteArray>
#include <QString>

namespace qel {

// The corrected copy of a wizard's table, which a project reads instead of the person's file
// (that file is never written). It is a csv file that openTable reads back to the same values.

// The table as csv: the field names, then one line per record, UTF-8 with CR LF. A number keeps
// the text it was written as when that reads back as the same value, otherwise it gets its
// shortest exact text; dates are yyyy-mm-dd, and so is every cell of dateColumn (-1 for none)
// that reads as a date, whatever the locale it was typed in. Cells holding a separator, a quote,
// a line break or blanks at either end are quoted.
QByteArray correctedCsv(const Table &table, int dateColumn = -1);

// The first name not taken in folder for the corrected copy of dataFile: "<base>-corrected.csv",
// then "<base>-corrected-2.csv" and so on. A copy's copy drops the old mark ("wells-corrected.xlsx"
// gives "wells-corrected-2.csv" rather than "wells-corrected-corrected.csv").
QString correctedCsvName(const QString &folder, const QString &dataFile);

// Writes the bytes as the whole file, atomically: a failure (error 75) leaves no file behind.
void writeCorrectedCsv(const QString &path, const QByteArray &bytes);

} // namespace qel

#pragma once

#include "input/table_access.h"

#include <vector>

namespace qel {

// A sheet as read: row 0 holds the field names.
struct Sheet {
    QString name;
    std::vector<std::vector<TableCell>> rows;
};

// The table-format error for a file that cannot be read as the format chosen for it, with the
// reason when one is known.
[[noreturn]] void notOfFormat(const QString &path, const TableFormat &format, const QString &why = {});

// A number cell as a sheet holds it. Files are passed on as written, so a dBASE field of 1e999
// is infinite and one of "nan" no number: those stay text ("inf", "nan"), which the readers
// refuse as a level or a coordinate.
TableCell numberCell(double value);

// The sheets of a Lotus WK3/WK4 file with the cells' exact values.
std::vector<Sheet> readLotusSheets(const QString &path, const TableFormat &format);

} // namespace qel

#include "input/date_column.h"

namespace qel {

DateColumnOrder dateColumnOrder(const Table &table, int column, int records)
{
    DateColumnOrder result;
    for (int r = 0; r < records && result.disagreeing < 0; ++r) {
        const TableCell &cell = table.cell(r, column);
        if (cell.kind() != TableCell::Kind::Text)
            continue;
        const NumericDateKind kind = numericDateKind(cell.toText());
        if (kind == NumericDateKind::None)
            continue;
        result.numeric = true;
        if (kind != NumericDateKind::DayFirst && kind != NumericDateKind::MonthFirst)
            continue;
        const DayMonth needed = kind == NumericDateKind::DayFirst ? DayMonth::DayFirst : DayMonth::MonthFirst;
        if (result.settledBy < 0) {
            result.order = needed;
            result.settledBy = r;
        } else if (needed != result.order) {
            result.disagreeing = r;
        }
    }
    if (result.settledBy < 0)
        result.order = systemDayMonth();
    return result;
}

} // namespace qel

#pragma once

#include "core/date_text.h"
#include "input/table_access.h"

namespace qel {

// The day-month order of a column of numeric date texts, decided by the whole column so that it
// never depends on the machine: the first text whose first or second number is above 12 settles
// it, and only a column where every such number is 12 or less takes the system's order.
struct DateColumnOrder {
    DayMonth order = DayMonth::DayFirst;
    bool numeric = false; // whether the column holds any numeric date text
    int settledBy = -1; // the record whose text settled the order; -1: the system's order
    int disagreeing = -1; // the first record whose text needs the other order; -1: none
};

// The order of the first records of a table's column (text cells only: date cells, numbers and
// blanks say nothing about it).
DateColumnOrder dateColumnOrder(const Table &table, int column, int records);

} // namespace qel

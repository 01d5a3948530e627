#include "core/date_text.h"
#include "input/date_column.h"

#include <gtest/gtest.h>

using namespace qel;

namespace {

constexpr auto D = DayMonth::DayFirst;
constexpr auto M = DayMonth::MonthFirst;

} // namespace

// Sample dates typed as text, read in the column's order whatever the machine's locale; the
// short form given is the system's, used only for texts no other rule reads.
TEST(DateText, ReadsIsoNumericAndNamedDates)
{
    const struct {
        const char *text;
        DayMonth order;
        QDate date; // invalid: not a date
        const char *format = "d MMM yyyy";
    } cases[] = {
        { "3/15/2023", M, QDate(2023, 3, 15) },
        { "15/3/2023", D, QDate(2023, 3, 15) },
        { "15/3/2023", M, {} },
        { "3/4/2023", D, QDate(2023, 4, 3) },
        { "3/4/2023", M, QDate(2023, 3, 4) },
        { "03-04-2023", M, QDate(2023, 3, 4) },
        { "15.03.23", D, QDate(2023, 3, 15) },
        { "15. 3. 2023", D, QDate(2023, 3, 15) },
        { "12/31/29", M, QDate(2029, 12, 31) }, // 00..29 are 2000..2029
        { "1/1/30", M, QDate(1930, 1, 1) },
        { "2/29/00", M, QDate(2000, 2, 29) },
        { "2/29/2023", M, {} },
        { "3/15-2023", M, {} }, // one separator throughout
        { "3/15", M, {} },
        { "3/15/123", M, {} },
        { "13/13/2023", D, {} },
        // ISO is year, month, day in either order
        { " 2023-03-15 ", D, QDate(2023, 3, 15) },
        { "2023/3/5", M, QDate(2023, 3, 5) },
        { "2023-02-30", D, {} },
        // English month names, whatever the order and the system
        { "15-Mar-2023", M, QDate(2023, 3, 15) },
        { "15-mar-23", M, QDate(2023, 3, 15) },
        { "March 15, 2023", D, QDate(2023, 3, 15) },
        { "15 March 2023", M, QDate(2023, 3, 15) },
        { "Mar 15 2023", D, QDate(2023, 3, 15) },
        { "Sept 1, 2023", D, QDate(2023, 9, 1) },
        { "1st June 2023", D, QDate(2023, 6, 1) },
        { "31 Feb 2023", D, {} },
        { "15 Marz 2023", D, {} },
        { "Mar 2023", D, {} },
        // the system's own numeric form, when no rule above fits
        { "23. 3. 15.", D, QDate(2023, 3, 15), "yy. M. d." },
        { "later", D, {} },
    };
    for (const auto &c : cases)
        EXPECT_EQ(dateFromText(QString::fromLatin1(c.text), c.order, QLatin1String(c.format)).value_or(QDate()), c.date)
            << c.text << " " << dayMonthText(c.order).toStdString();
}

TEST(DateText, WhatANumericDateSaysAboutItsOrder)
{
    const struct {
        const char *text;
        NumericDateKind kind;
    } cases[] = {
        { "3/15/2023", NumericDateKind::MonthFirst },
        { "15.3.2023", NumericDateKind::DayFirst },
        { "12-12-12", NumericDateKind::Ambiguous },
        { " 1/2/2023 ", NumericDateKind::Ambiguous },
        { "13/13/2023", NumericDateKind::Impossible },
        { "2023-03-15", NumericDateKind::None },
        { "15-Mar-2023", NumericDateKind::None },
        { "43904", NumericDateKind::None },
    };
    for (const auto &c : cases)
        EXPECT_EQ(numericDateKind(QString::fromLatin1(c.text)), c.kind) << c.text;
}

// The first date with a number above 12 settles the column; only an undecided column takes the
// system's order. Cells that are no numeric text say nothing.
TEST(DateText, TheWholeColumnDecidesTheOrder)
{
    const TableCell dateCell = TableCell::date(QDate(2023, 3, 15));
    const struct {
        const char *name;
        std::vector<TableCell> cells;
        int records; // read of them
        DateColumnOrder want;
    } cases[] = {
        { "month first", { TableCell::text("3/4/2023"), TableCell::text("3/15/2023"), TableCell::text("4/1/2023") }, 3,
            { M, true, 1, -1 } },
        { "day first", { TableCell::text("15/3/2023"), TableCell::text("3/4/2023") }, 2, { D, true, 0, -1 } },
        { "mixed", { TableCell::text("3/15/2023"), TableCell::text("4/4/2023"), TableCell::text("13/3/2023") }, 3,
            { M, true, 0, 2 } },
        { "mixed beyond the records read", { TableCell::text("3/15/2023"), TableCell::text("13/3/2023") }, 1,
            { M, true, 0, -1 } },
        { "ambiguous", { TableCell::text("3/4/2023"), TableCell {}, TableCell::text("4/5/2023") }, 3,
            { systemDayMonth(), true, -1, -1 } },
        { "no numeric text",
            { dateCell, TableCell::number(43904), TableCell::text("2023-03-15"), TableCell::text("15-Mar-2023") }, 4,
            { systemDayMonth(), false, -1, -1 } },
    };
    for (const auto &c : cases) {
        std::vector<std::vector<TableCell>> records;
        for (const TableCell &cell : c.cells)
            records.push_back({ cell, TableCell::number(100) });
        const DateColumnOrder got = dateColumnOrder(Table("levels", { "Date", "MW-1" }, records), 0, c.records);
        EXPECT_EQ(std::tuple(got.order, got.numeric, got.settledBy, got.disagreeing),
            std::tuple(c.want.order, c.want.numeric, c.want.settledBy, c.want.disagreeing))
            << c.name;
    }
}

#include "input/import_wizard.h"

#include <gtest/gtest.h>

using namespace qel;

// Sample dates typed as text, in the system's short form (here given) or ISO.
TEST(SampleDateText, ShortFormsAndIso)
{
    const struct {
        const char *text, *format;
        QDate date; // invalid: not a date
    } cases[] = {
        { "3/15/2023", "M/d/yy", QDate(2023, 3, 15) },
        { "12/31/29", "M/d/yy", QDate(2029, 12, 31) }, // 00..29 are 2000..2029
        { "1/1/30", "M/d/yy", QDate(1930, 1, 1) },
        { "2/29/00", "M/d/yy", QDate(2000, 2, 29) },
        { "15.03.23", "dd.MM.yy", QDate(2023, 3, 15) },
        { "15 Mar 2023", "d MMM yyyy", QDate(2023, 3, 15) },
        { "15 Mar 23", "d MMM yyyy", QDate(2023, 3, 15) }, // a month name, a two-digit year: in the window
        { " 2023-03-15 ", "M/d/yy", QDate(2023, 3, 15) },
        { "15/3/2023", "M/d/yy", {} },
        { "3/15", "M/d/yy", {} },
        { "3/15/123", "M/d/yy", {} },
    };
    for (const auto &c : cases)
        EXPECT_EQ(dateFromText(QString::fromLatin1(c.text), QLatin1String(c.format)).value_or(QDate()), c.date)
            << c.text << " as " << c.format;
    EXPECT_EQ(std::tuple(cellReference(0, 0), cellReference(9, 27)),
        std::tuple(QStringLiteral("A2"), QStringLiteral("AB11")));
}

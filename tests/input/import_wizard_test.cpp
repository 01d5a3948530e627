#include "input/import_wizard.h"

#include <gtest/gtest.h>

using namespace qel;

// Spreadsheet names of date cells, as the reader's reports name them.
TEST(SampleDateText, CellReferences)
{
    EXPECT_EQ(std::tuple(cellReference(0, 0), cellReference(9, 27)),
        std::tuple(QStringLiteral("A2"), QStringLiteral("AB11")));
}

#include "input/well_reader.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

class WellReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.makeProjectFolder();
        s.model.ProjectDirAssigned = true;
    }

    // A csv table in the project folder, named by the [Well Data] settings.
    void useTable(const QByteArray &rows)
    {
        t.writeFile(QStringLiteral("site/wells.csv"), rows);
        ProjectModel &m = s.model;
        m.WEDataFormat = QStringLiteral("Text"), m.WEFileExt = QStringLiteral("csv"), m.WEDataPath.clear();
        m.WEDataFile = QStringLiteral("wells.csv"), m.WEDataTable = QStringLiteral("wells");
        m.WellIDField = QStringLiteral("id"), m.XField = QStringLiteral("x"), m.YField = QStringLiteral("y");
    }

    QStringList warnings() const { return t.frontend.boxTexts(MsgIcon::Warning); }

    TestSession t;
    Session &s = *t.session;
    WellsWizard w;
};

QByteArray manyWells(int count)
{
    QByteArray rows = "id,x,y\r\n";
    for (int i = 1; i <= count; ++i)
        rows += "W" + QByteArray::number(i) + "," + QByteArray::number(i) + ",5\r\n";
    return rows;
}

} // namespace

TEST_F(WellReader, ReadsTheWellsWithInvalidCoordinatesAsZero)
{
    useTable("id,x,y\r\n101,512034.25,4201876.5\r\nMW-2,n/a,4201655\r\nMW-3,3,north\r\n");
    EXPECT_TRUE(ReadData(s, w));
    const ProjectModel &m = s.model;
    ASSERT_EQ(m.NumWells, 3);
    EXPECT_EQ(std::tuple(m.WellID(1), m.WellX(1), m.WellX(2), m.WellY(2), m.WellY(3)),
        std::tuple(QStringLiteral("101"), 512034.25, 0.0, 4201655.0, 0.0));
    EXPECT_EQ(warnings(),
        QStringList({ "X coordinate value \"n/a\"\nis invalid for record number 2. Changed to 0.0 for now.",
            "Y coordinate value \"north\"\n is invalid for record number 3. Changed to 0.0 for now." }));
    EXPECT_TRUE(m.WEDone);
}

TEST_F(WellReader, TheThousandWellLimit)
{
    useTable(manyWells(1000));
    EXPECT_TRUE(ReadData(s, w));
    EXPECT_EQ(s.model.WellID(1000), QStringLiteral("W1000"));

    s.model.WEDone = false;
    useTable(manyWells(1001));
    EXPECT_FALSE(ReadData(s, w));
    EXPECT_EQ(warnings(),
        QStringList({ "Number of wells (1001) exceeds the maximum (1000) allocated in QEL!\nPlease reduce number of "
                      "wells, or contact QEL techsupport." }));
    EXPECT_EQ(std::tuple(s.model.NumWells, s.model.WEDone), std::tuple(1000, false)) << "the wells read before stay";
}

TEST_F(WellReader, BlankIdentifiersFailTheRead)
{
    t.frontend.expectErrors = true;
    QByteArray rows = "id,x,y\r\n";
    for (int i = 1; i <= 8; ++i)
        rows += (i == 7 ? QByteArray("\"   \"") : "W" + QByteArray::number(i)) + ",1,1\r\n";
    useTable(rows);
    EXPECT_FALSE(ReadData(s, w));
    EXPECT_EQ(s.model.NumWells, 8); // the read completes
    EXPECT_TRUE(t.readLog().contains(QStringLiteral(": WellID is blank for record number7\r\n")));
    EXPECT_EQ(std::tuple(s.errorsReported, s.model.WEDone), std::tuple(1, false));
}

TEST_F(WellReader, FinishedEditingReadsTheGridAgain)
{
    t.frontend.expectErrors = true;
    s.model.MapReady = true;
    useTable("id,x,y\r\nA,1,1\r\n\"  \",2,2\r\n");
    EXPECT_FALSE(ReadData(s, w));
    wizardCellEdited(s, w, 0, 2, QStringLiteral("abc"));
    wellsFinishedEditingClicked(s, w);
    EXPECT_EQ(std::tuple(s.model.WellY(1), w.hint, w.mapWellsEnabled, w.nextEnabled),
        std::tuple(0.0, WellDataErrorHint, false, false));
}

// Identifiers keep the text of their cells (a file's encoding is the table tests'); names the water
// levels could not tell apart (letter case is ignored there) are shown with their records; a
// record without an identifier is left out.
TEST_F(WellReader, IdentifiersKeepTheirTextAndRepeatsAreShown)
{
    const struct {
        QByteArray rows;
        QStringList ids;
        QString warning; // empty: none
    } cases[] = {
        { "id,x,y\r\n007,1,1\r\n7,2,2\r\n1.50,3,3\r\n", { "007", "7", "1.50" }, {} },
        { "id,x,y\r\nA,1,1\r\n,2,2\r\nB,3,3\r\na,4,4\r\nA,5,5\r\nb,6,6\r\n", { "A", "B", "a", "A", "b" },
            "These well IDs appear more than once (letter case ignored): 'A' (records 1, 4, 5), 'B' (records 3, 6)."
            "\nWater levels will be matched to the first well of each name." },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rows.constData());
        t.frontend.boxes.clear();
        useTable(c.rows);
        EXPECT_TRUE(ReadData(s, w));
        QStringList ids;
        for (int k = 1; k <= s.model.NumWells; ++k)
            ids << s.model.WellID(k);
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(warnings(), c.warning.isEmpty() ? QStringList() : QStringList { c.warning });
    }
    EXPECT_EQ(s.model.WellX(2), 3.0) << "the record after the left-out one moves up";
    EXPECT_TRUE(t.readLog().contains(
        QStringLiteral("Wells: WellID is empty for record number 2, the record is left out.\r\n")));
}

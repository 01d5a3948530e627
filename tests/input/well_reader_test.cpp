#include "input/well_reader.h"
#include "map/map_session.h"
#include "support/test_session.h"
#include "views/map_wells.h"
#include "views/workflow_replay.h"

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

TEST(WellFields, DefaultDetection)
{
    struct Case {
        QStringList names;
        QString storedId, storedX, storedY;
        std::array<int, 3> expected;
    };
    const Case cases[] = {
        { { "WELL_NO", "EASTING", "NORTHING" }, {}, {}, {}, { 0, 1, 2 } },
        { { "Name", "XY", "Y" }, {}, {}, {}, { -1, 1, 2 } }, // XY is x, not y
        // y never takes the identifier's or x's column
        { { "Y_WELL", "X", "YY" }, {}, {}, {}, { 0, 1, 2 } },
        // stored names stay chosen, in any letter case
        { { "id", "x", "y", "E", "N" }, "ID", "e", "n", { 0, 3, 4 } },
        { { "Well", "a", "b" }, {}, "gone", {}, { 0, -1, -1 } },
        // a GIS layer's point comes first, unless fields were chosen before
        { { "WellID", "X", "Y", "(geometry x)", "(geometry y)" }, {}, {}, {}, { 0, 3, 4 } },
        { { "WellID", "X", "Y", "(geometry x)", "(geometry y)" }, {}, "x", "y", { 0, 1, 2 } },
    };
    for (const Case &c : cases)
        EXPECT_EQ(wellFieldChoice(c.names, c.storedId, c.storedX, c.storedY), c.expected)
            << c.names.join(u',').toStdString();
}

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
    useTable("id,x,y\r\nA,1,1\r\nB,2,2\r\n");
    ASSERT_TRUE(ReadData(s, w));
    s.model.MapReady = true;
    // a cleared identifier is an empty record: the well leaves the list
    wizardCellEdited(s, w, 0, 0, QStringLiteral(" "));
    wellsFinishedEditingClicked(s, w);
    EXPECT_EQ(std::tuple(s.model.NumWells, s.model.WellID(1)), std::tuple(1, QStringLiteral("B")));

    useTable("id,x,y\r\nA,1,1\r\n\"  \",2,2\r\n");
    EXPECT_FALSE(ReadData(s, w));
    wizardCellEdited(s, w, 0, 2, QStringLiteral("abc"));
    t.frontend.boxes.clear();
    wellsFinishedEditingClicked(s, w);
    ASSERT_EQ(t.frontend.boxes.size(), 2u);
    EXPECT_EQ(std::tuple(t.frontend.boxes[0].title, t.frontend.boxes[1].title, t.frontend.boxes[1].text),
        std::tuple(QStringLiteral("Invalid data"), QStringLiteral("Warning"), t.frontend.boxes[0].text));
    EXPECT_EQ(std::tuple(s.model.WellY(1), w.hint, w.mapWellsEnabled, w.nextEnabled),
        std::tuple(0.0, WellDataErrorHint, false, false));
}

TEST_F(WellReader, MapWellsDrawsPointsAndLabels)
{
    useTable("id,x,y\r\nA,100,200\r\nZero,0,0\r\nC,300,400\r\n");
    ASSERT_TRUE(ReadData(s, w));
    MapWells(s); // no real coordinates yet
    EXPECT_FALSE(s.model.WEmapped);

    s.model.MapReady = true, s.model.MapTextSize = 10;
    w.eventSource = EventSource::User;
    wellsMapWellsClicked(s, w);
    ASSERT_EQ(s.errorsReported, 0);
    const Drawing &d = drawingOf(s).drawing(WellsDrawing);
    ASSERT_EQ(d.entities.size(), 4u); // the well at 0, 0 is not drawn
    const Entity &label = d.entities[3];
    EXPECT_EQ(std::tuple(label.kind, label.text, label.points[0], label.justification.code()),
        std::tuple(EntityKind::Text, QStringLiteral("C"), QPointF(310, 400), QStringLiteral("LM")));
    EXPECT_DOUBLE_EQ(label.height, 9);
    EXPECT_EQ(std::tuple(s.layers.node(LayerKey::Wells).text, drawingOf(s).isShown(WellsDrawing), s.model.WEmapped),
        std::tuple(QStringLiteral("Wells (3)"), true, true));
}

TEST_F(WellReader, ProjectReplayRereadsAndRedrawsWhenMapped)
{
    const struct {
        bool mapped, mapReady, drawn;
    } cases[] = { { false, true, false }, { true, false, false }, { true, true, true } }; // the drawing one last
    installWorkflowReplay(s);
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "mapped " << c.mapped << ", map ready " << c.mapReady);
        useTable("id,x,y\r\nA,100,200\r\nB,300,400\r\n");
        ProjectModel &m = s.model;
        m.RunMode = QStringLiteral("Batch"), m.WEDone = false, m.MapTextSize = 5;
        m.WEmapped = c.mapped, m.MapReady = c.mapReady;
        s.replay().rereadWells();
        EXPECT_EQ(std::tuple(m.NumWells, m.WEDone, s.errorsReported), std::tuple(2, true, 0));
        EXPECT_EQ(drawingOf(s).drawing(WellsDrawing).entities.size(), c.drawn ? 4u : 0u);
    }
}

// Identifiers keep the text of their cells, whatever the encoding of the file; names the water
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
        { readBytes(QStringLiteral(QEL_TEST_DATA "/input/wells-latin1.csv")),
            { "Puits-\u00e9", "Puits-\u00e8", "Brunnen-\u00c4", "brunnen-\u00e4" },
            "These well IDs appear more than once (letter case ignored): 'Brunnen-\u00c4' (records 3, 4).\nWater "
            "levels will be matched to the first well of each name." },
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

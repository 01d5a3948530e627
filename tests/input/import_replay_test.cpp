#include "input/water_level_reader.h"
#include "support/test_session.h"
#include "views/map_wells.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A project folder with a wells and a levels table, the [Well Data] and [Water Levels] settings
// of a csv project, read as the project reader reads them.
struct ImportSite {
    explicit ImportSite(const QByteArray &wells, const QByteArray &levels)
    {
        ProjectModel &m = t.session->model;
        m.ProjectDir = t.home() + QStringLiteral("site/");
        QDir().mkpath(m.ProjectDir);
        t.writeFile(QStringLiteral("site/wells.csv"), wells);
        t.writeFile(QStringLiteral("site/levels.csv"), levels);
        m.WEDataFormat = m.WLDataFormat = QStringLiteral("Text");
        m.WEFileExt = m.WLFileExt = QStringLiteral("csv");
        m.WEDataFile = QStringLiteral("wells.csv"), m.WEDataTable = QStringLiteral("wells");
        m.WLDataFile = QStringLiteral("levels.csv"), m.WLDataTable = QStringLiteral("levels");
        m.WellIDField = QStringLiteral("WellID"), m.XField = QStringLiteral("X"), m.YField = QStringLiteral("Y");
        m.RunMode = QStringLiteral("Batch");
        replayWellLocations(*t.session);
        replayWaterLevels(*t.session);
    }
    TestSession t;
};

} // namespace

TEST(ImportReplay, TheExampleTablesGiveTheirWellsAndLevels)
{
    const ImportSite site(readBytes(QStringLiteral(QEL_SOURCE_DIR "/examples/wells.csv")),
        readBytes(QStringLiteral(QEL_SOURCE_DIR "/examples/levels.csv")));
    const ProjectModel &m = site.t.session->model;
    EXPECT_TRUE(m.WEDone);
    EXPECT_TRUE(m.WLDone);
    EXPECT_EQ(m.NumWells, 25);
    EXPECT_EQ(m.WellID(7), QStringLiteral("MW-7"));
    EXPECT_EQ(m.NumSamples, 8);
    EXPECT_EQ(m.NumWLWells, 25);
    EXPECT_EQ(m.SampleDate(1), QDate(2023, 3, 15));
    EXPECT_EQ(m.WLData(7, 3), -9999) << "MW-7 was dry on the third date";
    EXPECT_DOUBLE_EQ(m.WLWellX(7), m.WellX(7)) << "the level wells take the coordinates of the well list";
}

TEST(ImportReplay, ABlankIdentifierIsNoWell)
{
    const ImportSite site("WellID,X,Y\r\nA,1,2\r\n,3,4\r\nB,5,6\r\n", "Date,A,B\r\n2024-01-10,10.5,9.75\r\n");
    const ProjectModel &m = site.t.session->model;
    EXPECT_EQ(m.NumWells, 2);
    EXPECT_EQ(m.WellID(2), QStringLiteral("B"));
    EXPECT_EQ(m.WellX(2), 5);
    EXPECT_DOUBLE_EQ(m.WLData(2, 1), 9.75);
}

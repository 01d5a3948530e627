#include "core/file_commands.h"
#include "map/map_display.h"
#include "map/map_image.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A session whose project folder holds a copy of one fixture base map.
void placeBaseMap(TestSession &t, const char *fixture, const char *type)
{
    ProjectModel &m = t.session->model;
    t.makeProjectFolder();
    // A shapefile comes with its sidecar files.
    const QDir fixtures(QStringLiteral(QEL_TEST_DATA "/map"));
    const QString base = QFileInfo(QLatin1String(fixture)).completeBaseName();
    for (const QString &name : fixtures.entryList({ base + QStringLiteral(".*") }, QDir::Files))
        QFile::copy(fixtures.filePath(name), m.ProjectDir + name);
    m.BaseMapFile = QLatin1String(fixture);
    m.BaseMapType = QLatin1String(type);
    m.DistUnits = QStringLiteral("ft");
}

} // namespace

TEST(DisplayMap, PlacesEveryKindOfBaseMap)
{
    const struct {
        const char *file, *type;
        bool realCoordinates;
        const char *status;
    } cases[] = {
        { "site_plan.dxf", "vector", true, "Vector map loaded. Coordinates = ft" },
        { "site_plan.shp", "vector", true, "Vector map loaded. Coordinates = ft" },
        { "site.bmp", "raster", false, "Raster map loaded. Coordinates = pixels" },
        { "site_geo.tif", "raster", true, "Georeferenced raster map loaded. Coordinates = ft" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        TestSession t;
        placeBaseMap(t, c.file, c.type);
        ASSERT_TRUE(DisplayMap(*t.session));
        const ProjectModel &m = t.session->model;
        EXPECT_TRUE(m.BMDone);
        EXPECT_EQ(m.MapReady, c.realCoordinates);
        EXPECT_EQ(m.MSDone, c.realCoordinates);
        EXPECT_EQ(t.frontend.panelStatus, QLatin1String(c.status));
        EXPECT_EQ(t.session->outline.state(Step::BaseMap), CheckState::All);
        EXPECT_EQ(t.session->outline.node(Step::MapScale).enabled, !c.realCoordinates);
        EXPECT_FALSE(t.frontend.disabledCommands.contains(Command::ZoomAll));
        if (QLatin1String(c.type) == QLatin1String("raster")) {
            EXPECT_EQ(m.PixelRight, 40); // the fixture rasters are 40 x 30
        } else { // 12.345 .. 812.345 rounded to one decimal
            EXPECT_EQ(std::tuple(m.BaseMapLeft, m.BaseMapRight, m.MapTextSize), std::tuple(12.3, 812.3, 8.0));
        }
    }
}

TEST(DisplayMap, AMapThatCannotBeOpenedChangesNothing)
{
    for (const char *type : { "raster", "vector" }) {
        SCOPED_TRACE(type);
        TestSession t;
        placeBaseMap(t, "site_plan.dxf", type);
        t.session->model.BaseMapFile = QStringLiteral("missing.tif");
        EXPECT_FALSE(DisplayMap(*t.session));
        EXPECT_FALSE(t.session->model.BMDone);
        ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
        EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(Map:DisplayMap): ")));
        EXPECT_EQ(t.session->outline.state(Step::BaseMap), CheckState::None);
    }
}

TEST(DisplayMap, ClosingAndClearingTheProjectForgetTheMap)
{
    TestSession t;
    placeBaseMap(t, "site_plan.dxf", "vector");
    ASSERT_TRUE(DisplayMap(*t.session));
    closeMap(*t.session);
    EXPECT_FALSE(t.session->model.BMDone);
    EXPECT_FALSE(t.session->model.MSDone);
    EXPECT_TRUE(t.session->outline.node(Step::MapScale).enabled);
    EXPECT_TRUE(t.frontend.disabledCommands.contains(Command::ZoomIn));
    EXPECT_EQ(t.frontend.panelStatus, QStringLiteral("Closed map."));
    editClear(*t.session);
    EXPECT_EQ(drawingOf(*t.session).baseMap().kind, BaseMap::Kind::None);
}

TEST(DisplayMap, CursorPositionBeforeAndAfterCalibration)
{
    ProjectModel m;
    m.BaseMapType = QStringLiteral("raster");
    EXPECT_EQ(cursorPositionText(m, { 120, 45 }), QStringLiteral(" X, Y: 120, 45 pixels "));
    m.RasterScaleSet = true;
    m.DistUnits = QStringLiteral("m");
    EXPECT_EQ(cursorPositionText(m, { 120, 45.5 }), QStringLiteral(" X, Y: 120.00, 45.50 m "));
}

TEST(MapImage, WritesPngPdfAndSvgAndRefusesOtherNames)
{
    TestSession t;
    placeBaseMap(t, "site_plan.dxf", "vector");
    ASSERT_TRUE(DisplayMap(*t.session));
    const QString base = t.home() + QStringLiteral("map.");
    ASSERT_TRUE(writeMapImage(*t.session, base + "png"));
    const QImage png(base + "png");
    EXPECT_EQ(png.size(), QSize(1600, 1200));
    ASSERT_TRUE(writeMapImage(*t.session, base + "pdf"));
    EXPECT_TRUE(readBytes(base + "pdf").startsWith("%PDF"));
    ASSERT_TRUE(writeMapImage(*t.session, base + "svg"));
    EXPECT_TRUE(readBytes(base + "svg").contains("<svg"));

    EXPECT_FALSE(writeMapImage(*t.session, base + "bmp"));
    EXPECT_FALSE(QFile::exists(base + "bmp"));
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error).last().startsWith(QStringLiteral("QEL(Map:ExportImage): 5: ")));
}

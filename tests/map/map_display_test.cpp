#include "core/file_commands.h"
#include "map/calibration.h"
#include "map/map_display.h"
#include "map/map_image.h"
#include "map/map_session.h"
#include "map_test_util.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// File > Open Base Map with the fixture chosen under the filter entry (1 raster, 3 DXF).
bool openBaseMap(TestSession &t, const char *fixture, int filterIndex)
{
    t.session->model.ProjectDirAssigned = true;
    const QString path = t.session->model.ProjectDir + QLatin1String(fixture);
    if (!QFile::exists(path))
        QFile::copy(mapFixture(fixture), path);
    t.frontend.queueFile(path, filterIndex);
    return fileOpenBaseMap(*t.session);
}

// The 40 x 30 fixture raster calibrated by two points and confirmed with OK.
void calibrate(TestSession &t)
{
    MapCalibration c(*t.session);
    c.Form_Load();
    for (auto [slot, px, py, x, y] : { std::tuple { 3, "5", "25", "0", "0" }, { 4, "35", "5", "300", "200" } }) {
        c.txtRasterX_Change(slot, QLatin1String(px));
        c.txtRasterY_Change(slot, QLatin1String(py));
        c.txtVectorX_Change(slot, QLatin1String(x));
        c.txtVectorY_Change(slot, QLatin1String(y));
    }
    c.chkCalibrate_Click(true);
    c.cmdOK_Click();
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
        { "site.bmp", "raster", false, "Raster map loaded. Coordinates = pixels" },
        { "site_geo.tif", "raster", true, "Georeferenced raster map loaded. Coordinates = ft" },
        { "site_world.png", "raster", true, "Georeferenced raster map loaded. Coordinates = ft" },
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
        EXPECT_EQ(t.session->outline.node(Step::MapScale).enabled, !c.realCoordinates);
        if (QLatin1String(c.type) == QLatin1String("vector")) { // 12.345 .. 812.345 rounded to one decimal
            EXPECT_EQ(std::tuple(m.BaseMapLeft, m.BaseMapRight, m.MapTextSize), std::tuple(12.3, 812.3, 8.0));
        } else if (c.realCoordinates) { // the GeoTIFF tags and the world file both say so
            EXPECT_EQ(std::tuple(m.BaseMapLeft, m.BaseMapBottom, m.BaseMapRight, m.BaseMapTop),
                std::tuple(1000.0, 5000.0, 1100.0, 5075.0));
        } else {
            EXPECT_EQ(m.PixelRight, 40); // the fixture rasters are 40 x 30
        }
    }
}

TEST(DisplayMap, AnotherMapDoesNotInheritTheCalibrationOfTheMapBefore)
{
    TestSession t;
    placeBaseMap(t, "site.bmp", "raster");
    ASSERT_TRUE(openBaseMap(t, "site.bmp", 1));
    calibrate(t);
    const ProjectModel &m = t.session->model;
    ASSERT_TRUE(m.RasterScaleSet && m.CalibrationActive && m.MapReady);

    ASSERT_TRUE(openBaseMap(t, "site_plain.tif", 1));
    EXPECT_EQ(t.frontend.mapWindowsClosed, 1);
    EXPECT_EQ(std::tuple(m.RasterScaleSet, m.CalibrationActive, m.MapReady, m.MSDone),
        std::tuple(false, false, false, false));
    EXPECT_EQ(
        std::tuple(m.RasterPointX(3), m.PixelRight, m.BaseMapLeft, m.BaseMapRight), std::tuple(0.0, 40.0, 0.0, 0.0));
    EXPECT_EQ(t.session->outline.state(Step::MapScale), CheckState::None);
    EXPECT_TRUE(drawingOf(*t.session).pixelToMap().isIdentity());
}

// So does one whose reading the person cancels (a drawing GDAL loops on), saying so without a box.
TEST(DisplayMap, AFileThatCannotBeOpenedKeepsTheMapAndItsLayers)
{
    const struct {
        const char *file;
        int filterIndex;
        bool cancelled;
    } cases[] = { { "missing.dxf", 3, false }, { "broken.dxf", 3, false }, { "missing.tif", 1, false },
        { "looping.dxf", 3, true } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        TestSession t;
        t.frontend.expectErrors = !c.cancelled;
        placeBaseMap(t, "site_plan.dxf", "vector");
        ASSERT_TRUE(openBaseMap(t, "site_plan.dxf", 3));
        writeBytes(t.session->model.ProjectDir + "broken.dxf", "0\nSECTION\n2\nnot a drawing\n");
        DrawingComponent &map = drawingOf(*t.session);
        map.SelectDrawing(WellsDrawing);
        map.NewDrawingFile(t.home() + "wells", 24);
        map.AddLine("", 0, 0, 1, 1);
        map.SelectDrawing(BaseDrawing);
        map.SetUpdate(1);
        ASSERT_EQ(map.shownOverlays().size(), 1u);

        t.frontend.cancelAfterPolls = c.cancelled ? 2 : -1;
        t.frontend.messageLines.clear();
        EXPECT_FALSE(openBaseMap(t, c.file, c.filterIndex));
        const ProjectModel &m = t.session->model;
        EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), c.cancelled ? 0 : 1);
        if (c.cancelled) {
            EXPECT_EQ(t.frontend.messageLines,
                QStringList { "Opening the base map looping.dxf was cancelled; the map shown before stays." });
        }
        EXPECT_EQ(std::tuple(m.BaseMapFile, m.BaseMapType, m.BaseMapFormat),
            std::tuple(QStringLiteral("site_plan.dxf"), QStringLiteral("vector"), QStringLiteral("dxf")));
        EXPECT_TRUE(m.BMDone && m.MapReady && m.MSDone);
        EXPECT_EQ(t.frontend.mapWindowsClosed, 0);
        EXPECT_EQ(map.shownOverlays().size(), 1u);
        EXPECT_EQ(map.baseMap().kind, BaseMap::Kind::Vector);
    }
}

TEST(MapImage, RefusesNamesOfOtherTypes)
{
    TestSession t;
    t.frontend.expectErrors = true;
    placeBaseMap(t, "site_plan.dxf", "vector");
    ASSERT_TRUE(DisplayMap(*t.session));
    const QString base = t.home() + QStringLiteral("map.");
    EXPECT_FALSE(writeMapImage(*t.session, base + "bmp"));
    EXPECT_FALSE(QFile::exists(base + "bmp"));
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error).last().startsWith(QStringLiteral("QEL(Map:ExportImage): 5: ")));
}

// Looking for a base map again starts on the filter entry that lists it: a drawing is not hidden
// behind the raster entry (which would also make it a raster).
TEST(DisplayMap, TheOpenDialogStartsOnTheEntryOfTheStoredMap)
{
    const struct {
        const char *type, *file;
        int entry;
    } cases[] = {
        { "raster", "maps/site.bmp", 1 },
        { "raster", "site.png", 1 },
        { "vector", "gone/plan.DWG", 2 },
        { "vector", "site-plan.dxf", 3 },
        { "vector", "roads.shp", 4 },
        { "vector", "wells.gpkg", 7 },
        { "vector", "", 1 },
    };
    for (const auto &c : cases) {
        ProjectModel m;
        m.BaseMapType = QLatin1String(c.type), m.BaseMapFile = QLatin1String(c.file);
        EXPECT_EQ(baseMapFilterEntry(m), c.entry) << c.file;
    }
}

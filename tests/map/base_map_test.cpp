#include "core/progress.h"
#include "map/base_map.h"
#include "map/drawing_component.h"
#include "map/map_test_util.h"
#include "support/scripted_frontend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct MapBaseMap : ::testing::Test {
    ScriptedFrontend frontend;
    DrawingComponent component { frontend };
};

} // namespace

// A grid of elevations or depths is stretched to grey over the cells that hold data; the
// others are white.
TEST_F(MapBaseMap, OtherDataTypesAreStretchedOverTheirDataCells)
{
    const struct {
        const char *cells;
        QList<int> greys;
    } cases[] = {
        { "-9999 10 20.5 31 nan", { 255, 0, 127, 255, 255 } },
        // A span wider than the largest float: found by fuzzing, it made no grey of the top cell.
        { "-3e38 0 3e38 -9999 -9999", { 0, 127, 255, 255, 255 } },
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString grid = writeBytes(dir.filePath("depths.asc"),
            QByteArray("ncols 5\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n") + c.cells
                + "\n");
        const BaseMap map = openRasterBaseMap(grid);
        QList<int> greys;
        for (int x = 0; x < 5; ++x)
            greys << qGray(map.pyramid.at(0).pixel(x, 0));
        EXPECT_EQ(greys, c.greys) << c.cells;
    }
}

TEST_F(MapBaseMap, VectorDrawingsGiveTheirEntitiesAndExtents)
{
    for (const char *name : { "site_plan.dxf", "site_plan.shp" }) {
        SCOPED_TRACE(name);
        const BaseMap map = openVectorBaseMap(mapFixture(name));
        EXPECT_EQ(map.extents, (MapExtents { 12.345, 100, 812.345, 600 }));
    }

    QTemporaryDir dir;
    // A plan's own colours are kept, but white, which would vanish on the white map, is not.
    QByteArray lines;
    for (const char *color : { "1", "255", "256" }) // red, white, by layer (layer 0 draws black)
        lines += QByteArray("0\nLINE\n8\n0\n62\n") + color + "\n10\n0\n20\n0\n11\n10\n21\n10\n";
    const BaseMap cad = openVectorBaseMap(
        writeBytes(dir.filePath("colours.dxf"), "0\nSECTION\n2\nENTITIES\n" + lines + "0\nENDSEC\n0\nEOF\n"));
    ASSERT_EQ(cad.drawing.entities.size(), 3u);
    EXPECT_EQ(cad.drawing.entities[0].rgb, 0xFF0000u);
    EXPECT_EQ(cad.drawing.entities[1].rgb, std::nullopt);
    EXPECT_EQ(cad.drawing.entities[2].rgb, 0x000000u);
}

TEST_F(MapBaseMap, FilesThatCannotBeOpenedSayWhy)
{
    QTemporaryDir dir;
    const QString text = writeBytes(dir.filePath("notes.tif"), "not an image at all");
    const QString wmf = writeBytes(dir.filePath("plan.wmf"), QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(40, '\0'));
    const QString empty = writeBytes(dir.filePath("empty.geojson"), R"({"type":"FeatureCollection","features":[]})");
    const QString huge = writeBytes(dir.filePath("huge.asc"),
        "ncols 70000\nnrows 70000\nxllcorner 0\nyllcorner 0\n"
        "cellsize 1\n1 2 3\n");
    const struct {
        const char *what;
        std::function<void()> open;
        int error;
        const char *mentions;
    } cases[] = {
        { "missing raster", [&] { openRasterBaseMap(dir.filePath("none.bmp")); }, ErrFileNotFound, "none.bmp" },
        { "missing drawing", [&] { openVectorBaseMap(dir.filePath("none.dxf")); }, ErrFileNotFound, "none.dxf" },
        { "text as raster", [&] { openRasterBaseMap(text); }, ErrPathFileAccess, "not an image" },
        { "text as drawing", [&] { openVectorBaseMap(text); }, ErrPathFileAccess, "not a drawing" },
        // A placeable header of zeros after its key; the metafile reader's other refusals are
        // wmf_map_test.cpp's.
        { "damaged metafile", [&] { openVectorBaseMap(wmf); }, ErrPathFileAccess, "checksum of its placeable header" },
        { "empty drawing", [&] { openVectorBaseMap(empty); }, ErrPathFileAccess, "no drawing" },
        { "folder", [&] { openRasterBaseMap(dir.path()); }, ErrPathFileAccess, "not a readable file" },
        { "header of billions of pixels", [&] { openRasterBaseMap(huge); }, ErrPathFileAccess,
            "70000 x 70000 pixels without overviews" },
        // Another, without NUL bytes, that GDAL's reader loops on: it is given up after the limit.
        { "looping DXF", [&] { openVectorBaseMap(mapFixture("looping.dxf"), std::chrono::milliseconds(300)); },
            ErrPathFileAccess, "did not finish reading it within 1 s" },
    };
    for (const auto &c : cases) {
        const QelError e = thrownBy(c.open);
        EXPECT_EQ(e.number(), c.error) << c.what;
        EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.mentions)))
            << c.what << ": " << e.description().toStdString();
    }

    // A failed open keeps the previous base map and its calibration.
    component.OpenRasterMap(mapFixture("site.bmp"));
    component.SetPixelToMap(0, 0, 0, 100, 40, 30, 400, 0);
    EXPECT_THROW(component.OpenRasterMap(mapFixture("missing.bmp")), QelError);
    EXPECT_EQ(component.rasterWidth(), 40);
    EXPECT_FALSE(component.pixelToMap().isIdentity());
}

// A drawing is read once, on a thread of its own: a good one opens with a single GDAL open (the
// example's plan too), and one GDAL loops on ends at the time limit or when the person cancels,
// without hanging whoever waits.
TEST_F(MapBaseMap, ADrawingIsReadOnceAndALoopingOneCanBeCancelled)
{
    for (const QString &plan :
        { mapFixture("site_plan.dxf"), QStringLiteral(QEL_SOURCE_DIR "/examples/site-plan.dxf") }) {
        SCOPED_TRACE(plan.toStdString());
        const int before = vectorDrawingOpens();
        const BaseMap map = openVectorBaseMap(plan);
        EXPECT_FALSE(map.drawing.entities.empty());
        EXPECT_EQ(vectorDrawingOpens(), before + 1);
    }

    TestSession t;
    t.frontend.cancelAfterPolls = 3;
    {
        Progress progress(*t.session);
        EXPECT_THROW(openVectorBaseMap(mapFixture("looping.dxf"), std::chrono::hours(1), &progress), WorkCancelled);
    }
    EXPECT_EQ(t.frontend.cancelPolls, 4);
    EXPECT_GE(t.frontend.eventPumps, 1) << "the windows repaint while the drawing is read";
    EXPECT_FALSE(t.frontend.busy);
}

// GDAL reads DWG drawings of AutoCAD R2000 only. A DWG of any other version is refused before
// GDAL sees it, naming its release, and so is a file named .dwg that holds no DWG at all.
TEST_F(MapBaseMap, DwgDrawingsOfOtherVersionsAreRefusedByRelease)
{
    QTemporaryDir dir;
    const struct {
        const char *name;
        QByteArray head;
        const char *mentions;
    } cases[] = {
        { "r12.dwg", "AC1009", "an AutoCAD R11/R12 drawing (DWG version AC1009)" },
        { "r13.dwg", "AC1012", "an AutoCAD R13 drawing (DWG version AC1012)" },
        { "r14.dwg", "AC1014", "an AutoCAD R14 drawing (DWG version AC1014)" },
        { "r2004.dwg", "AC1018", "an AutoCAD R2004 drawing (DWG version AC1018)" },
        { "r2007.DWG", "AC1021", "an AutoCAD R2007 drawing (DWG version AC1021)" },
        { "r2010.dwg", "AC1024", "an AutoCAD R2010 drawing (DWG version AC1024)" },
        { "r2013.dwg", "AC1027", "an AutoCAD R2013 drawing (DWG version AC1027)" },
        { "r2018.dwg", "AC1032", "an AutoCAD R2018 drawing (DWG version AC1032)" },
        { "r2.dwg", "AC2.10", "an AutoCAD R2.10 drawing (DWG version AC2.10)" },
        { "future.dwg", "AC1040", "a DWG drawing of version AC1040, which is no AutoCAD release" },
        // A DWG under another name is judged by what it holds.
        { "renamed.dxf", "AC1018", "an AutoCAD R2004 drawing (DWG version AC1018)" },
        { "renamed2000.dxf", "AC1015", "AutoCAD R2000 drawing (DWG) under another name" },
        { "notes.dwg", "Site plan, see the DXF", "no AutoCAD drawing" },
        { "empty.dwg", "", "no AutoCAD drawing" },
        { "short.dwg", "AC10", "no AutoCAD drawing" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path
            = writeBytes(dir.filePath(c.name), c.head + (c.head.size() >= 6 ? QByteArray(200, '\0') : ""));
        const int before = vectorDrawingOpens();
        const QelError e = thrownBy([&] { openVectorBaseMap(path); });
        EXPECT_EQ(e.number(), ErrPathFileAccess);
        EXPECT_TRUE(e.description().contains(QLatin1String(c.mentions))) << e.description().toStdString();
        // Every other version is told the way out.
        EXPECT_EQ(e.description().contains(u"save it as DXF"), QByteArray(c.mentions).contains("version"))
            << e.description().toStdString();
        EXPECT_EQ(vectorDrawingOpens(), before) << "refused before GDAL sees it";
    }

    // An R2000 drawing goes on to GDAL, which judges the rest of it.
    const int before = vectorDrawingOpens();
    const QelError e
        = thrownBy([&] { openVectorBaseMap(writeBytes(dir.filePath("r2000.dwg"), "AC1015" + QByteArray(200, '\0'))); });
    EXPECT_TRUE(e.description().contains(u"not a drawing this program can read")) << e.description().toStdString();
    EXPECT_EQ(vectorDrawingOpens(), before + 1);
}

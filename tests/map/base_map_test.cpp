#include "core/errors.h"
#include "map/base_map.h"
#include "map/drawing_component.h"
#include "map/map_extents.h"
#include "support/scripted_frontend.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(QEL_TEST_DATA "/map/") + QString::fromLatin1(name);
}

QRgb pixelAt(const BaseMap &map, int x, int y)
{
    return map.pyramid.at(0).pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(MapBaseMap, RastersOpenWithTheirSizeAndPixels)
{
    for (const char *name : { "site.bmp", "site_plain.tif", "site_geo.tif", "site_world.png" }) {
        SCOPED_TRACE(name);
        const BaseMap map = openRasterBaseMap(fixture(name));
        EXPECT_EQ(map.kind, BaseMap::Kind::Raster);
        EXPECT_EQ(map.rasterWidth, 40);
        EXPECT_EQ(map.rasterHeight, 30);
        ASSERT_FALSE(map.pyramid.empty());
        // Rows count downwards: the blue square's corner at (10, 5), the green pixel bottom right.
        EXPECT_EQ(pixelAt(map, 0, 0), 0xFF0000u);
        EXPECT_EQ(pixelAt(map, 10, 5), 0x0000FFu);
        EXPECT_EQ(pixelAt(map, 9, 5), 0xFFFFFFu);
        EXPECT_EQ(pixelAt(map, 39, 29), 0x00FF00u);
    }
}

TEST(MapBaseMap, GeoreferencedRastersArePlacedInMapUnits)
{
    EXPECT_FALSE(openRasterBaseMap(fixture("site.bmp")).georeferenced());
    EXPECT_FALSE(openRasterBaseMap(fixture("site_plain.tif")).georeferenced());
    for (const char *name : { "site_geo.tif", "site_world.png" }) {
        SCOPED_TRACE(name);
        const BaseMap map = openRasterBaseMap(fixture(name));
        ASSERT_TRUE(map.georeferenced());
        EXPECT_EQ(map.georeference->toMap({ 0, 0 }), QPointF(1000, 5075));
        EXPECT_EQ(map.georeference->toMap({ 40, 30 }), QPointF(1100, 5000));
    }
    ScriptedFrontend frontend;
    DrawingComponent component(frontend);
    component.OpenRasterMap(fixture("site_geo.tif"));
    double x = 40, y = 0;
    component.PixelToMap(x, y);
    EXPECT_EQ(QPointF(x, y), QPointF(1100, 5075));
    // An image without georeferencing starts in pixels again.
    component.OpenRasterMap(fixture("site.bmp"));
    EXPECT_TRUE(component.pixelToMap().isIdentity());
}

TEST(MapBaseMap, VectorDrawingsGiveTheirExtents)
{
    for (const char *name : { "site_plan.dxf", "site_plan.shp" }) {
        SCOPED_TRACE(name);
        const BaseMap map = openVectorBaseMap(fixture(name));
        EXPECT_EQ(map.kind, BaseMap::Kind::Vector);
        EXPECT_EQ(map.extents, (MapExtents { 12.345, 100, 812.345, 600 }));
        EXPECT_EQ(roundMapExtents(map.extents), (MapExtents { 12.3, 100, 812.3, 600 }));
        EXPECT_EQ(mapTextSize(roundMapExtents(map.extents)), 8);
        ASSERT_GE(map.drawing.entities.size(), 2u);
        EXPECT_EQ(map.drawing.entities[0].kind, EntityKind::Line);
        EXPECT_EQ(map.drawing.entities[0].points.size(), 5u);
    }
    const BaseMap dxf = openVectorBaseMap(fixture("site_plan.dxf"));
    ASSERT_EQ(dxf.drawing.entities.size(), 3u);
    EXPECT_EQ(dxf.drawing.entities[1].layer, "road");
    EXPECT_EQ(dxf.drawing.entities[2].kind, EntityKind::Point);
    EXPECT_EQ(dxf.drawing.entities[2].points[0], QPointF(400, 350));
}

TEST(MapBaseMap, GeoJsonAndGeoPackageAreVectorMaps)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.geojson");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"type":"FeatureCollection","features":[
        {"type":"Feature","properties":{},"geometry":{"type":"Polygon","coordinates":[[[0,0],[25000,0],[25000,9000],[0,0]]]}},
        {"type":"Feature","properties":{},"geometry":{"type":"MultiPoint","coordinates":[[10,10],[20,20]]}}]})");
    f.close();
    const BaseMap map = openVectorBaseMap(path);
    EXPECT_EQ(map.extents, (MapExtents { 0, 0, 25000, 9000 }));
    EXPECT_EQ(map.drawing.entities.size(), 3u);

    ScriptedFrontend frontend;
    DrawingComponent component(frontend);
    component.LoadBaseDrawing(path);
    EXPECT_EQ(component.drawing(BaseDrawing).entities.size(), 3u);
    EXPECT_EQ(component.baseMap().kind, BaseMap::Kind::Vector);
    EXPECT_FALSE(component.hasRaster());
}

TEST(MapBaseMap, FilesThatCannotBeOpenedSayWhy)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return dir.filePath(name);
    };
    const QString text = write("notes.tif", "not an image at all");
    const QString wmf = write("plan.wmf", QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(40, '\0'));
    const QString empty = write("empty.geojson", R"({"type":"FeatureCollection","features":[]})");
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
        { "raster as drawing", [&] { openVectorBaseMap(fixture("site.bmp")); }, ErrPathFileAccess, "not a drawing" },
        { "drawing as raster", [&] { openRasterBaseMap(fixture("site_plan.dxf")); }, ErrPathFileAccess,
            "not an image" },
        { "metafile", [&] { openVectorBaseMap(wmf); }, ErrPathFileAccess, "Windows metafiles" },
        { "empty drawing", [&] { openVectorBaseMap(empty); }, ErrPathFileAccess, "no drawing" },
        { "folder", [&] { openRasterBaseMap(dir.path()); }, ErrPathFileAccess, "not a readable file" },
    };
    for (const auto &c : cases) {
        try {
            c.open();
            ADD_FAILURE() << c.what << " opened";
        } catch (const QelError &e) {
            EXPECT_EQ(e.number(), c.error) << c.what;
            EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.mentions)))
                << c.what << ": " << e.description().toStdString();
        }
    }
}

TEST(MapBaseMap, FailedOpenKeepsThePreviousBaseMap)
{
    ScriptedFrontend frontend;
    DrawingComponent component(frontend);
    component.OpenRasterMap(fixture("site.bmp"));
    component.SetPixelToMap(0, 0, 0, 100, 40, 30, 400, 0);
    EXPECT_THROW(component.OpenRasterMap(fixture("missing.bmp")), QelError);
    EXPECT_EQ(component.rasterWidth(), 40);
    EXPECT_FALSE(component.pixelToMap().isIdentity());
    component.UnloadRaster();
    EXPECT_EQ(component.rasterWidth(), 0);
    EXPECT_TRUE(component.pixelToMap().isIdentity());
}

TEST(MapBaseMap, LargeRastersKeepAPyramid)
{
    QTemporaryDir dir;
    QImage big(5000, 300, QImage::Format_RGB32);
    big.fill(Qt::white);
    const QString path = dir.filePath("wide.png");
    ASSERT_TRUE(big.save(path));
    const BaseMap map = openRasterBaseMap(path);
    EXPECT_EQ(map.rasterWidth, 5000);
    EXPECT_EQ(map.rasterHeight, 300);
    EXPECT_LE(map.pyramid[0].width(), BaseMap::MaxImageSide);
    EXPECT_EQ(map.pyramid[0].width(), 2500);
    for (std::size_t i = 1; i < map.pyramid.size(); ++i)
        EXPECT_EQ(map.pyramid[i].width(), map.pyramid[i - 1].width() / 2);
    EXPECT_LE(map.pyramid.back().width(), 512);
}

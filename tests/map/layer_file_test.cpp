#include "map/layer_file.h"
#include "map/map_test_util.h"
#include "support/write_limit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

Drawing everyKind()
{
    Drawing d;
    d.number = 6;
    d.layers = { { "Plume", 5, 1 }, { "Legend", 7, 0 } };
    d.textStyles = { { "STANDARD", "Arial", 400, 16, 1.0 }, { "TITLE", "DejaVu Sans", 700, 20, 0.8 } };
    Entity line, point, circle, text;
    line.kind = EntityKind::Line, line.points = { { 0.1, 0.2 }, { 1e6 + 0.3, -2.5e-7 }, { 3, 4 } };
    line.lineWidth = 2.5, line.color = 3, line.layer = "Plume";
    point.kind = EntityKind::Point, point.tag = "W-1", point.points = { { 512345.678901234, 4187654.32109876 } };
    point.layer = "Legend";
    circle.kind = EntityKind::Circle, circle.points = { { 10, 20 } }, circle.radius = 7.25, circle.color = 14;
    circle.rgb = 0x12AB34;
    text.kind = EntityKind::Text, text.points = { { -5, 6 } }, text.text = QString::fromUtf8("Plume (Avg) µg/L \"q\"");
    text.justification = *Justification::parse("CM"), text.height = 83, text.widthFactor = 0.9;
    text.rotation = -37.5, text.style = "TITLE", text.color = 7, text.layer = "Legend";
    d.entities = { line, point, circle, text };
    return d;
}

} // namespace

TEST(DrawingLayerFile, DrawingsRoundTripByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pccont.geojson");
    Drawing empty;
    empty.mode = 0;
    for (Drawing d : { everyKind(), empty }) {
        SCOPED_TRACE(d.entities.size());
        d.file = path;
        writeLayerFile(path, d);
        const Drawing back = readLayerFile(path);
        EXPECT_EQ(back.mode, d.mode);
        EXPECT_EQ(back.layers, d.layers);
        EXPECT_EQ(back.textStyles, d.textStyles);
        ASSERT_EQ(back.entities.size(), d.entities.size());
        for (std::size_t i = 0; i < d.entities.size(); ++i)
            EXPECT_TRUE(back.entities[i].sameContent(d.entities[i])) << "entity " << i;
        // Written again, the bytes are the same: nothing is lost or reordered on the way.
        EXPECT_EQ(layerFileBytes(back), layerFileBytes(d));
    }
}

TEST(DrawingLayerFile, IsPlainGeoJsonWithStyles)
{
    // The reader holds lines, points and texts to their geometry types; a circle is a polygon for a GIS.
    const QJsonObject root = QJsonDocument::fromJson(layerFileBytes(everyKind())).object();
    const QJsonArray features = root["features"].toArray();
    ASSERT_EQ(features.size(), 4);
    // Green (index 3) is 0x80FF80 in BGR order, #80ff80 for a GIS.
    EXPECT_EQ(features[0]["properties"]["stroke"].toString(), "#80ff80");
    EXPECT_EQ(features[2]["properties"]["stroke"].toString(), "#12ab34");
    // Each step held as its own object: a value looked up in a temporary one would dangle.
    const QJsonObject polygon = features[2].toObject();
    const QJsonObject polygonGeometry = polygon["geometry"].toObject();
    EXPECT_EQ(polygonGeometry["type"].toString(), "Polygon");
    const QJsonArray rings = polygonGeometry["coordinates"].toArray();
    const QJsonArray ring = rings[0].toArray();
    EXPECT_EQ(ring.first(), ring.last());
    const QJsonArray first = ring[0].toArray();
    EXPECT_NEAR(first[0].toDouble(), 17.25, 1e-12);
}

// A layer file edited in a GIS: the entity comes from the geometry, a MultiLineString gives a line per
// part and a feature without geometry is left out.
TEST(DrawingLayerFile, ForeignFeaturesComeFromTheirGeometry)
{
    const QByteArray json = R"({"type":"FeatureCollection","features":[
        {"type":"Feature","properties":{"name":"a"},"geometry":{"type":"Point","coordinates":[1,2,99]}},
        {"type":"Feature","properties":null,"geometry":{"type":"MultiLineString","coordinates":[[[0,0],[1,1]],[[2,2],[3,3],[4,4]]]}},
        {"type":"Feature","properties":{"stroke":"#ff0000"},"geometry":{"type":"Polygon","coordinates":[[[0,0],[1,0],[1,1],[0,0]]]}},
        {"type":"Feature","properties":{},"geometry":null}
    ]})";
    const Drawing d = parseLayerFile(json, "gis.geojson");
    ASSERT_EQ(d.entities.size(), 4u);
    EXPECT_EQ(d.entities[0].kind, EntityKind::Point);
    EXPECT_EQ(d.entities[0].points[0], QPointF(1, 2));
    EXPECT_EQ(d.entities[1].kind, EntityKind::Line);
    EXPECT_EQ(d.entities[2].points.size(), 3u);
    EXPECT_EQ(d.entities[3].points.size(), 4u);
}

TEST(DrawingLayerFile, MalformedFilesAreClearErrors)
{
    const auto feature = [](const char *geometry, const char *properties) {
        return QByteArray(R"({"type":"FeatureCollection","features":[{"type":"Feature","geometry":)") + geometry
            + R"(,"properties":)" + properties + "}]}";
    };
    const struct {
        QByteArray bytes;
        const char *mentions;
    } cases[] = {
        { "{\"type\":\"FeatureCollection\",\"features\":[", "at byte" },
        { "[1,2]", "one GeoJSON object" },
        { R"({"type":"Feature"})", "\"type\" must be \"FeatureCollection\"" },
        { R"({"type":"FeatureCollection"})", "\"features\" must be a list" },
        { R"({"type":"FeatureCollection","features":[7]})", "feature 1" },
        { R"({"type":"FeatureCollection","features":[{"type":"Thing"}]})", "\"type\" must be \"Feature\"" },
        { feature(R"({"type":"Point","coordinates":[1]})", R"({"entity":"point"})"), "position" },
        { feature(R"({"type":"Point","coordinates":["a","b"]})", R"({"entity":"point"})"), "not a number" },
        { feature(R"({"type":"LineString","coordinates":[[0,0]]})", R"({"entity":"line"})"), "at least 2" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"line"})"), "LineString" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"spline"})"), "\"spline\" is not known" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"point","color":99})"), "\"color\"" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"point","lineWidth":-1})"), "lineWidth" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"point","layer":5})"), "\"layer\"" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"circle","center":[0,0]})"), "\"radius\"" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"text"})"), "\"text\"" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"text","text":"a","justification":"XY"})"),
            "justification" },
        { feature(R"({"type":"Point","coordinates":[0,0]})", R"({"entity":"point","rgb":"bluish"})"), "\"rgb\"" },
        { feature(R"({"type":"Curve","coordinates":[0,0]})", R"({})"), "\"Curve\" is not known" },
        { R"({"type":"FeatureCollection","features":[],"qel":{"version":2}})", "newer version" },
        { R"({"type":"FeatureCollection","features":[],"qel":{"textStyles":[{"widthFactor":0}]}})", "text style 1" },
    };
    for (const auto &c : cases) {
        const QelError e = thrownBy([&] { parseLayerFile(c.bytes, "/p/Temp/wells.geojson"); });
        EXPECT_EQ(e.number(), ErrTypeMismatch) << c.bytes.constData();
        EXPECT_TRUE(e.description().contains("/p/Temp/wells.geojson")) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.mentions)))
            << c.bytes.constData() << "\n -> " << e.description().toStdString();
    }
}

TEST(DrawingLayerFile, MissingUnwritableAndFailedWrites)
{
    QTemporaryDir dir;
    const QelError missing = thrownBy([&] { readLayerFile(dir.filePath("none.geojson")); });
    EXPECT_EQ(missing.number(), ErrFileNotFound);
    EXPECT_TRUE(missing.description().contains("none.geojson"));
    EXPECT_EQ(thrownBy([&] { writeLayerFile(dir.filePath("no/such/folder/x.geojson"), everyKind()); }).number(),
        ErrPathFileAccess);

    const QString path = dir.filePath("wells.geojson");
    writeLayerFile(path, everyKind());
    const QByteArray before = readBytes(path);
    {
        const WriteLimit full(16); // a disk that fills up during the write
        EXPECT_EQ(thrownBy([&] { writeLayerFile(path, everyKind()); }).number(), ErrPathFileAccess);
    }
    EXPECT_EQ(readBytes(path), before);
}

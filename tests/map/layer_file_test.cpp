#include "map/color_table.h"
#include "map/layer_file.h"
#include "map/map_test_util.h"
#include "support/write_limit.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>

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

    // A drawing of many pieces goes to the file as they are joined: whole when written, and the
    // old file whole when the disk fills after the first megabytes.
    Drawing many = everyKind();
    for (int i = 0; i < 10000; ++i)
        many.entities.push_back(many.entities[0]);
    const QString bands = dir.filePath("mdcont.geojson");
    writeLayerFile(bands, many);
    const QByteArray whole = readBytes(bands);
    EXPECT_EQ(whole, layerFileBytes(many));
    many.entities.pop_back();
    {
        const WriteLimit full(rlim_t(whole.size() / 2));
        EXPECT_EQ(thrownBy([&] { writeLayerFile(bands, many); }).number(), ErrPathFileAccess);
    }
    EXPECT_EQ(readBytes(bands), whole);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file left behind";
}

namespace {

// The layer files as they were made through QJsonDocument: the streamed text must equal them.
QString kindName(EntityKind kind)
{
    switch (kind) {
    case EntityKind::Line: return QStringLiteral("line");
    case EntityKind::Point: return QStringLiteral("point");
    case EntityKind::Circle: return QStringLiteral("circle");
    case EntityKind::Text: return QStringLiteral("text");
    }
    return {};
}

QJsonArray position(QPointF p)
{
    return QJsonArray { p.x(), p.y() };
}

QString hexColor(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

QJsonObject geometryOf(const Entity &e)
{
    QJsonObject g;
    switch (e.kind) {
    case EntityKind::Line: {
        QJsonArray coordinates;
        for (const QPointF &p : e.points)
            coordinates.append(position(p));
        g[u"type"] = QStringLiteral("LineString");
        g[u"coordinates"] = coordinates;
        break;
    }
    case EntityKind::Circle: {
        // A GIS shows the ring; the map reads the centre and radius back from the properties.
        QJsonArray ring;
        for (int i = 0; i <= 72; ++i) {
            const double a = 2 * std::numbers::pi * (i % 72) / 72;
            ring.append(position(e.points[0] + QPointF(e.radius * std::cos(a), e.radius * std::sin(a))));
        }
        g[u"type"] = QStringLiteral("Polygon");
        // Appended, not braced: QJsonArray { ring } copies the ring with some compilers (clang),
        // which would leave the polygon without its outer array.
        QJsonArray rings;
        rings.append(ring);
        g[u"coordinates"] = rings;
        break;
    }
    case EntityKind::Point:
    case EntityKind::Text:
        g[u"type"] = QStringLiteral("Point");
        g[u"coordinates"] = position(e.points[0]);
        break;
    }
    return g;
}

QJsonObject featureOf(const Drawing &d, const Entity &e)
{
    QJsonObject p;
    p[u"entity"] = kindName(e.kind);
    if (!e.tag.isEmpty())
        p[u"tag"] = e.tag;
    p[u"layer"] = e.layer;
    p[u"color"] = e.color;
    p[u"lineWidth"] = e.lineWidth;
    if (e.rgb)
        p[u"rgb"] = hexColor(QColor::fromRgb(*e.rgb));
    const QString shown = hexColor(e.rgb ? QColor::fromRgb(*e.rgb) : colorOfIndex(d.colorIndexOf(e)));
    p[u"stroke"] = shown;
    p[u"stroke-width"] = std::max(1.0, e.lineWidth);
    switch (e.kind) {
    case EntityKind::Line: break;
    case EntityKind::Point: p[u"marker-color"] = shown; break;
    case EntityKind::Circle:
        p[u"center"] = position(e.points[0]);
        p[u"radius"] = e.radius;
        p[u"fill-opacity"] = 0;
        break;
    case EntityKind::Text:
        p[u"text"] = e.text;
        p[u"justification"] = e.justification.code();
        p[u"height"] = e.height;
        p[u"widthFactor"] = e.widthFactor;
        p[u"rotation"] = e.rotation;
        p[u"style"] = e.style;
        p[u"marker-color"] = shown;
        break;
    }
    return QJsonObject { { QStringLiteral("type"), QStringLiteral("Feature") },
        { QStringLiteral("geometry"), geometryOf(e) }, { QStringLiteral("properties"), p } };
}

QByteArray qjsonLayerFileBytes(const Drawing &drawing)
{
    QJsonArray layers;
    for (const DrawingLayer &l : drawing.layers)
        layers.append(QJsonObject { { QStringLiteral("name"), l.name }, { QStringLiteral("color"), l.color },
            { QStringLiteral("flag"), l.flag } });
    QJsonArray styles;
    for (const TextStyle &s : drawing.textStyles)
        styles.append(QJsonObject { { QStringLiteral("name"), s.name }, { QStringLiteral("font"), s.font },
            { QStringLiteral("weight"), s.weight }, { QStringLiteral("size"), s.size },
            { QStringLiteral("widthFactor"), s.widthFactor } });
    QJsonArray features;
    for (const Entity &e : drawing.entities)
        features.append(featureOf(drawing, e));
    const QJsonObject meta { { QStringLiteral("version"), 1 }, { QStringLiteral("drawing"), drawing.number },
        { QStringLiteral("mode"), drawing.mode }, { QStringLiteral("layers"), layers },
        { QStringLiteral("textStyles"), styles } };
    const QJsonObject root { { QStringLiteral("type"), QStringLiteral("FeatureCollection") },
        { QStringLiteral("name"), QFileInfo(drawing.file).completeBaseName() }, { QStringLiteral("qel"), meta },
        { QStringLiteral("features"), features } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Entity lineOf(std::vector<QPointF> points)
{
    Entity e;
    e.points = std::move(points);
    return e;
}

Drawing oneEntity(Entity e)
{
    Drawing d;
    d.number = 8;
    d.layers = { { "MinDist", 6, 1 } };
    d.entities = { std::move(e) };
    return d;
}

// More entities than one piece of the text holds (the pieces are made on several threads), every
// kind in turn; change alters the last.
Drawing manyEntities(const std::function<void(Entity &)> &change = {})
{
    Drawing d = everyKind();
    const std::vector<Entity> kinds = d.entities;
    while (d.entities.size() < 3 * 4096 + 5)
        d.entities.push_back(kinds[d.entities.size() % kinds.size()]);
    if (change)
        change(d.entities.back());
    return d;
}

} // namespace

TEST(DrawingLayerFile, StreamedTextEqualsTheDocumentsText)
{
    Drawing empty;
    Drawing noLayersManyStyles = everyKind();
    noLayersManyStyles.layers.clear();
    noLayersManyStyles.file = QStringLiteral("/tmp/some folder/wfcont.v2.geojson");
    for (int i = 0; i < 5; ++i)
        noLayersManyStyles.textStyles.push_back(
            { QString::fromUtf8("Stil ä %1").arg(i), "Arial", 100 * i, 0.1 * i, 1 });
    Entity odd = lineOf({ { -0.0, 1e-300 }, { 1e16, -123456789012345678.0 }, { 0.1 + 0.2, 1.0 / 3 } });
    odd.lineWidth = 0.25, odd.layer = QString::fromUtf8("Ebene \"ö\" \t 😀"), odd.tag = QString(QChar(0xD800));
    Entity byLayer = lineOf({ { 1, 2 }, { 3, 4 } });
    byLayer.layer = "MinDist"; // drawn in its layer's colour
    Entity unknownLayer = lineOf({ { 1, 2 }, { 3, 4 } });
    unknownLayer.layer = "nowhere";
    Entity highRgb = lineOf({ { 1, 2 }, { 3, 4 } });
    highRgb.rgb = 0xFF00FF00u;
    Entity zeroCircle;
    zeroCircle.kind = EntityKind::Circle, zeroCircle.points = { { 5, 5 } };
    Entity bareText;
    bareText.kind = EntityKind::Text, bareText.points = { { 0, 0 } }, bareText.text = QString();
    bareText.justification = *Justification::parse("R");
    const struct {
        const char *what;
        Drawing drawing;
    } cases[] = {
        { "every kind", everyKind() },
        { "empty", empty },
        { "no layers, many styles", noLayersManyStyles },
        { "odd numbers and texts", oneEntity(odd) },
        { "colour of the layer", oneEntity(byLayer) },
        { "colour of an unknown layer", oneEntity(unknownLayer) },
        { "rgb with alpha", oneEntity(highRgb) },
        { "circle of radius 0", oneEntity(zeroCircle) },
        { "empty text", oneEntity(bareText) },
        { "many entities", manyEntities() },
    };
    for (const auto &c : cases)
        EXPECT_EQ(layerFileBytes(c.drawing), qjsonLayerFileBytes(c.drawing)) << c.what;
}

// A drawing said to read back as written does; one that would not is said so, and the map then
// reads its file instead of keeping it.
TEST(DrawingLayerFile, ReadsBackOnlyWhenParsingGivesTheDrawing)
{
    Entity text = everyKind().entities[3];
    Entity line = everyKind().entities[0];
    const auto with = [](Entity e, const std::function<void(Entity &)> &change) {
        change(e);
        return oneEntity(e);
    };
    Drawing badLayer = everyKind();
    badLayer.layers.push_back({ "", 3, 1 });
    Drawing badStyle = everyKind();
    badStyle.textStyles[0].widthFactor = 0;
    Drawing badMode = everyKind();
    badMode.mode = 40000;
    const struct {
        const char *what;
        Drawing drawing;
        bool readsBack;
    } cases[] = {
        { "every kind", everyKind(), true },
        { "empty", Drawing {}, true },
        { "negative zero", with(line, [](Entity &e) { e.points[0].setX(-0.0); }), false },
        { "lone surrogate", with(text, [](Entity &e) { e.text = QString(QChar(0xDC00)); }), false },
        { "rgb with alpha", with(line, [](Entity &e) { e.rgb = 0x80123456u; }), false },
        { "line with a text's height", with(line, [](Entity &e) { e.height = 2; }), false },
        { "line with a radius", with(line, [](Entity &e) { e.radius = 2; }), false },
        { "point of two points", with(line, [](Entity &e) { e.kind = EntityKind::Point; }), false },
        { "colour 15", with(line, [](Entity &e) { e.color = 15; }), false },
        { "negative line width", with(line, [](Entity &e) { e.lineWidth = -1; }), false },
        { "text of width factor 0", with(text, [](Entity &e) { e.widthFactor = 0; }), false },
        { "layer without a name", badLayer, false },
        { "style of width factor 0", badStyle, false },
        { "mode out of range", badMode, false },
        { "many entities", manyEntities(), true },
        { "many, the last with a negative zero", manyEntities([](Entity &e) { e.points[0].setX(-0.0); }), false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const LayerFileText text = layerFileText(c.drawing);
        EXPECT_EQ(text.bytes, qjsonLayerFileBytes(c.drawing));
        EXPECT_EQ(text.readsBack, c.readsBack);
        if (!text.readsBack)
            continue;
        const Drawing back = parseLayerFile(text.bytes, "x.geojson");
        EXPECT_EQ(back.number, c.drawing.number);
        EXPECT_EQ(back.mode, c.drawing.mode);
        EXPECT_EQ(back.layers, c.drawing.layers);
        EXPECT_EQ(back.textStyles, c.drawing.textStyles);
        ASSERT_EQ(back.entities.size(), c.drawing.entities.size());
        for (std::size_t i = 0; i < back.entities.size(); ++i)
            EXPECT_TRUE(back.entities[i].sameContent(c.drawing.entities[i])) << "entity " << i;
    }
}

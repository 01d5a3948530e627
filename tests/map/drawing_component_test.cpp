#include "map/drawing_component.h"
#include "map/layer_file.h"
#include "map/map_test_util.h"
#include "support/scripted_frontend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct Fixture {
    QTemporaryDir dir;
    ScriptedFrontend frontend;
    DrawingComponent map { frontend };
    QString file(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST(DrawingComponent, MissingOrBrokenLayerFileLeavesTheDrawingAsItWas)
{
    Fixture f;
    f.map.SelectDrawing(PlumesDrawing);
    f.map.AddLine("", 0, 0, 1, 1);
    f.map.AddLine("", 1, 1, 2, 0);
    EXPECT_EQ(thrownBy([&] { f.map.LoadDrawingFile(f.file("wfcont")); }).number(), ErrFileNotFound);
    EXPECT_EQ(f.map.drawing(PlumesDrawing).entities.size(), 2u);
    writeBytes(f.file("bad.geojson"), "{\"type\":\"FeatureCollection\",\"features\":[{");
    EXPECT_EQ(thrownBy([&] { f.map.LoadDrawingFile(f.file("bad")); }).number(), ErrTypeMismatch);
    EXPECT_EQ(f.map.drawing(PlumesDrawing).entities.size(), 2u);
}

TEST(DrawingComponent, BadCallsAreErrors)
{
    Fixture f;
    const struct {
        const char *what;
        std::function<void(DrawingComponent &)> call;
        int error;
    } cases[] = {
        { "property before any entity", [](auto &m) { m.SetEntityProperty("ECOLOR", "3"); }, ErrInvalidCall },
        { "drawing 2", [](auto &m) { m.SelectDrawing(2); }, ErrInvalidCall },
        { "drawing 13", [](auto &m) { m.SelectDrawing(13); }, ErrInvalidCall },
        { "unknown property", [](auto &m) { m.AddPoint("", 0, 0), m.SetEntityProperty("EFILL", "1"); },
            ErrInvalidCall },
        { "colour 15", [](auto &m) { m.AddPoint("", 0, 0), m.SetEntityProperty("ECOLOR", "15"); }, ErrInvalidCall },
        { "colour text", [](auto &m) { m.AddPoint("", 0, 0), m.SetEntityProperty("ECOLOR", "red"); }, ErrTypeMismatch },
        { "negative width", [](auto &m) { m.AddPoint("", 0, 0), m.SetEntityProperty("ELINE", "-1"); },
            ErrTypeMismatch },
        { "empty layer", [](auto &m) { m.AddPoint("", 0, 0), m.SetEntityProperty("LAYER", " "); }, ErrInvalidCall },
        { "unknown handle", [](auto &m) { m.SetEntityColor("FFFF", 3); }, ErrInvalidCall },
        { "justification", [](auto &m) { m.AddText("", 0, 0, "MM", 1, 1, 0, "x"); }, ErrInvalidCall },
        { "width factor 0", [](auto &m) { m.AddText("", 0, 0, "LM", 1, 0, 0, "x"); }, ErrInvalidCall },
        { "NaN coordinate", [](auto &m) { m.AddLine("", 0, std::nan(""), 1, 1); }, ErrInvalidCall },
        { "one-point line", [](auto &m) { m.AddPolyline("", std::vector { QPointF(0, 0) }); }, ErrInvalidCall },
        { "negative radius", [](auto &m) { m.AddCircle("", 0, 0, -1); }, ErrInvalidCall },
        { "layer colour 0", [](auto &m) { m.AddLayer("x", 0, 1); }, ErrInvalidCall },
        { "no file name", [](auto &m) { m.NewDrawingFile("", 24); }, ErrInvalidCall },
        { "styled line of colour 15", [](auto &m) { m.AddStyledLine(0, 0, 1, 1, 1, 15, "L"); }, ErrInvalidCall },
        { "styled line of negative width", [](auto &m) { m.AddStyledLine(0, 0, 1, 1, -1, 3, "L"); }, ErrTypeMismatch },
        { "styled line without a layer", [](auto &m) { m.AddStyledLine(0, 0, 1, 1, 1, 3, " "); }, ErrInvalidCall },
        { "styled line at NaN", [](auto &m) { m.AddStyledLine(0, 0, std::nan(""), 1, 1, 3, "L"); }, ErrInvalidCall },
    };
    for (const auto &c : cases) {
        DrawingComponent map(f.frontend);
        map.SelectDrawing(WellsDrawing);
        EXPECT_EQ(thrownBy([&] { c.call(map); }).number(), c.error) << c.what;
    }
}

// The bands' one call gives the drawing the property calls give: the entity, and the layer added
// once under the name it first had.
TEST(DrawingComponent, AStyledLineIsTheLineItsPropertiesMake)
{
    Fixture f;
    DrawingComponent byProperties(f.frontend), styled(f.frontend);
    byProperties.SelectDrawing(PlumesDrawing), styled.SelectDrawing(PlumesDrawing);
    for (const auto &[color, layer] : { std::pair { 3, "PCCONTOURS" }, std::pair { 0, "pccontours" } }) {
        byProperties.AddLine({}, 1, 2, 3.5, 2);
        byProperties.SetEntityProperty("ELINE", "2");
        byProperties.SetEntityProperty("ECOLOR", QString::number(color));
        byProperties.SetEntityProperty("LAYER", layer);
        byProperties.SetEntityColor(byProperties.LastEntityHandle(), color);
        styled.AddStyledLine(1, 2, 3.5, 2, 2, color, layer);
    }
    const Drawing &a = byProperties.drawing(PlumesDrawing), &b = styled.drawing(PlumesDrawing);
    EXPECT_EQ(a.layers, b.layers);
    ASSERT_EQ(a.entities.size(), b.entities.size());
    for (std::size_t i = 0; i < a.entities.size(); ++i)
        EXPECT_TRUE(a.entities[i].sameContent(b.entities[i])) << "entity " << i;
    EXPECT_EQ(layerFileBytes(a), layerFileBytes(b));
}

namespace {

// What reading the file gives, with the map's handles left out.
void expectAsInFile(const Drawing &shown, const QString &file)
{
    const Drawing read = readLayerFile(file);
    EXPECT_EQ(shown.layers, read.layers);
    EXPECT_EQ(shown.textStyles, read.textStyles);
    ASSERT_EQ(shown.entities.size(), read.entities.size());
    for (std::size_t i = 0; i < read.entities.size(); ++i)
        EXPECT_TRUE(shown.entities[i].sameContent(read.entities[i])) << "entity " << i;
}

} // namespace

// The map keeps a drawing it wrote or read, and uses it again only while the file holds those
// very bytes: what it shows is always what reading the file gives.
TEST(DrawingComponent, ReloadedLayersAreWhatTheirFilesHold)
{
    const struct {
        const char *what;
        std::function<void(Fixture &, const QString &)> between; // after the layers went off the map
    } cases[] = {
        { "file untouched", [](Fixture &, const QString &) {} },
        { "file rewritten, same size",
            [](Fixture &, const QString &file) {
                QByteArray bytes = readLayerFileBytes(file);
                const qsizetype at = bytes.indexOf("\"color\": 3");
                ASSERT_GE(at, 0);
                bytes[at + 9] = '4';
                writeBytes(file, bytes);
            } },
        { "file of another drawing put in its place",
            [](Fixture &, const QString &file) {
                Drawing other;
                other.layers = { { "Other", 2, 1 } };
                writeLayerFile(file, other);
            } },
        { "drawing loaded twice", [](Fixture &f, const QString &file) { f.map.LoadDrawingFile(file); } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        const QString file = f.file("mdcont.geojson");
        f.map.SelectDrawing(MinDistanceDrawing);
        f.map.NewDrawingFile(file, 24);
        f.map.AddLayer("MinDist", 6, 1);
        f.map.AddLine("", 0, 0, 1, 1);
        f.map.SetEntityProperty("ECOLOR", "3");
        f.map.AddText("Lvl1", 2, 3, "LM", 8, 1, 0, QString::fromUtf8("0 - 5 µ"));
        f.map.SetUpdate(1);
        const QString oldHandle = f.map.LastEntityHandle();
        f.map.ClearOverlays(0);
        c.between(f, file);
        f.map.SelectDrawing(MinDistanceDrawing);
        f.map.LoadDrawingFile(file);
        expectAsInFile(f.map.drawing(MinDistanceDrawing), file);
        // Each load gives the entities new handles, by which they are found.
        const std::vector<Entity> &entities = f.map.drawing(MinDistanceDrawing).entities;
        if (entities.empty())
            continue;
        const QString handle = f.map.EntityHandle(MinDistanceDrawing, entities.size() - 1);
        EXPECT_NE(handle, oldHandle);
        f.map.SetEntityColor(handle, 9);
        EXPECT_EQ(f.map.drawing(MinDistanceDrawing).entities.back().color, 9);
        EXPECT_EQ(thrownBy([&] { f.map.SetEntityColor(handle.toLower() + u'x', 9); }).number(), ErrInvalidCall);
    }
}

TEST(DrawingComponent, DrawingsTheFileCannotHoldAsTheyAreAreReadAgain)
{
    Fixture f;
    const QString file = f.file("pccont.geojson");
    f.map.SelectDrawing(PlumesDrawing);
    f.map.NewDrawingFile(file, 24);
    f.map.AddText("", -0.0, 1, "LM", 8, 1, 0, QString(QChar(0xD800)) + u'x');
    f.map.SetUpdate(1);
    f.map.ClearOverlays(0);
    f.map.LoadDrawingFile(file);
    expectAsInFile(f.map.drawing(PlumesDrawing), file);
    EXPECT_FALSE(std::signbit(f.map.drawing(PlumesDrawing).entities[0].points[0].x()));
}

TEST(DrawingComponent, KeptDrawingsMoveWithTheirFiles)
{
    Fixture f;
    const QString from = f.file("a/"), to = f.file("b/");
    QDir().mkpath(from);
    QDir().mkpath(to);
    f.map.SelectDrawing(WolfDrawing);
    f.map.NewDrawingFile(from + "wfcont", 24);
    f.map.AddLine("", 0, 0, 5, 5);
    f.map.SetUpdate(1);
    f.map.ClearOverlays(0);
    f.map.moveDrawingFiles(from, to);
    ASSERT_TRUE(QFile::rename(from + "wfcont.geojson", to + "wfcont.geojson"));
    f.map.LoadDrawingFile(to + "wfcont");
    EXPECT_EQ(f.map.drawing(WolfDrawing).file, to + "wfcont.geojson");
    expectAsInFile(f.map.drawing(WolfDrawing), to + "wfcont.geojson");
    EXPECT_EQ(f.map.drawing(WolfDrawing).entities.size(), 1u);
}

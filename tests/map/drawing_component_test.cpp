#include "map/drawing_component.h"
#include "map/layer_file.h"
#include "map/map_test_util.h"
#include "support/scripted_frontend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct Fixture {
    QTemporaryDir dir;
    ScriptedFrontend frontend;
    DrawingComponent map { frontend };
    QString file(const QString &name) const { return dir.filePath(name); }

    // A result layer the way every drawing routine builds one.
    void drawLayer(int number, const QString &name, int lines)
    {
        map.SelectDrawing(number);
        map.NewDrawingFile(file(name), 24);
        map.AddLayer(name, 3, 1);
        map.SetUpdate(0);
        for (int i = 0; i < lines; ++i) {
            map.AddLine("", i, 0, i, 10);
            map.SetEntityProperty("ELINE", "1");
            map.SetEntityProperty("ECOLOR", "3");
            map.SetEntityProperty("LAYER", name);
            map.SetEntityColor(map.LastEntityHandle(), 5);
        }
        map.SelectDrawing(1);
        map.SetUpdate(1);
    }
};

} // namespace

TEST(DrawingComponent, LayerIsStoredClearedAndLoadedAgain)
{
    Fixture f;
    f.map.SelectDrawing(BaseDrawing);
    f.map.AddLine("", 0, 0, 1, 1);
    f.drawLayer(WellsDrawing, "wells", 3);
    f.drawLayer(MinDistanceDrawing, "mdcont", 1);
    f.drawLayer(SourceDrawing, "source", 1);

    // What Redraw does: clear (the base drawing stays), then load the files of the ticked layers.
    f.map.ClearOverlays(0);
    EXPECT_EQ(f.map.shownOverlays().size(), 0u);
    EXPECT_TRUE(f.map.drawing(WellsDrawing).entities.empty());
    EXPECT_EQ(f.map.drawing(BaseDrawing).entities.size(), 1u);
    EXPECT_TRUE(f.map.isShown(BaseDrawing));
    for (auto [number, name] : { std::pair { 8, "mdcont" }, { 3, "wells" }, { 9, "source" } }) {
        f.map.SelectDrawing(number);
        f.map.LoadDrawingFile(f.file(name));
    }

    const Drawing &d = f.map.drawing(WellsDrawing);
    ASSERT_EQ(d.entities.size(), 3u);
    for (const Entity &e : d.entities) {
        EXPECT_EQ(e.lineWidth, 1);
        EXPECT_EQ(e.color, 5); // SetEntityColor wins over ECOLOR
        EXPECT_EQ(e.layer, "wells");
    }
    EXPECT_EQ(d.layers, (std::vector<DrawingLayer> { { "wells", 3, 1 } }));
}

TEST(DrawingComponent, MissingOrBrokenLayerFileLeavesTheDrawingAsItWas)
{
    Fixture f;
    f.drawLayer(PlumesDrawing, "pccont", 2);
    f.map.SelectDrawing(PlumesDrawing);
    EXPECT_EQ(thrownBy([&] { f.map.LoadDrawingFile(f.file("wfcont")); }).number(), ErrFileNotFound);
    EXPECT_EQ(f.map.drawing(PlumesDrawing).entities.size(), 2u);
    writeBytes(f.file("bad.geojson"), "{\"type\":\"FeatureCollection\",\"features\":[{");
    EXPECT_EQ(thrownBy([&] { f.map.LoadDrawingFile(f.file("bad")); }).number(), ErrTypeMismatch);
    EXPECT_EQ(f.map.drawing(PlumesDrawing).entities.size(), 2u);
}

TEST(DrawingComponent, EntitiesOfEveryKindReachTheLayerFile)
{
    Fixture f;
    f.map.SelectDrawing(PlumesDrawing);
    f.map.NewDrawingFile(f.file("pccont"), 24);
    f.map.AddLayer("Plume", 5, 1);
    f.map.AddTextStyle("STANDARD", "Arial", 400, 16, 1.0);
    f.map.AddLine("", 0, 0, 10, 10);
    f.map.AddPolyline("", { { 0, 0 }, { 5, 5 }, { 10, 0 } });
    f.map.AddPoint("W1", 3, 4);
    f.map.AddCircle("", 1, 2, 3);
    f.map.AddText("", 10, 20, "cm", 83, 1.0, 45, "Plume (Avg)");
    f.map.SetEntityProperty("ECOLOR", "7");
    f.map.SetEntityProperty("LAYER", "Legend"); // a new layer name adds the layer
    f.map.SelectDrawing(BaseDrawing);

    const Drawing stored = readLayerFile(f.file("pccont.geojson"));
    const Drawing &shown = f.map.drawing(PlumesDrawing);
    ASSERT_EQ(stored.entities.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(stored.entities[i].sameContent(shown.entities[i])) << i;
    // Justification, rotation, radius and polyline points also shape the reference image.
    EXPECT_EQ(std::tuple(stored.entities[4].layer, stored.entities[4].color), std::tuple(QString("Legend"), 7));
    EXPECT_NE(stored.findLayer("Legend"), nullptr);
    EXPECT_EQ(stored.entities[2].tag, "W1");
}

TEST(DrawingComponent, HandlesAreUniqueAndFindTheirEntity)
{
    Fixture f;
    f.map.SelectDrawing(WellsDrawing);
    f.map.AddPoint("", 0, 0);
    const QString first = f.map.LastEntityHandle();
    f.map.SelectDrawing(SourceDrawing);
    f.map.AddPoint("", 1, 1);
    EXPECT_NE(first, f.map.LastEntityHandle());
    // A handle of another drawing still reaches its entity.
    f.map.SetEntityColor(first, 12);
    EXPECT_EQ(f.map.drawing(WellsDrawing).entities[0].color, 12);
    EXPECT_EQ(f.map.drawing(SourceDrawing).entities[0].color, 0);
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
        { "drawing 10", [](auto &m) { m.SelectDrawing(10); }, ErrInvalidCall },
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
    };
    for (const auto &c : cases) {
        DrawingComponent map(f.frontend);
        map.SelectDrawing(WellsDrawing);
        EXPECT_EQ(thrownBy([&] { c.call(map); }).number(), c.error) << c.what;
    }
}

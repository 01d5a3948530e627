#include "map/drawing_component.h"
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

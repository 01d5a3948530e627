#include "map/color_table.h"
#include "map/drawing_component.h"
#include "map/map_renderer.h"
#include "support/scripted_frontend.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// One pixel per map unit, y up: map (x, y) is image (x, 100 - y) on a 100 x 100 image.
QRgb rgbAt(const QImage &image, double x, double y)
{
    return image.pixel(int(x), int(100 - y)) & 0xFFFFFF;
}

} // namespace

// The wells are drawn after every result layer, whatever was loaded later, each mark and label
// outlined in the colour that stands out from its own, so a band of the wells' colour cannot hide
// them.
TEST(WellsOnTop, WellsAreDrawnLastWithAHalo)
{
    const struct {
        int wellColor;
        QRgb halo;
    } cases[] = { { 1, 0x000000 }, { BlackColorIndex, 0xFFFFFF } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.wellColor);
        ScriptedFrontend frontend;
        DrawingComponent map(frontend);
        map.SelectDrawing(WellsDrawing);
        map.AddPoint("", 50, 50);
        map.SetEntityProperty("ELINE", "3");
        map.SetEntityProperty("ECOLOR", QString::number(c.wellColor));
        // A band of the same colour over the well, added after it.
        map.SelectDrawing(PlumesDrawing);
        map.AddLine("", 0, 50, 100, 50);
        map.SetEntityProperty("ELINE", "40");
        map.SetEntityProperty("ECOLOR", QString::number(c.wellColor));
        map.SelectDrawing(WolfDrawing);
        map.AddLine("", 50, 0, 50, 100);
        map.SetEntityProperty("ELINE", "40");
        map.SetEntityProperty("ECOLOR", QString::number(c.wellColor));
        RenderOptions options;
        options.antialias = false;
        const QImage image = renderMapImage(map, QRectF(0, 0, 100, 100), QSize(100, 100), options)
                                 .convertToFormat(QImage::Format_RGB32);
        const QRgb mark = colorOfIndex(c.wellColor).rgb() & 0xFFFFFF;
        EXPECT_EQ(rgbAt(image, 50, 50), mark) << "the mark";
        EXPECT_EQ(rgbAt(image, 54, 50), c.halo) << "its halo, 2 px beyond the mark";
        EXPECT_EQ(rgbAt(image, 50, 54), c.halo);
        EXPECT_EQ(rgbAt(image, 58, 50), mark) << "the band beyond the halo";
    }
}

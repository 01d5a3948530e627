#include "map/drawing_component.h"
#include "map/map_renderer.h"
#include "map/map_test_util.h"
#include "support/scripted_frontend.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

QRgb rgbAt(const QImage &image, QPointF p)
{
    return image.pixel(p.toPoint()) & 0xFFFFFF;
}

// A small map with every kind of entity, as the result layers draw them.
void drawSample(DrawingComponent &map)
{
    map.SelectDrawing(BaseDrawing);
    map.AddPolyline("", { { 0, 0 }, { 100, 0 }, { 100, 75 }, { 0, 75 }, { 0, 0 } });
    map.SelectDrawing(PlumesDrawing);
    map.AddLayer("Plume", 5, 1);
    map.AddTextStyle("STANDARD", "DejaVu Sans", 400, 16, 1.0);
    for (int i = 1; i <= 5; ++i) {
        map.AddCircle("", 50, 37.5, 6.0 * i);
        map.SetEntityProperty("ELINE", QString::number(i % 3));
        map.SetEntityProperty("ECOLOR", QString::number(i));
    }
    map.AddLine("", 5, 5, 95, 70);
    map.SetEntityProperty("ELINE", "3");
    map.SetEntityProperty("ECOLOR", "12");
    map.AddPoint("", 80, 15);
    map.SetEntityProperty("ELINE", "3");
    map.SetEntityProperty("ECOLOR", "8");
    map.AddText("", 50, 70, "CM", 6, 1.0, 0, "Plume (Avg)");
    map.SetEntityProperty("ECOLOR", "7");
    map.AddText("", 8, 10, "LB", 5, 0.8, 30, "MW-12");
    map.SetEntityProperty("ECOLOR", "13");
}

// Per-pixel comparison: a pixel differs when any channel is off by more than channelTolerance;
// the images match when at most maxFraction of the pixels differ.
double differingFraction(const QImage &a, const QImage &b, int channelTolerance)
{
    if (a.size() != b.size())
        return 1;
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > channelTolerance || std::abs(qGreen(p) - qGreen(q)) > channelTolerance
                || std::abs(qBlue(p) - qBlue(q)) > channelTolerance)
                ++differing;
        }
    }
    return double(differing) / (double(a.width()) * a.height());
}

struct MapRenderer : ::testing::Test {
    ScriptedFrontend frontend;
    DrawingComponent map { frontend };
};

} // namespace

TEST_F(MapRenderer, MatchesTheReferenceImage)
{
    drawSample(map);
    const QImage image
        = renderMapImage(map, QRectF(-2, -2, 104, 79), QSize(320, 240)).convertToFormat(QImage::Format_RGB32);
    const QString reference = mapFixture("render_reference.png");
    if (qEnvironmentVariableIsSet("QEL_UPDATE_REFERENCE_IMAGES")) {
        ASSERT_TRUE(image.save(reference));
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "missing " << reference.toStdString();
    // Anti-aliasing and font hinting may shift edge pixels a little between builds of Qt and
    // FreeType; geometry, colours and widths may not.
    const double fraction = differingFraction(image, expected, 64);
    if (fraction > 0.005)
        image.save(QStringLiteral(QEL_BINARY_DIR "/render_actual.png"));
    EXPECT_LE(fraction, 0.005) << "see " QEL_BINARY_DIR "/render_actual.png";
}

TEST_F(MapRenderer, RasterIsPlacedByTheCalibration)
{
    map.OpenRasterMap(mapFixture("site.bmp"));
    // The colour a map point gets when the view is drawn at 400 x 300.
    const auto colourAt = [this](const QRectF &view, QPointF p) {
        const QImage image = renderMapImage(map, view, QSize(400, 300));
        return rgbAt(image, MapViewTransform(view, QRectF(image.rect()), mapYDown(map)).toDevice(p));
    };

    // Uncalibrated: map units are pixels and rows count downwards; the image is not mirrored.
    EXPECT_TRUE(mapYDown(map));
    const QRectF pixels(0, 0, 40, 30);
    EXPECT_EQ(colourAt(pixels, { 14, 9 }), 0x0000FFu);
    EXPECT_EQ(colourAt(pixels, { 39.5, 29.5 }), 0x00FF00u);

    // Calibrated with map y upwards: pixel (px, py) lies at (1000 + 10 px, 2300 - 10 py).
    map.SetPixelToMap(0, 0, 1000, 2300, 40, 30, 1400, 2000);
    EXPECT_FALSE(mapYDown(map));
    map.SelectDrawing(WellsDrawing);
    map.AddLine("", 1000, 2150, 1400, 2150); // across pixel row 15
    map.SetEntityProperty("ECOLOR", "10");
    map.SetEntityProperty("ELINE", "3");
    const QRectF view = fullView(map);
    EXPECT_TRUE(view.contains(QRectF(1000, 2000, 400, 300)));
    EXPECT_EQ(colourAt(view, { 1145, 2210 }), 0x0000FFu); // pixel (14.5, 9)
    EXPECT_EQ(colourAt(view, { 1395, 2005 }), 0x00FF00u); // pixel (39.5, 29.5)
    EXPECT_EQ(colourAt(view, { 1300, 2150 }), 0x008000u); // Dark Green line over the raster
}

// A raster larger than its first image: zoomed in, a one-pixel line is drawn from the file at
// full detail, not as the grey the reduced image averages it into.
TEST_F(MapRenderer, ZoomedInLargeRastersShowTheirFullDetail)
{
    QTemporaryDir dir;
    QImage plan(8200, 20, QImage::Format_RGB32);
    plan.fill(Qt::white);
    for (int y = 0; y < plan.height(); ++y)
        plan.setPixel(4100, y, qRgb(0, 0, 0));
    const QString path = dir.filePath("plan.png");
    ASSERT_TRUE(plan.save(path));
    map.OpenRasterMap(path);
    const std::vector<QImage> &pyramid = map.baseMap().pyramid;
    // A third, the whole factor that brings it within BaseMap::MaxImageSide; then halved down to 512.
    EXPECT_EQ(std::tuple(pyramid[0].width(), pyramid[1].width(), pyramid.back().width()), std::tuple(2733, 1366, 341));

    const QImage zoomed = renderMapImage(map, QRectF(4090, 0, 20, 20), QSize(200, 200));
    EXPECT_LT(qGray(zoomed.pixel(105, 100)), 40) << "the line, ten device pixels per raster pixel";
    EXPECT_EQ(qGray(zoomed.pixel(55, 100)), 255);
}

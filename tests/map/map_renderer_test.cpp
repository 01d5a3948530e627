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

// The box around every pixel that is not the white background.
QRect inkBox(const QImage &image)
{
    int x0 = image.width(), y0 = image.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
        }
    }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

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

TEST_F(MapRenderer, ViewTransformFitsAndCentres)
{
    const MapViewTransform t(QRectF(0, 0, 100, 50), QRectF(0, 0, 400, 400));
    EXPECT_DOUBLE_EQ(t.scale(), 4);
    // Map y grows upwards: the view's bottom-left corner lands low on the device.
    EXPECT_EQ(t.toDevice({ 0, 0 }), QPointF(0, 300));
    EXPECT_EQ(t.toMap({ 200, 200 }), QPointF(50, 25));
    EXPECT_EQ(t.visibleMap(), QRectF(0, -25, 100, 100));
    const MapViewTransform down(QRectF(0, 0, 100, 50), QRectF(0, 0, 400, 400), true);
    EXPECT_EQ(down.toDevice({ 0, 0 }), QPointF(0, 100));
    // A view without area still gives a usable transformation.
    EXPECT_TRUE(std::isfinite(MapViewTransform(QRectF(5, 5, 0, 0), QRectF(0, 0, 10, 10)).scale()));
}

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

TEST_F(MapRenderer, TextJustificationAndRotation)
{
    const struct {
        const char *justification;
        double rotation;
    } cases[] = { { "CM", 0 }, { "LM", 0 }, { "RM", 0 }, { "CT", 0 }, { "CB", 0 }, { "C", 0 }, { "CM", 90 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.justification + std::string(" ") + std::to_string(c.rotation));
        DrawingComponent one(frontend);
        one.SelectDrawing(SourceDrawing);
        one.AddText("", 50, 50, c.justification, 10, 1.0, c.rotation, "HHHH");
        const QRect ink = inkBox(renderMapImage(one, QRectF(0, 0, 100, 100), QSize(200, 200)));
        ASSERT_FALSE(ink.isNull());
        // The insertion point lands on pixel (100, 100).
        if (c.rotation == 90) {
            EXPECT_GT(ink.height(), 2 * ink.width());
            EXPECT_NEAR(ink.center().y(), 100, 3);
            continue;
        }
        // Capital H fills its cap height: 10 map units, 20 pixels.
        EXPECT_NEAR(ink.height(), 20, 2);
        const char h = c.justification[0], v = c.justification[1] ? c.justification[1] : 'L';
        EXPECT_NEAR(h == 'L' ? ink.left() : h == 'R' ? ink.right() : ink.center().x(), 100, h == 'C' ? 3 : 4);
        if (v == 'B')
            EXPECT_LT(ink.bottom(), 99); // above the descent
        else // a lone L, C or R puts the baseline on the point
            EXPECT_NEAR(v == 'M' ? ink.center().y() : v == 'T' ? ink.top() : ink.bottom(), 100, 2);
    }
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
    EXPECT_EQ(colourAt(pixels, { 25, 20 }), 0xFFFFFFu);

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

TEST_F(MapRenderer, ZoomedViewsDrawOnlyWhatIsInside)
{
    map.SelectDrawing(WolfDrawing);
    map.AddLine("", 0, 0, 1000, 0);
    map.SetEntityProperty("ECOLOR", "12");
    map.SetEntityProperty("ELINE", "3");
    map.AddLine("", 0, 500, 1000, 500);
    map.SetEntityProperty("ECOLOR", "7");
    // A view of a small part of the lower line.
    const QImage image = renderMapImage(map, QRectF(400, -5, 10, 10), QSize(100, 100));
    EXPECT_EQ(rgbAt(image, { 50, 50 }), 0x000080u);
    const QRect ink = inkBox(image);
    EXPECT_EQ(ink.left(), 0);
    EXPECT_EQ(ink.right(), 99);
    EXPECT_LE(ink.height(), 4);
}

// A raster larger than its first image: zoomed in, a one-pixel line is drawn from the file at
// full detail, not as the grey the reduced image averages it into. Zoomed out, the smaller copies
// of the pyramid are drawn.
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
    EXPECT_EQ(map.rasterWidth(), 8200);
    // A third, the whole factor that brings it within BaseMap::MaxImageSide; then halved down to 512.
    ASSERT_EQ(pyramid[0].width(), 2733);
    for (std::size_t i = 1; i < pyramid.size(); ++i)
        EXPECT_EQ(pyramid[i].width(), pyramid[i - 1].width() / 2);
    EXPECT_EQ(pyramid.back().width(), 341);

    const QImage zoomed = renderMapImage(map, QRectF(4090, 0, 20, 20), QSize(200, 200));
    EXPECT_LT(qGray(zoomed.pixel(105, 100)), 40) << "the line, ten device pixels per raster pixel";
    EXPECT_EQ(qGray(zoomed.pixel(55, 100)), 255);
    const QImage whole = renderMapImage(map, QRectF(0, 0, 8200, 20), QSize(820, 20));
    EXPECT_EQ(qGray(whole.pixel(100, 10)), 255) << "zoomed out, the reduced image is drawn";
}

// The map must pan and zoom without visible lag over a large scanned site plan with many drawn
// entities: an 8000 x 8000 raster, 20000 lines, one repaint of a 1600 x 1000 view.
#include "core/batch_frontend.h"
#include "map/drawing_component.h"
#include "map/map_renderer.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace {

constexpr int RasterSide = 8000;
constexpr int Lines = 20000;
const QSize ViewSize(1600, 1000);

// A site plan scan: grey background with a grid of dark lines, written once per run.
const QString &largeRaster()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QImage image(RasterSide, RasterSide, QImage::Format_Grayscale8);
        image.fill(230);
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 3));
        for (int i = 0; i < RasterSide; i += 250) {
            p.drawLine(i, 0, i, RasterSide);
            p.drawLine(0, i, RasterSide, i);
        }
        p.end();
        const QString file = dir.filePath(QStringLiteral("large.tif"));
        image.save(file, "TIFF");
        return file;
    }();
    return path;
}

struct LargeMap {
    LargeMap()
        : frontend(devNull, devNull)
        , map(frontend)
    {
        map.OpenRasterMap(largeRaster());
        map.SetPixelToMap(0, 0, 0, RasterSide, RasterSide, RasterSide, RasterSide, 0);
        std::mt19937 random(42);
        std::uniform_real_distribution<double> at(0, RasterSide);
        map.SelectDrawing(qel::MinDistanceDrawing);
        map.SetUpdate(0);
        for (int i = 0; i < Lines; ++i) {
            const double x = at(random), y = at(random);
            map.AddLine(QString(), x, y, x + 40, y);
            map.SetEntityProperty(QStringLiteral("ECOLOR"), QString::number(1 + i % 14));
        }
    }
    ~LargeMap() { std::fclose(devNull); }

    std::FILE *devNull = std::fopen("/dev/null", "w");
    qel::BatchFrontend frontend;
    qel::DrawingComponent map;
};

void OpenLargeRaster(benchmark::State &state)
{
    largeRaster();
    std::FILE *devNull = std::fopen("/dev/null", "w");
    qel::BatchFrontend frontend(devNull, devNull);
    for (auto _ : state) {
        qel::DrawingComponent map(frontend);
        map.OpenRasterMap(largeRaster());
        benchmark::DoNotOptimize(map.rasterWidth());
    }
    std::fclose(devNull);
}
BENCHMARK(OpenLargeRaster)->Unit(benchmark::kMillisecond);

// view: 0 the whole map, 1 a quarter of it, 2 a sixty-fourth (zoomed well in)
void RepaintView(benchmark::State &state)
{
    static LargeMap large;
    const double side = RasterSide / double(1 << (2 * state.range(0)));
    const QRectF view(RasterSide / 2.0 - side / 2, RasterSide / 2.0 - side / 2, side, side);
    QImage target(ViewSize, QImage::Format_ARGB32_Premultiplied);
    const qel::MapViewTransform transform(view, QRectF(QPointF(0, 0), QSizeF(ViewSize)), qel::mapYDown(large.map));
    for (auto _ : state) {
        QPainter painter(&target);
        qel::renderMap(painter, large.map, transform);
        painter.end();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RepaintView)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A view zoomed in past the raster's reduced image, moved each time to a place the last read did
// not cover: every repaint reads the visible pixels from the file at full detail.
void RepaintZoomedAtANewPlace(benchmark::State &state)
{
    static LargeMap large;
    const double side = RasterSide / 16.0;
    QImage target(ViewSize, QImage::Format_ARGB32_Premultiplied);
    int place = 0;
    for (auto _ : state) {
        const double at = (place++ % 2 ? 0.2 : 0.7) * RasterSide; // the two views are far apart
        const QRectF view(at, at, side, side);
        const qel::MapViewTransform transform(view, QRectF(QPointF(0, 0), QSizeF(ViewSize)), qel::mapYDown(large.map));
        QPainter painter(&target);
        qel::renderMap(painter, large.map, transform);
        painter.end();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RepaintZoomedAtANewPlace)->Unit(benchmark::kMillisecond);

} // namespace

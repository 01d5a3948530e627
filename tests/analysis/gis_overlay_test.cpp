// The layers QEL exports for a GIS, read back with GDAL and drawn over the base map, must line up
// with the map the workbench draws: the same bands in the same places, the wells on their marks.
#include "analysis/gis_export.h"
#include "core/project_open.h"
#include "map/map_renderer.h"
#include "map/map_session.h"
#include "support/test_session.h"
#include "views/layer_redraw.h"
#include "views/workflow_replay.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gdal/ogrsf_frmts.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

using namespace qel;
using namespace qel::test;

namespace {

struct Nearness {
    int pixels = 0; // of the colour in the first image
    double share = 0; // of those with a pixel of the colour in the second image within r pixels
};

// Compares where two images hold a colour inside the area (the legend's samples outside it are no
// bands), forgiving r pixels in either direction.
Nearness nearness(const QImage &a, const QImage &b, QRgb colour, QRect area, int r)
{
    area = area.intersected(a.rect());
    const int w = area.width(), h = area.height();
    const auto has = [&](const QImage &image, int x, int y) {
        return (image.pixel(area.left() + x, area.top() + y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    };
    // Counts of b's pixels over every rectangle from the corner, so any square is four look-ups.
    std::vector<int> sum(std::size_t(w + 1) * std::size_t(h + 1), 0);
    const auto at = [&](int x, int y) -> int & { return sum[std::size_t(y) * std::size_t(w + 1) + std::size_t(x)]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            at(x + 1, y + 1) = has(b, x, y) + at(x, y + 1) + at(x + 1, y) - at(x, y);
    Nearness n;
    int near = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!has(a, x, y))
                continue;
            ++n.pixels;
            const int x0 = std::max(0, x - r), x1 = std::min(w, x + r + 1);
            const int y0 = std::max(0, y - r), y1 = std::min(h, y + r + 1);
            near += at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0) > 0;
        }
    }
    n.share = n.pixels ? double(near) / n.pixels : 0;
    return n;
}

struct DatasetCloser {
    void operator()(GDALDataset *d) const { GDALClose(d); }
};

// The polygons of the bands layer with their colour attribute, and the wells' points, as a GIS
// reads them.
struct Exported {
    struct Band {
        QColor colour;
        QPainterPath area; // in map units
    };
    std::vector<Band> bands;
    std::vector<QPointF> wells;
};

Exported readExport(const QString &gpkg)
{
    GDALAllRegister();
    std::unique_ptr<GDALDataset, DatasetCloser> data(
        GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    Exported read;
    for (const char *name : { "bands_plume", "wells" }) {
        OGRLayer *layer = data ? data->GetLayerByName(name) : nullptr;
        if (!layer)
            continue;
        for (const auto &feature : *layer) {
            const OGRGeometry *g = feature->GetGeometryRef();
            const OGRwkbGeometryType type = g ? wkbFlatten(g->getGeometryType()) : wkbNone;
            if (type == wkbPoint)
                read.wells.emplace_back(g->toPoint()->getX(), g->toPoint()->getY());
            if (type != wkbPolygon)
                continue;
            Exported::Band band { QColor(QString::fromUtf8(feature->GetFieldAsString("colour"))), {} };
            for (const OGRLinearRing *ring : *g->toPolygon()) {
                QPolygonF points;
                for (const OGRPoint &p : *ring)
                    points << QPointF(p.getX(), p.getY());
                band.area.addPolygon(points);
                band.area.closeSubpath();
            }
            read.bands.push_back(std::move(band));
        }
    }
    return read;
}

TEST(GisOverlay, ExportedLayersLineUpWithTheWorkbenchMap)
{
    TestSession t;
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    t.frontend.queueFile(site + QStringLiteral("QELResults.out")); // the replayed results export
    qputenv("QEL_REGRESS", QByteArray(QEL_BINARY_DIR "/bin/regress"));
    installWorkflowReplay(*t.session);
    const bool opened = openProject(*t.session, site + QStringLiteral("alpha-site.prj"));
    qunsetenv("QEL_REGRESS");
    ASSERT_TRUE(opened);
    ASSERT_TRUE(t.session->model.ANDone) << t.session->ErrorText.toStdString();
    ASSERT_TRUE(exportGridsForGis(*t.session, site + QStringLiteral("gis"))) << t.session->ErrorText.toStdString();
    const auto [bands, wells] = readExport(site + QStringLiteral("gis/results.gpkg"));
    ASSERT_FALSE(bands.empty());

    DrawingComponent &map = drawingOf(*t.session);
    const QSize size(1600, 1200);
    const QRectF view = fullView(map);
    const MapViewTransform toDevice(view, QRectF(QPointF(), QSizeF(size)), mapYDown(map));
    RenderOptions crisp;
    crisp.antialias = false;
    // The plume bands the workbench draws, alone over the base map.
    map.ClearOverlays(0);
    map.LoadDrawingFile(layerFilePath(*t.session, PlumesDrawing));
    const QImage plumeOnly = renderMapImage(map, view, size, crisp);

    // Each exported band painted where its polygons lie: the drawn hatching of its colour falls
    // inside them, and covers them, to within a grid cell (the map draws its bands between the
    // interpolated crossings, the polygons follow the nodes).
    const ProjectModel &m = t.session->model;
    const int cell = int(std::ceil(m.PCGridSpacing * toDevice.scale()));
    const QRect grid = QRectF(toDevice.toDevice(QPointF(m.PCLeft, m.PCTop)),
        toDevice.toDevice(
            QPointF(m.PCLeft + (m.PCNumX - 1) * m.PCGridSpacing, m.PCTop - (m.PCNumY - 1) * m.PCGridSpacing)))
                           .normalized()
                           .toAlignedRect()
                           .adjusted(-cell, -cell, cell, cell);
    std::set<QRgb> colours;
    for (const Exported::Band &band : bands)
        colours.insert(band.colour.rgb());
    for (QRgb colour : colours) {
        SCOPED_TRACE(QColor(colour).name().toStdString());
        QImage painted(size, QImage::Format_RGB32);
        painted.fill(Qt::white);
        QPainter p(&painted);
        p.setTransform(toDevice.transform());
        for (const Exported::Band &band : bands)
            if (band.colour.rgb() == colour)
                p.fillPath(band.area, QColor(colour));
        p.end();
        const Nearness drawn = nearness(plumeOnly, painted, colour, grid, cell);
        ASSERT_GT(drawn.pixels, 500);
        EXPECT_GT(drawn.share, 0.99);
        // A narrow band's hatching is partly drawn over by its neighbours' wide lines.
        EXPECT_GT(nearness(painted, plumeOnly, colour, grid, cell).share, 0.97);
    }

    // The exported wells sit on the marks the workbench draws for them.
    map.ClearOverlays(0);
    const QImage baseOnly = renderMapImage(map, view, size, crisp);
    map.LoadDrawingFile(layerFilePath(*t.session, WellsDrawing));
    const QImage wellsOnly = renderMapImage(map, view, size, crisp);
    ASSERT_EQ(wells.size(), std::size_t(m.NumWells));
    for (const QPointF &well : wells) {
        const QPoint at = toDevice.toDevice(well).toPoint();
        int marked = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                marked += wellsOnly.pixel(at + QPoint(dx, dy)) != baseOnly.pixel(at + QPoint(dx, dy));
        EXPECT_GT(marked, 0) << well.x() << ", " << well.y();
    }

    // The picture for a person to look at: the exported layers over the base map.
    map.ClearOverlays(0);
    QImage overlay = renderMapImage(map, view, size);
    QPainter p(&overlay);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(toDevice.transform());
    for (const Exported::Band &band : bands) {
        QColor fill = band.colour;
        fill.setAlpha(170);
        p.fillPath(band.area, fill);
    }
    p.resetTransform();
    p.setBrush(Qt::red);
    for (const QPointF &well : wells)
        p.drawEllipse(toDevice.toDevice(well), 4, 4);
    p.end();
    overlay.save(QStringLiteral(QEL_BINARY_DIR "/gis-overlay.png"));
}

} // namespace

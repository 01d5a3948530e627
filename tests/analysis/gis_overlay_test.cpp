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
#include <vector>

using namespace qel;
using namespace qel::test;

namespace {

// Pixels of an image: set or not.
struct Mask {
    int width = 0, height = 0;
    std::vector<char> on;

    Mask(int w, int h)
        : width(w)
        , height(h)
        , on(std::size_t(w) * std::size_t(h), 0)
    {
    }
    char &at(int x, int y) { return on[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    char at(int x, int y) const { return on[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    int count() const { return int(std::count(on.begin(), on.end(), 1)); }

    // Grown by r pixels in every direction (a square), one axis at a time.
    Mask grown(int r) const
    {
        Mask rows(width, height), out(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y))
                    for (int d = std::max(0, x - r); d <= std::min(width - 1, x + r); ++d)
                        rows.at(d, y) = 1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (rows.at(x, y))
                    for (int d = std::max(0, y - r); d <= std::min(height - 1, y + r); ++d)
                        out.at(x, d) = 1;
        return out;
    }
    // The share of this mask's pixels that the other one holds too.
    double shareWithin(const Mask &other) const
    {
        int both = 0, mine = 0;
        for (std::size_t i = 0; i < on.size(); ++i)
            if (on[i]) {
                ++mine;
                both += other.on[i];
            }
        return mine ? double(both) / mine : 0;
    }
};

// The pixels of the colour inside the area (the legend's samples outside it are no bands).
Mask pixelsOfColour(const QImage &image, QRgb colour, const QRect &area)
{
    Mask mask(image.width(), image.height());
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
            mask.at(x, y) = (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return mask;
}

struct Band {
    QColor colour;
    QPainterPath area; // in map units
};

struct DatasetCloser {
    void operator()(GDALDataset *d) const { GDALClose(d); }
};

// The polygons of a bands layer with their colour attribute, as a GIS reads them.
std::vector<Band> readBands(const QString &gpkg, const char *layerName)
{
    GDALAllRegister();
    std::unique_ptr<GDALDataset, DatasetCloser> data(
        GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    std::vector<Band> bands;
    if (!data)
        return bands;
    OGRLayer *layer = data->GetLayerByName(layerName);
    if (!layer)
        return bands;
    for (const auto &feature : *layer) {
        const OGRGeometry *geometry = feature->GetGeometryRef();
        if (!geometry || wkbFlatten(geometry->getGeometryType()) != wkbPolygon)
            continue;
        Band band { QColor(QString::fromUtf8(feature->GetFieldAsString("colour"))), {} };
        for (const OGRLinearRing *ring : *geometry->toPolygon()) {
            QPolygonF points;
            for (const OGRPoint &p : *ring)
                points << QPointF(p.getX(), p.getY());
            band.area.addPolygon(points);
            band.area.closeSubpath();
        }
        bands.push_back(std::move(band));
    }
    return bands;
}

std::vector<QPointF> readWells(const QString &gpkg)
{
    std::unique_ptr<GDALDataset, DatasetCloser> data(
        GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    std::vector<QPointF> wells;
    OGRLayer *layer = data ? data->GetLayerByName("wells") : nullptr;
    if (layer)
        for (const auto &feature : *layer)
            if (const OGRGeometry *g = feature->GetGeometryRef(); g && wkbFlatten(g->getGeometryType()) == wkbPoint)
                wells.emplace_back(g->toPoint()->getX(), g->toPoint()->getY());
    return wells;
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
    const QString gpkg = site + QStringLiteral("gis/results.gpkg");
    const std::vector<Band> bands = readBands(gpkg, "bands_plume");
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
    std::vector<QRgb> colours;
    for (const Band &band : bands)
        if (std::find(colours.begin(), colours.end(), band.colour.rgb()) == colours.end())
            colours.push_back(band.colour.rgb());
    for (QRgb colour : colours) {
        SCOPED_TRACE(QColor(colour).name().toStdString());
        QImage painted(size, QImage::Format_RGB32);
        painted.fill(Qt::white);
        QPainter p(&painted);
        p.setTransform(toDevice.transform());
        for (const Band &band : bands)
            if (band.colour.rgb() == colour)
                p.fillPath(band.area, QColor(colour));
        p.end();
        const Mask exported = pixelsOfColour(painted, colour, grid), drawn = pixelsOfColour(plumeOnly, colour, grid);
        ASSERT_GT(drawn.count(), 500);
        EXPECT_GT(drawn.shareWithin(exported.grown(cell)), 0.99);
        // A narrow band's hatching is partly drawn over by its neighbours' wide lines.
        EXPECT_GT(exported.shareWithin(drawn.grown(cell)), 0.97);
    }

    // The exported wells sit on the marks the workbench draws for them.
    map.ClearOverlays(0);
    const QImage baseOnly = renderMapImage(map, view, size, crisp);
    map.LoadDrawingFile(layerFilePath(*t.session, WellsDrawing));
    const QImage wellsOnly = renderMapImage(map, view, size, crisp);
    const std::vector<QPointF> wells = readWells(gpkg);
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
    for (const Band &band : bands) {
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

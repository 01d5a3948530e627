#include "gis_overlay_shot.h"

#include "map/map_renderer.h"
#include "map/map_session.h"
#include "views/gis_export.h"
#include "views/layer_redraw.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTemporaryDir>

#include <gdal/ogrsf_frmts.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace qel;

namespace {

struct DatasetCloser {
    void operator()(GDALDataset *d) const { GDALClose(d); }
};

struct Band {
    QColor colour;
    QPainterPath area; // in map units
};

struct Exported {
    std::vector<Band> bands;
    std::vector<QPointF> wells;
    std::vector<QLineF> contours;
};

Exported readPackage(const QString &gpkg)
{
    GDALAllRegister();
    std::unique_ptr<GDALDataset, DatasetCloser> data(
        GDALDataset::Open(gpkg.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    Exported read;
    for (const char *name : { "bands_plume", "wells", "wl_contours" }) {
        OGRLayer *layer = data ? data->GetLayerByName(name) : nullptr;
        if (!layer)
            continue;
        for (const auto &feature : *layer) {
            const OGRGeometry *g = feature->GetGeometryRef();
            const OGRwkbGeometryType type = g ? wkbFlatten(g->getGeometryType()) : wkbNone;
            if (type == wkbPoint)
                read.wells.emplace_back(g->toPoint()->getX(), g->toPoint()->getY());
            if (const OGRLineString *line = type == wkbLineString ? g->toLineString() : nullptr)
                read.contours.emplace_back(line->getX(0), line->getY(0), line->getX(1), line->getY(1));
            if (type != wkbPolygon)
                continue;
            Band band { QColor(QString::fromUtf8(feature->GetFieldAsString("colour"))), {} };
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

} // namespace

bool saveGisOverlay(Session &session, const QString &file)
{
    QTemporaryDir scratch;
    const QString folder = scratch.path() + QStringLiteral("/gis");
    if (!scratch.isValid() || !exportGridsForGis(session, folder)) {
        std::fprintf(stderr, "guide_shots: the results could not be exported for GIS\n");
        return false;
    }
    const Exported exported = readPackage(folder + QStringLiteral("/results.gpkg"));
    if (exported.bands.empty()) {
        std::fprintf(stderr, "guide_shots: the exported GeoPackage holds no plume bands\n");
        return false;
    }

    DrawingComponent &map = drawingOf(session);
    // The base map alone, then the workbench's layers are drawn again from their files. The view
    // is the base map's, so the room the legends took beside the site is not left blank.
    map.ClearOverlays(0);
    const QRectF view = fullView(map);
    const QSize size(1600, int(1600 * view.height() / view.width()));
    const MapViewTransform toDevice(view, QRectF(QPointF(), QSizeF(size)), mapYDown(map));
    QImage overlay = renderMapImage(map, view, size);
    Redraw(session, 0);

    QPainter p(&overlay);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(toDevice.transform());
    for (const Band &band : exported.bands) {
        QColor fill = band.colour;
        fill.setAlpha(170);
        p.fillPath(band.area, fill);
    }
    p.resetTransform();
    p.setPen(QPen(QColor(0, 0, 255), 2));
    for (const QLineF &line : exported.contours)
        p.drawLine(toDevice.toDevice(line.p1()), toDevice.toDevice(line.p2()));
    p.setPen(QPen(Qt::black));
    p.setBrush(Qt::red);
    for (const QPointF &well : exported.wells)
        p.drawEllipse(toDevice.toDevice(well), 4, 4);
    p.end();
    const bool saved = overlay.save(file);
    std::printf("guide_shots: %s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

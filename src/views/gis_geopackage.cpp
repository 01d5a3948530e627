#include "views/gis_grids.h"

#include "core/errors.h"
#include "core/project_model.h"
#include "map/color_table.h"
#include "views/contour_bands.h"
#include "views/gis_export.h"
#include "views/gis_staging.h"
#include "views/water_level_contours.h"

#include <cpl_error.h>
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace qel::gis {

namespace {

// The water-level contour lines the map shows, none when it shows none. Levels the map cannot draw
// (reported when it tried) give no lines here either.
std::vector<ContourSegment> shownWaterLevelContours(const ProjectModel &m)
{
    if (!m.RGDone || m.WCMapIndex < 1 || m.WCMapIndex > m.NumSamples)
        return {};
    try {
        return contourSegments(m, m.WCMapIndex, m.WLMin, m.WLInt, m.WLMax);
    } catch (const QelError &) {
        return {};
    }
}

QString dateOrAverage(const ProjectModel &m, int sample)
{
    return sample <= m.NumSamples ? m.SampleDate(sample).toString(Qt::ISODate)
                                  : QStringLiteral("the average of the dates");
}

// The band class of each node: its level, 0 for none.
std::vector<std::int32_t> classified(const ContourView &view, const std::vector<double> &values, bool skipNonPositive)
{
    std::vector<std::int32_t> classes(values.size(), 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        if (!(v == GisNoData || (skipNonPositive && v <= 0)))
            classes[i] = levelOf(view, v);
    }
    return classes;
}

QString colourText(Colour index)
{
    return colorOfIndex(int(index)).name(QColor::HexRgb).toUpper();
}

// A GeoPackage layer always names a coordinate system: without one GDAL gives the undefined
// geographic one, which a GIS takes for longitude and latitude. The undefined Cartesian one (the
// package's srs_id -1) says what is true of site coordinates: planar, of no known system.
const OGRSpatialReference &undefinedCartesian()
{
    static const OGRSpatialReference srs = [] {
        OGRSpatialReference local;
        local.SetLocalCS("Undefined cartesian SRS");
        local.SetLinearUnits(SRS_UL_METER, 1.0);
        return local;
    }();
    return srs;
}

OGRLayer &newLayer(GDALDataset &package, const char *name, const OGRSpatialReference *srs, OGRwkbGeometryType type,
    const QString &description)
{
    const OGRSpatialReference &crs = srs ? *srs : undefinedCartesian();
    OGRLayer *layer = package.CreateLayer(name, const_cast<OGRSpatialReference *>(&crs), type, nullptr);
    if (!layer)
        cannotWrite(PackageName + QStringLiteral(" layer ") + QLatin1String(name));
    layer->SetMetadataItem("DESCRIPTION", description.toUtf8().constData());
    return *layer;
}

void addField(OGRLayer &layer, const char *name, OGRFieldType type)
{
    OGRFieldDefn field(name, type);
    if (layer.CreateField(&field) != OGRERR_NONE)
        cannotWrite(PackageName + QStringLiteral(" field ") + QLatin1String(name));
}

void addFeature(OGRLayer &layer, OGRFeature &feature)
{
    if (layer.CreateFeature(&feature) != OGRERR_NONE)
        cannotWrite(PackageName + QStringLiteral(" layer ") + QString::fromUtf8(layer.GetName()));
}

std::unique_ptr<OGRPolygon> rectangle(double left, double bottom, double right, double top)
{
    auto ring = std::make_unique<OGRLinearRing>();
    ring->addPoint(left, bottom);
    ring->addPoint(right, bottom);
    ring->addPoint(right, top);
    ring->addPoint(left, top);
    ring->addPoint(left, bottom);
    auto polygon = std::make_unique<OGRPolygon>();
    polygon->addRingDirectly(ring.release());
    return polygon;
}

void writeBands(GDALDataset &package, const char *name, const QString &description, const GridGeometry &g,
    const ContourView &view, const std::vector<double> &values, bool skipNonPositive, const OGRSpatialReference *srs)
{
    std::vector<std::int32_t> classes = classified(view, values, skipNonPositive);
    GdalDatasetPtr mem = memoryRaster(g, GDT_Int32, srs);
    GDALRasterBand *band = mem->GetRasterBand(1);
    if (band->RasterIO(GF_Write, 0, 0, g.nx, g.ny, classes.data(), g.nx, g.ny, GDT_Int32, 0, 0, nullptr) != CE_None)
        cannotWrite(PackageName + QStringLiteral(" layer ") + QLatin1String(name));

    // Polygons of neighbouring nodes (edge-connected) of one class; class 0 masks itself out.
    GdalDatasetPtr scratch(driver("Memory").Create("", 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer *shapes = scratch ? scratch->CreateLayer("shapes", nullptr, wkbPolygon, nullptr) : nullptr;
    OGRFieldDefn levelField("level", OFTInteger);
    if (!shapes || shapes->CreateField(&levelField) != OGRERR_NONE
        || GDALPolygonize(band, band, OGRLayer::ToHandle(shapes), 0, nullptr, nullptr, nullptr) != CE_None)
        cannotWrite(PackageName + QStringLiteral(" layer ") + QLatin1String(name));

    OGRLayer &layer = newLayer(package, name, srs, wkbPolygon, description);
    addField(layer, "level", OFTInteger);
    addField(layer, "lower", OFTReal);
    addField(layer, "upper", OFTReal);
    addField(layer, "colour", OFTString);
    shapes->ResetReading();
    for (auto &shape : *shapes) {
        const int k = shape->GetFieldAsInteger(0);
        OGRFeature feature(layer.GetLayerDefn());
        feature.SetField("level", k);
        feature.SetField("lower", view.CMin(k));
        feature.SetField("upper", view.CMax(k));
        feature.SetField("colour", colourText(view.CColor(k)).toUtf8().constData());
        feature.SetGeometry(shape->GetGeometryRef());
        addFeature(layer, feature);
    }
}

} // namespace

void writePackage(MemoryFolder &folder, const ProjectModel &m, const GridGeometry &g,
    const std::vector<ResultGrid> &grids, const OGRSpatialReference *srs)
{
    QuietGdalErrors quiet;
    GdalDatasetPtr package(driver("GPKG").Create(folder.path(PackageName).constData(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!package)
        cannotWrite(PackageName);
    if (package->StartTransaction() != OGRERR_NONE)
        cannotWrite(PackageName);

    if (m.NumWells > 0) {
        OGRLayer &wells = newLayer(*package, "wells", srs, wkbPoint, QStringLiteral("Existing wells"));
        addField(wells, "id", OFTString);
        for (int k = 1; k <= m.NumWells; ++k) {
            OGRFeature feature(wells.GetLayerDefn());
            feature.SetField("id", m.WellID(k).toUtf8().constData());
            OGRPoint point(m.WellX(k), m.WellY(k));
            feature.SetGeometry(&point);
            addFeature(wells, feature);
        }
    }
    if (m.SLDone) {
        OGRLayer &source = newLayer(*package, "source", srs, wkbPoint, QStringLiteral("Contaminant source"));
        addField(source, "width", OFTReal);
        addField(source, "concentration", OFTReal);
        OGRFeature feature(source.GetLayerDefn());
        feature.SetField("width", m.Swidth);
        feature.SetField("concentration", m.C0);
        OGRPoint point(m.Xsource, m.Ysource);
        feature.SetGeometry(&point);
        addFeature(source, feature);
    }
    if (m.PLRight > m.PLLeft && m.PLTop > m.PLBottom) {
        OGRLayer &limits = newLayer(
            *package, "plot_limits", srs, wkbPolygon, QStringLiteral("Plot limits of the water-level contours"));
        OGRFeature feature(limits.GetLayerDefn());
        feature.SetGeometryDirectly(rectangle(m.PLLeft, m.PLBottom, m.PLRight, m.PLTop).release());
        addFeature(limits, feature);
    }
    {
        OGRLayer &grid = newLayer(*package, "model_grid", srs, wkbPolygon,
            QStringLiteral("Model grid: the rectangle through its outer nodes"));
        addField(grid, "spacing", OFTReal);
        addField(grid, "num_x", OFTInteger);
        addField(grid, "num_y", OFTInteger);
        OGRFeature feature(grid.GetLayerDefn());
        feature.SetField("spacing", g.spacing);
        feature.SetField("num_x", g.nx);
        feature.SetField("num_y", g.ny);
        feature.SetGeometryDirectly(rectangle(g.left, g.bottom(), g.right(), g.top).release());
        addFeature(grid, feature);
    }

    if (const std::vector<ContourSegment> lines = shownWaterLevelContours(m); !lines.empty()) {
        OGRLayer &contours = newLayer(*package, "wl_contours", srs, wkbLineString,
            QStringLiteral("Water-level contours of ") + dateOrAverage(m, m.WCMapIndex));
        addField(contours, "level", OFTReal);
        for (const ContourSegment &line : lines) {
            OGRFeature feature(contours.GetLayerDefn());
            feature.SetField("level", line.level);
            OGRLineString geometry;
            geometry.addPoint(line.from.x(), line.from.y());
            geometry.addPoint(line.to.x(), line.to.y());
            feature.SetGeometry(&geometry);
            addFeature(contours, feature);
        }
    }

    // The plume bands follow the map's choice of date; without one they show the average.
    const int plumeSample = m.PCMapIndex >= 1 && m.PCMapIndex <= m.NumSamples + 1 ? m.PCMapIndex : m.NumSamples + 1;
    const std::size_t averageAt = std::size_t(m.NumSamples);
    const struct {
        const char *name;
        const ContourView &view;
        const ResultGrid &grid;
        bool skipNonPositive;
        QString description;
    } bands[] = {
        { "bands_plume", m.PC, grids[std::size_t(plumeSample - 1)], false,
            QStringLiteral("Plume bands of ") + dateOrAverage(m, plumeSample) },
        { "bands_mindist", m.MD, grids[averageAt + 1], true,
            QStringLiteral("Bands of the distance to the nearest well") },
        { "bands_wolf", m.WF, grids[averageAt + 2], false, QStringLiteral("Bands of the WOLF factor") },
    };
    for (const auto &b : bands) {
        if (b.view.NumLevels < 1)
            continue;
        const std::vector<double> values = gridValues(m, g, b.grid);
        if (std::any_of(values.begin(), values.end(), [](double v) { return v != GisNoData; }))
            writeBands(*package, b.name, b.description, g, b.view, values, b.skipNonPositive, srs);
    }

    if (package->CommitTransaction() != OGRERR_NONE)
        cannotWrite(PackageName);
    package.reset();
    if (CPLGetLastErrorType() >= CE_Failure)
        cannotWrite(PackageName);
}

} // namespace qel::gis

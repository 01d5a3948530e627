#pragma once

// What the GIS export's grid files and its GeoPackage share: the model grid, the result grids and
// their values, and how a file that cannot be written is reported.

#include "map/gdal_support.h"

#include <QString>

#include <array>
#include <vector>

class OGRSpatialReference;

namespace qel {

struct ProjectModel;
class MemoryFolder;

namespace gis {

inline const QString PackageName = QStringLiteral("results.gpkg");

// The model grid: node (ix, iy) is the centre of cell (ix - 1, iy - 1), row 1 at the top.
struct GridGeometry {
    int nx = 0, ny = 0;
    double left = 0, top = 0, spacing = 0;

    std::array<double, 6> transform() const
    {
        return { left - spacing / 2, spacing, 0, top + spacing / 2, 0, -spacing };
    }
    double right() const { return left + (nx - 1) * spacing; }
    double bottom() const { return top - (ny - 1) * spacing; }
};

// A grid of the export; its values are taken from the model only when it is written, one grid per
// core at a time rather than all 63 copied first.
struct ResultGrid {
    enum class Kind { Concentration, MinDistance, Wolf };
    QString stem; // file name without its extension
    QString description;
    QString units;
    Kind kind = Kind::Concentration;
    int sample = 0; // of a concentration grid
};

// Row by row from the top, GisNoData where there is no value.
std::vector<double> gridValues(const ProjectModel &m, const GridGeometry &g, const ResultGrid &grid);

// Raises error 75 naming what could not be written, with GDAL's reason.
[[noreturn]] void cannotWrite(const QString &name);
GDALDriver &driver(const char *name);
// A one-band grid in memory with the geometry and coordinate system of the export.
GdalDatasetPtr memoryRaster(const GridGeometry &g, GDALDataType type, const OGRSpatialReference *srs);

// results.gpkg in folder, its layers as exportGridsForGis describes them; grids in the order of the
// export (the dates, the average, mindist, wolf).
void writePackage(MemoryFolder &folder, const ProjectModel &m, const GridGeometry &g,
    const std::vector<ResultGrid> &grids, const OGRSpatialReference *srs);

} // namespace gis
} // namespace qel

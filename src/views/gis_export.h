#pragma once

#include "core/session.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qel {

class MemoryFolder;

// The value written where a grid has no value. Every result grid is 0 or more, so a negative value
// can never be mistaken for a result.
constexpr double GisNoData = -9999;

// Writes the result grids of the last analytical run into dir (made when missing) for any GIS:
// plume_YYYY-MM-DD (a second date on the same day gets _2, a third _3, ...), plume_average, mindist
// and wolf, each as a GeoTIFF (.tif, Float64, DEFLATE) and an ESRI ASCII grid (.asc). Cell centres
// lie on the model-grid nodes, row 1 at the top; the coordinate system is the base map's when it
// carries one (a raster only when it is georeferenced, since a calibrated raster's coordinates are
// the user's, not the file's).
//
// Nodes without a value, written as GisNoData: none in the concentration grids (0 behind the source
// is a real concentration); every node of mindist and wolf when the project has no wells (the run
// then holds a "no well" placeholder distance, not a distance); and any value that is not finite.
//
// The same call writes results.gpkg: wells (point, id), source (point), plot_limits and model_grid
// (rectangles), wl_contours (the water-level contour lines the map shows, with their level), and
// for each contour view with levels its bands (bands_plume for the plume the map shows, else the
// average; bands_mindist; bands_wolf) as polygons of the nodes classified by level, lower bound
// exclusive, upper inclusive, the first matching level winning. A layer whose data is absent is
// left out. Every file replaces its old copy only once complete; no other file in dir is touched
// (an old .prj beside a grid written without a coordinate system stays, and the message names it).
// Returns whether everything was written; failures are reported under "GIS:exportGridsForGis".
//
// Before anything is written, the files of these names already in dir are listed; existing says
// what happens to them.
enum class ExistingGisFiles {
    Ask, // one question naming them all; No writes nothing and is no failure
    Refuse, // a batch run without --overwrite: an error, and nothing is written
    Replace, // the person or the command line already agreed
};
bool exportGridsForGis(Session &session, const QString &dir, ExistingGisFiles existing = ExistingGisFiles::Ask);

// The names of the files the export of m would write that dir already holds, in the order they
// are written.
QStringList existingGisFiles(const ProjectModel &m, const QString &dir);

// One grid of the model grid's nodes (values row by row from the top, GisNoData where there is no
// value) as the GeoTIFF stem.tif in folder, with the geotransform and coordinate system the export
// above gives its grids. Raises QelError when it cannot be written.
void writeGisGeoTiff(MemoryFolder &folder, const ProjectModel &m, const QString &stem, const QString &description,
    const QString &units, const std::vector<double> &values);

// File > Export grids for GIS: asks for the folder (the project folder first), then exports there,
// asking before it replaces files; a No goes back to the choice of folder. Returns whether
// everything was written; a cancelled choice writes nothing.
bool exportGisClicked(Session &session);

// One grid of values on the model-grid nodes (row by row from the top) as dir/stem.tif, exactly as
// the export writes its GeoTIFFs: the same grid, coordinate system, no-data value and compression.
// The file replaces an old copy only once complete; a failure raises error 75.
void writeModelGridGeoTiff(const ProjectModel &m, const QString &dir, const QString &stem, const QString &description,
    const QString &units, const std::vector<double> &values);

// Makes `qel --batch P --export-gis DIR [--overwrite]` available.
void registerGisBatchOutput();

} // namespace qel

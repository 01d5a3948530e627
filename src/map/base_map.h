#pragma once

#include "map/drawing.h"
#include "map/map_extents.h"

#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace qel {

// A base map as the map draws it: a raster image, or a vector drawing turned into entities.
struct BaseMap {
    enum class Kind { None, Raster, Vector };

    Kind kind = Kind::None;
    QString path;

    // Raster: the full size in pixels, and the image kept for drawing. pyramid[0] covers the
    // whole raster with at most MaxImageSide pixels a side; each further level has half the size.
    int rasterWidth = 0;
    int rasterHeight = 0;
    std::vector<QImage> pyramid;
    // Pixels to map units when the file carries its own georeferencing (GeoTIFF, world file).
    std::optional<PixelTransform> georeference;

    // Vector: the entities of drawing 1 and the extents of the drawing as read (not rounded).
    Drawing drawing;
    MapExtents extents;

    static constexpr int MaxImageSide = 4096;

    bool georeferenced() const { return georeference.has_value(); }
};

// Opens a raster image (bmp, tif, png, jpg and whatever else GDAL reads). A file that cannot be
// opened is a QelError naming the file and the reason.
BaseMap openRasterBaseMap(const QString &path);

// Opens a vector drawing (dxf, dwg, shp, GeoJSON, GeoPackage and the other OGR formats). Windows
// metafiles are refused with a message saying how to convert them.
BaseMap openVectorBaseMap(const QString &path);

} // namespace qel

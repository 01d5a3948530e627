#pragma once

#include "map/drawing.h"
#include "map/map_extents.h"

#include <QImage>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace qel {

class Progress;
struct RasterSource;

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

    // Raster larger than pyramid[0]: the open file, for reading the pixels of a view zoomed in
    // past that image at the detail it shows.
    std::shared_ptr<RasterSource> detail;

    static constexpr int MaxImageSide = 4096;

    bool georeferenced() const { return georeference.has_value(); }
    // Raster pixels read at a detail of their own, and the window of full-size pixels they cover.
    struct Detail {
        QImage image;
        QRect window;
    };
    // At least the pixels of window (in full-size pixels) at the detail that size gives it. The
    // last read is kept with a margin around the window, so a repaint or a short pan reads
    // nothing. A null image without a detail source or on a failed read.
    Detail detailImage(const QRect &window, const QSize &size) const;
};

// Opens a raster image (bmp, tif, png, jpg and whatever else GDAL reads). A file that cannot be
// opened is a QelError naming the file and the reason. With a progress, the pixels are read
// breathing and polling it; a cancel throws WorkCancelled.
BaseMap openRasterBaseMap(const QString &path, Progress *progress = nullptr);

// Opens a vector drawing (dxf, dwg, shp, GeoJSON, GeoPackage and the other OGR formats). A file
// GDAL does not read through within readLimit (the first form allows 5 s and a second per MB) is
// refused. The drawing is read once, on a thread of its own, while the caller waits breathing and
// polling the progress; a cancel throws WorkCancelled. Windows metafiles (.wmf) are read by the
// bounded reader of src/map/wmf_drawing.h instead, on the caller's thread.
BaseMap openVectorBaseMap(const QString &path, Progress *progress = nullptr);
BaseMap openVectorBaseMap(const QString &path, std::chrono::milliseconds readLimit, Progress *progress = nullptr);

// How many times a vector drawing has been opened with GDAL so far in this program.
int vectorDrawingOpens();

} // namespace qel

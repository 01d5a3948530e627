#pragma once

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class OGRSpatialReference;

namespace qel::test {

// A raster file as a GIS reads it through GDAL: band 1 as doubles, row by row from the top.
struct Raster {
    int nx = 0, ny = 0;
    std::array<double, 6> transform {};
    std::optional<double> noData;
    std::string crs; // the coordinate system's WKT, empty for none
    std::shared_ptr<const OGRSpatialReference> srs; // null for none
    std::vector<double> values;
};

// A test failure, and an empty raster, when GDAL cannot read it.
Raster readRaster(const QString &path);

} // namespace qel::test

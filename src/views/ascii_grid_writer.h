#pragma once

#include <QByteArray>

#include <array>
#include <optional>
#include <span>

class OGRSpatialReference;

namespace qel {

// The ESRI ASCII grid of a north-up Float64 grid with square cells, byte for byte as GDAL's AAIGrid
// driver writes it with SIGNIFICANT_DIGITS=17 (so that every value reads back as the same double):
// the header with the corner and cell size to 12 decimals, every value as printf's " %.17g", a
// ".0" after the first finite value that would otherwise read as an integer, LF line ends. GDAL
// prints value by value; here the rows are formatted in parallel into one buffer.
//
// transform is the grid's GDAL geotransform; values run row by row from the top. A grid GDAL
// would write otherwise (rotated, south-up, oblong cells, values not nx * ny) raises error 5.
QByteArray asciiGridText(int nx, int ny, const std::array<double, 6> &transform, std::optional<double> noData,
    std::span<const double> values);

// The .prj GDAL writes beside an ASCII grid in the coordinate system srs: its ESRI WKT.
QByteArray esriProjectionText(const OGRSpatialReference &srs);

} // namespace qel

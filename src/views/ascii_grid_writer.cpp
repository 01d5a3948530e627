#include "views/ascii_grid_writer.h"

#include "core/errors.h"
#include "parallel/worker_pool.h"

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace qel {

namespace {

// The longest " %.17g" is " -1.2345678901234567e-308".
constexpr std::size_t MaxValueText = 32;
// Rows formatted by one worker at a time: few enough items to keep the hand-out cheap, enough to
// keep every core busy to the end.
constexpr int RowsPerItem = 16;

// printf's "%.17g": std::to_chars gives the same correctly rounded digits and exponent form.
char *putValue(char *at, double v)
{
    *at++ = ' ';
    if (v == 0) { // most nodes of a plume; "-0" for negative zero, as printf
        if (std::signbit(v))
            *at++ = '-';
        *at++ = '0';
        return at;
    }
    return std::to_chars(at, at + MaxValueText - 1, v, std::chars_format::general, 17).ptr;
}

// printf's "%.12f" of the header lines.
void appendFixed12(QByteArray &out, double v)
{
    char text[400]; // DBL_MAX has 309 digits before the point
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 12).ptr;
    out.append(text, end - text);
}

void appendGeneral17(QByteArray &out, double v)
{
    char text[MaxValueText];
    out.append(text, putValue(text, v) - text);
}

} // namespace

QByteArray asciiGridText(int nx, int ny, const std::array<double, 6> &transform, std::optional<double> noData,
    std::span<const double> values)
{
    const auto &gt = transform;
    const bool squareCells = std::abs(gt[1] + gt[5]) < 0.0000001; // GDAL's own test for "cellsize"
    if (nx < 1 || ny < 1 || values.size() != std::size_t(nx) * std::size_t(ny) || gt[2] != 0 || gt[4] != 0
        || !(gt[5] < 0) || !squareCells)
        raise(ErrInvalidCall, QStringLiteral("an ASCII grid of %1 x %2 nodes").arg(nx).arg(ny));

    QByteArray header;
    header += "ncols        " + QByteArray::number(nx) + "\nnrows        " + QByteArray::number(ny);
    header += "\nxllcorner    ";
    appendFixed12(header, gt[0]);
    header += "\nyllcorner    ";
    appendFixed12(header, gt[3] + ny * gt[5]);
    header += "\ncellsize     ";
    appendFixed12(header, gt[1]);
    header += '\n';
    if (noData) {
        header += "NODATA_value ";
        appendGeneral17(header, *noData);
        header += '\n';
    }

    // A reader takes a grid whose every value looks like an integer for an integer grid, so the first
    // finite value carries a decimal point or exponent, ".0" added when it has neither.
    const auto firstFinite = std::find_if(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    const std::size_t marked = std::size_t(firstFinite - values.begin());

    const int items = (ny + RowsPerItem - 1) / RowsPerItem;
    std::vector<std::string> parts(static_cast<std::size_t>(items));
    forEachItem(items, [&](int item) {
        const int firstRow = item * RowsPerItem, endRow = std::min(ny, firstRow + RowsPerItem);
        std::string &text = parts[std::size_t(item)];
        text.resize(std::size_t(endRow - firstRow) * (std::size_t(nx) * MaxValueText + 1));
        char *at = text.data();
        for (int row = firstRow; row < endRow; ++row) {
            const std::size_t start = std::size_t(row) * std::size_t(nx);
            for (std::size_t i = start; i < start + std::size_t(nx); ++i) {
                char *const value = at;
                at = putValue(at, values[i]);
                if (i == marked && !std::memchr(value, '.', std::size_t(at - value))
                    && !std::memchr(value, 'e', std::size_t(at - value)))
                    at = std::copy_n(".0", 2, at);
            }
            *at++ = '\n';
        }
        text.resize(std::size_t(at - text.data()));
    });

    qsizetype size = header.size();
    for (const std::string &part : parts)
        size += qsizetype(part.size());
    QByteArray out;
    out.reserve(size);
    out += header;
    for (const std::string &part : parts)
        out.append(part.data(), qsizetype(part.size()));
    return out;
}

QByteArray esriProjectionText(const OGRSpatialReference &srs)
{
    OGRSpatialReference esri(srs);
    esri.morphToESRI();
    char *wkt = nullptr;
    esri.exportToWkt(&wkt);
    const QByteArray text(wkt ? wkt : "");
    CPLFree(wkt);
    return text;
}

} // namespace qel

#include "map/map_extents.h"

#include "core/errors.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qel {

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const double factor = std::pow(10.0, decimals);
    const double scaled = value * factor;
    if (!std::isfinite(scaled))
        return value;
    const double below = std::floor(scaled);
    const double fraction = scaled - below;
    // Scaling is inexact in binary: treat a fraction within a few ulps of one half as a half.
    const double tolerance = 4 * std::numeric_limits<double>::epsilon() * std::max(1.0, std::fabs(scaled));
    double rounded;
    if (std::fabs(fraction - 0.5) <= tolerance)
        rounded = std::fmod(below, 2.0) == 0 ? below : below + 1;
    else
        rounded = std::round(scaled);
    return rounded / factor;
}

int extentDecimals(double width)
{
    if (!(width > 0) || !std::isfinite(width))
        throw QelError(
            ErrInvalidCall, QStringLiteral("Invalid procedure call or argument: the map has no width (%1)").arg(width));
    const int n = int(roundHalfEven(std::log(width) / 2.303));
    // More than 15 decimals would exceed the precision of a double.
    return n < 5 ? std::min(4 - n, 15) : 0;
}

MapExtents roundMapExtents(const MapExtents &extents)
{
    const int d = extentDecimals(extents.width());
    return { roundHalfEven(extents.left, d), roundHalfEven(extents.bottom, d), roundHalfEven(extents.right, d),
        roundHalfEven(extents.top, d) };
}

double mapTextSize(const MapExtents &extents)
{
    return std::trunc(extents.height() / 60);
}

PixelTransform::PixelTransform(
    double px1, double py1, double x1, double y1, double px2, double py2, double x2, double y2)
    : m_px1(px1)
    , m_py1(py1)
    , m_x1(x1)
    , m_y1(y1)
    , m_px2(px2)
    , m_py2(py2)
    , m_x2(x2)
    , m_y2(y2)
{
    for (double v : { px1, py1, x1, y1, px2, py2, x2, y2 }) {
        if (!std::isfinite(v))
            throw QelError(ErrOverflow, QStringLiteral("Overflow: a calibration value is not a finite number"));
    }
    if (px2 == px1 || py2 == py1)
        throw QelError(
            ErrDivisionByZero, QStringLiteral("Division by zero: the two calibration pixels share a column or a row"));
    // A map axis collapsed to one value could never be turned back into pixels.
    if (x2 == x1 || y2 == y1)
        throw QelError(ErrInvalidCall,
            QStringLiteral("Invalid procedure call or argument: the two calibration points share a map x or y"));
}

QPointF PixelTransform::toMap(QPointF pixel) const
{
    return { m_x1 + (pixel.x() - m_px1) * (m_x2 - m_x1) / (m_px2 - m_px1),
        m_y1 + (pixel.y() - m_py1) * (m_y2 - m_y1) / (m_py2 - m_py1) };
}

QPointF PixelTransform::toPixel(QPointF map) const
{
    return { m_px1 + (map.x() - m_x1) * (m_px2 - m_px1) / (m_x2 - m_x1),
        m_py1 + (map.y() - m_y1) * (m_py2 - m_py1) / (m_y2 - m_y1) };
}

} // namespace qel

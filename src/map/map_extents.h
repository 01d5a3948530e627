#pragma once

#include <QPointF>
#include <QRectF>

namespace qel {

// Rounds to the given number of decimals; an exact half goes to the even neighbour.
double roundHalfEven(double value, int decimals = 0);

// The decimals map extents are kept to: n = ln(width) / 2.303 rounded half to even, then 4 - n
// when n < 5, else 0. A width that is not positive is error 5, as the logarithm of it would be.
int extentDecimals(double width);

struct MapExtents {
    double left = 0, bottom = 0, right = 0, top = 0;
    double width() const { return right - left; }
    double height() const { return top - bottom; }
    QRectF rect() const { return QRectF(QPointF(left, bottom), QPointF(right, top)); }
    friend bool operator==(const MapExtents &, const MapExtents &) = default;
};

// The four extents rounded to extentDecimals(right - left).
MapExtents roundMapExtents(const MapExtents &extents);

// The label height used on a map of these extents: the whole part of the height / 60.
double mapTextSize(const MapExtents &extents);

// Raster pixels to map units, each axis on its own, pixel rows counting downwards:
// x = x1 + (px - px1)(x2 - x1)/(px2 - px1), y = y1 + (py - py1)(y2 - y1)/(py2 - py1).
class PixelTransform {
public:
    // The identity, as (0, 0) -> (0, 0) and (1, 1) -> (1, 1).
    PixelTransform() = default;
    // Two pixels on the same column or row are error 11: the scale would divide by zero.
    PixelTransform(double px1, double py1, double x1, double y1, double px2, double py2, double x2, double y2);

    QPointF toMap(QPointF pixel) const;
    QPointF toPixel(QPointF map) const;
    // Map units per pixel along each axis; y is negative when map y grows upwards.
    double scaleX() const { return (m_x2 - m_x1) / (m_px2 - m_px1); }
    double scaleY() const { return (m_y2 - m_y1) / (m_py2 - m_py1); }
    bool isIdentity() const { return toMap({ 0, 0 }) == QPointF(0, 0) && scaleX() == 1 && scaleY() == 1; }

private:
    // The two anchors are kept as given so that toMap evaluates the formula above term by term.
    double m_px1 = 0, m_py1 = 0, m_x1 = 0, m_y1 = 0, m_px2 = 1, m_py2 = 1, m_x2 = 1, m_y2 = 1;
};

} // namespace qel

#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QTransform>

class QPainter;

namespace qel {

class DrawingComponent;

// Map units to device pixels for a view: the whole view rectangle fits the device rectangle at
// one scale for both axes, centred. Map y grows upwards on the device unless yDown, the case of
// an uncalibrated raster whose pixel rows count downwards.
class MapViewTransform {
public:
    MapViewTransform() = default;
    MapViewTransform(const QRectF &view, const QRectF &device, bool yDown = false);

    QPointF toDevice(QPointF map) const { return m_toDevice.map(map); }
    QPointF toMap(QPointF device) const { return m_toMap.map(device); }
    double scale() const { return m_scale; } // device pixels per map unit
    bool yDown() const { return m_yDown; }
    const QRectF &device() const { return m_device; }
    // The map area the device rectangle shows (at least the view, more along one axis).
    QRectF visibleMap() const;
    const QTransform &transform() const { return m_toDevice; }

private:
    QTransform m_toDevice, m_toMap;
    QRectF m_device;
    double m_scale = 1;
    bool m_yDown = false;
};

struct RenderOptions {
    QColor background = Qt::white;
    bool antialias = true;
    // Line widths and point marks are given in pixels of a 96 dpi screen; a printer scales them.
    double lineWidthScale = 1;
};

// Whether the map's y axis points down the screen: a raster whose pixel-to-map transformation
// keeps rows counting downwards, as before calibration.
bool mapYDown(const DrawingComponent &component);

// The view that shows everything on the map; a small margin is added around it.
QRectF fullView(const DrawingComponent &component);

// Paints the base map, then the shown result drawings in the order they were loaded, the wells
// last and outlined.
void renderMap(QPainter &painter, const DrawingComponent &component, const MapViewTransform &view,
    const RenderOptions &options = {});

// The map as an image of the given size showing the view rectangle.
QImage renderMapImage(
    const DrawingComponent &component, const QRectF &view, QSize size, const RenderOptions &options = {});

} // namespace qel

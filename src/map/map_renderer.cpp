#include "map/map_renderer.h"

#include "map/color_table.h"
#include "map/drawing_component.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <optional>

namespace qel {

MapViewTransform::MapViewTransform(const QRectF &view, const QRectF &device, bool yDown)
    : m_device(device)
    , m_yDown(yDown)
{
    const QRectF v = view.normalized();
    const double w = v.width() > 0 ? v.width() : (v.height() > 0 ? v.height() : 1);
    const double h = v.height() > 0 ? v.height() : w;
    m_scale = std::min(device.width() / w, device.height() / h);
    if (!(m_scale > 0) || !std::isfinite(m_scale))
        m_scale = 1;
    const QPointF c = v.center();
    const double sy = yDown ? m_scale : -m_scale;
    // device = device centre + (map - view centre) * (scale, sy)
    m_toDevice = QTransform(m_scale, 0, 0, sy, device.center().x() - c.x() * m_scale, device.center().y() - c.y() * sy);
    m_toMap = m_toDevice.inverted();
}

QRectF MapViewTransform::visibleMap() const
{
    return QRectF(toMap(m_device.topLeft()), toMap(m_device.bottomRight())).normalized();
}

bool mapYDown(const DrawingComponent &component)
{
    return component.hasRaster() && component.pixelToMap().scaleY() > 0;
}

QRectF fullView(const DrawingComponent &component)
{
    const QRectF r = component.shownExtents();
    const double size = std::max(r.width(), r.height());
    if (!(size > 0))
        return QRectF(r.center() - QPointF(0.5, 0.5), QSizeF(1, 1));
    const double m = 0.02 * size;
    return r.adjusted(-m, -m, m, m);
}

namespace {

// QRectF::intersects refuses boxes of no width or height, which every horizontal or vertical
// line has; the closed-interval test keeps them.
bool overlaps(const QRectF &a, const QRectF &b)
{
    return b.left() <= a.right() && b.right() >= a.left() && b.top() <= a.bottom() && b.bottom() >= a.top();
}

class Painter {
public:
    Painter(QPainter &p, const MapViewTransform &view, const RenderOptions &options)
        : m_p(p)
        , m_view(view)
        , m_options(options)
    {
        const QRectF visible = view.visibleMap();
        // Entities reaching just outside the view still draw their visible part.
        const double m = 0.01 * std::max(visible.width(), visible.height());
        m_cull = visible.adjusted(-m, -m, m, m);
    }

    void raster(const DrawingComponent &c)
    {
        const BaseMap &base = c.baseMap();
        if (base.pyramid.empty())
            return;
        const PixelTransform &t = c.pixelToMap();
        // Raster pixel -> device is a scale and offset per axis.
        const QPointF d0 = m_view.toDevice(t.toMap({ 0, 0 }));
        const QPointF d1 = m_view.toDevice(t.toMap({ double(base.rasterWidth), double(base.rasterHeight) }));
        const double ax = (d1.x() - d0.x()) / base.rasterWidth, ay = (d1.y() - d0.y()) / base.rasterHeight;
        const QRectF onDevice = QRectF(d0, d1).normalized();
        const QRectF target = onDevice.intersected(m_view.device());
        if (target.isEmpty())
            return;
        // The smallest copy that still has a pixel for every device pixel.
        std::size_t level = 0;
        while (level + 1 < base.pyramid.size() && base.pyramid[level + 1].width() >= onDevice.width()
            && base.pyramid[level + 1].height() >= onDevice.height())
            ++level;
        const QImage &image = base.pyramid[level];
        if (level == 0 && ax > 0 && ay > 0 && detail(base, d0, ax, ay, target, image))
            return;
        const double kx = double(image.width()) / base.rasterWidth, ky = double(image.height()) / base.rasterHeight;
        // device -> image pixel
        auto toImage = [&](QPointF d) { return QPointF((d.x() - d0.x()) / ax * kx, (d.y() - d0.y()) / ay * ky); };
        m_p.save();
        m_p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (ax > 0 && ay > 0) {
            const QRectF source = QRectF(toImage(target.topLeft()), toImage(target.bottomRight())).normalized();
            m_p.drawImage(target, image, source);
        } else {
            // A mirrored axis: let the painter flip the image.
            m_p.setClipRect(target);
            m_p.setTransform(QTransform(ax / kx, 0, 0, ay / ky, d0.x(), d0.y()));
            m_p.drawImage(QPointF(0, 0), image);
        }
        m_p.restore();
    }

    // Zoomed in past the first image of a large raster: the visible pixels read at the detail the
    // view shows (at most one raster pixel per device pixel). False when the first image will do.
    bool detail(const BaseMap &base, QPointF d0, double ax, double ay, const QRectF &target, const QImage &first)
    {
        if (!base.detail || ax <= double(first.width()) / base.rasterWidth)
            return false;
        const QRect window = QRectF(QPointF((target.left() - d0.x()) / ax, (target.top() - d0.y()) / ay),
            QPointF((target.right() - d0.x()) / ax, (target.bottom() - d0.y()) / ay))
                                 .toAlignedRect()
                                 .intersected(QRect(0, 0, base.rasterWidth, base.rasterHeight));
        const auto onDevice = [&](const QRect &w) {
            return QRectF(d0.x() + w.left() * ax, d0.y() + w.top() * ay, w.width() * ax, w.height() * ay);
        };
        const QRectF shown = onDevice(window);
        const QSize size(std::clamp(int(std::ceil(shown.width())), 1, window.width()),
            std::clamp(int(std::ceil(shown.height())), 1, window.height()));
        const BaseMap::Detail read = base.detailImage(window, size);
        if (read.image.isNull())
            return false;
        m_p.save();
        m_p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        m_p.setClipRect(target);
        m_p.drawImage(onDevice(read.window), read.image);
        m_p.restore();
        return true;
    }

    // halo: each entity is drawn over an outline HaloWidth pixels wider on each side, in white or
    // black, whichever stands out more from the entity's colour, so that it reads on any colour.
    void drawing(const Drawing &d, bool halo = false)
    {
        for (const Entity &e : d.entities) {
            if (e.points.empty())
                continue;
            const QColor color = e.rgb ? QColor::fromRgb(*e.rgb) : colorOfIndex(d.colorIndexOf(e));
            const std::optional<QColor> outline = halo ? std::optional(haloColor(color)) : std::nullopt;
            if (e.kind == EntityKind::Text) {
                text(d, e, color, outline);
                continue;
            }
            if (!overlaps(m_cull, e.bounds()))
                continue;
            if (outline) {
                setPen(*outline, e.lineWidth, 2 * HaloWidth);
                shape(e, *outline, HaloWidth);
            }
            setPen(color, e.lineWidth);
            shape(e, color, 0);
        }
    }

private:
    static constexpr double HaloWidth = 2;

    static QColor haloColor(const QColor &color)
    {
        // Relative luminance: white would contrast less than black from about 0.18 upwards.
        const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        const double l
            = 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
        return l < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    }

    void shape(const Entity &e, const QColor &color, double grow)
    {
        switch (e.kind) {
        case EntityKind::Line: line(e); break;
        case EntityKind::Point: point(e, color, grow); break;
        case EntityKind::Circle: circle(e); break;
        case EntityKind::Text: break;
        }
    }

    void setPen(const QColor &color, double width, double wider = 0)
    {
        const double w = (std::max(1.0, width) + wider) * m_options.lineWidthScale;
        if (m_penSet && color == m_penColor && w == m_penWidth)
            return;
        QPen pen(color, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        m_p.setPen(pen);
        m_p.setBrush(Qt::NoBrush);
        m_penColor = color;
        m_penWidth = w;
        m_penSet = true;
    }

    void line(const Entity &e)
    {
        m_points.resize(e.points.size());
        for (std::size_t i = 0; i < e.points.size(); ++i)
            m_points[i] = m_view.toDevice(e.points[i]);
        m_p.drawPolyline(m_points.data(), int(m_points.size()));
    }

    void point(const Entity &e, const QColor &color, double grow)
    {
        const double r = (std::max(1.5, e.lineWidth) + grow) * m_options.lineWidthScale;
        m_p.save();
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(color);
        m_p.drawEllipse(m_view.toDevice(e.points[0]), r, r);
        m_p.restore();
    }

    void circle(const Entity &e)
    {
        const double r = e.radius * m_view.scale();
        m_p.drawEllipse(m_view.toDevice(e.points[0]), r, r);
    }

    void text(const Drawing &d, const Entity &e, const QColor &color, const std::optional<QColor> &outline)
    {
        const double height = e.height * m_view.scale();
        // Text smaller than half a pixel cannot be read; text far off the view cannot be seen.
        if (height < 0.5 || e.text.isEmpty())
            return;
        const QPointF anchor = m_view.toDevice(e.points[0]);
        const double reach = height * (4 + e.text.size() * e.widthFactor);
        if (!m_view.device().adjusted(-reach, -reach, reach, reach).contains(anchor))
            return;
        const TextStyle *style = d.findTextStyle(e.style);
        QFont font(style ? style->font : QStringLiteral("Arial"));
        // Laid out large and scaled down, so that tiny and huge texts keep their proportions.
        font.setPixelSize(100);
        font.setWeight(QFont::Weight(std::clamp(style ? style->weight : 400, 1, 1000)));
        const QFontMetricsF metrics(font);
        double cap = metrics.capHeight();
        if (!(cap > 0))
            cap = metrics.ascent() * 0.7;
        const double width = metrics.horizontalAdvance(e.text);
        double dx = 0, dy = 0;
        switch (e.justification.horizontal) {
        case Justification::H::Left: dx = 0; break;
        case Justification::H::Centre: dx = -width / 2; break;
        case Justification::H::Right: dx = -width; break;
        }
        switch (e.justification.vertical) {
        case Justification::V::Top: dy = cap; break;
        case Justification::V::Middle: dy = cap / 2; break;
        case Justification::V::Baseline: dy = 0; break;
        case Justification::V::Bottom: dy = -metrics.descent(); break;
        }
        const double k = height / cap;
        m_p.save();
        m_p.translate(anchor);
        m_p.rotate(m_view.yDown() ? e.rotation : -e.rotation);
        m_p.scale(k * e.widthFactor, k);
        if (outline) {
            // Stroked and filled from one path, so that the outline sits exactly round the glyphs.
            QPainterPath path;
            path.addText(QPointF(dx, dy), font, e.text);
            QPen pen(*outline, 2 * HaloWidth * m_options.lineWidthScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            pen.setCosmetic(true);
            m_p.strokePath(path, pen);
            m_p.fillPath(path, color);
        } else {
            m_p.setFont(font);
            m_p.setPen(color);
            m_p.drawText(QPointF(dx, dy), e.text);
        }
        m_p.restore();
        m_penSet = false;
    }

    QPainter &m_p;
    const MapViewTransform &m_view;
    const RenderOptions &m_options;
    QRectF m_cull;
    std::vector<QPointF> m_points;
    QColor m_penColor;
    double m_penWidth = 0;
    bool m_penSet = false;
};

} // namespace

void renderMap(
    QPainter &painter, const DrawingComponent &component, const MapViewTransform &view, const RenderOptions &options)
{
    painter.save();
    painter.setClipRect(view.device());
    painter.fillRect(view.device(), options.background);
    painter.setRenderHint(QPainter::Antialiasing, options.antialias);
    painter.setRenderHint(QPainter::TextAntialiasing, options.antialias);
    Painter p(painter, view, options);
    p.raster(component);
    p.drawing(component.drawing(BaseDrawing));
    // The wells go over every other layer, so that a plume or band never hides them.
    const Drawing *wells = nullptr;
    for (const Drawing *d : component.shownOverlays()) {
        if (d->number == WellsDrawing)
            wells = d;
        else
            p.drawing(*d);
    }
    if (wells)
        p.drawing(*wells, true);
    painter.restore();
}

QImage renderMapImage(const DrawingComponent &component, const QRectF &view, QSize size, const RenderOptions &options)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(options.background);
    QPainter painter(&image);
    renderMap(
        painter, component, MapViewTransform(view, QRectF(QPointF(0, 0), QSizeF(size)), mapYDown(component)), options);
    painter.end();
    return image;
}

} // namespace qel

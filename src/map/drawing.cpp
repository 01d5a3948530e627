#include "map/drawing.h"

#include "map/color_table.h"

#include <algorithm>

namespace qel {

bool isDrawingNumber(int number)
{
    return number == 1 || (number >= 3 && number <= 12);
}

std::optional<Justification> Justification::parse(const QString &code)
{
    const QString c = code.trimmed().toUpper();
    if (c.isEmpty() || c.size() > 2)
        return std::nullopt;
    Justification j;
    switch (c[0].unicode()) {
    case 'L': j.horizontal = H::Left; break;
    case 'C': j.horizontal = H::Centre; break;
    case 'R': j.horizontal = H::Right; break;
    default: return std::nullopt;
    }
    if (c.size() == 1)
        return j;
    switch (c[1].unicode()) {
    case 'T': j.vertical = V::Top; break;
    case 'M': j.vertical = V::Middle; break;
    case 'B': j.vertical = V::Bottom; break;
    default: return std::nullopt;
    }
    return j;
}

QString Justification::code() const
{
    QString c = horizontal == H::Left ? QStringLiteral("L")
        : horizontal == H::Centre     ? QStringLiteral("C")
                                      : QStringLiteral("R");
    switch (vertical) {
    case V::Top: c += u'T'; break;
    case V::Middle: c += u'M'; break;
    case V::Bottom: c += u'B'; break;
    case V::Baseline: break;
    }
    return c;
}

QRectF Entity::bounds() const
{
    if (points.empty())
        return {};
    double x0 = points[0].x(), x1 = x0, y0 = points[0].y(), y1 = y0;
    for (const QPointF &p : points) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    if (kind == EntityKind::Circle) {
        x0 -= radius;
        x1 += radius;
        y0 -= radius;
        y1 += radius;
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

bool Entity::sameContent(const Entity &o) const
{
    return kind == o.kind && tag == o.tag && points == o.points && radius == o.radius && text == o.text
        && justification == o.justification && height == o.height && widthFactor == o.widthFactor
        && rotation == o.rotation && style == o.style && lineWidth == o.lineWidth && color == o.color && rgb == o.rgb
        && layer == o.layer;
}

const DrawingLayer *Drawing::findLayer(const QString &name) const
{
    for (const DrawingLayer &layer : layers) {
        if (layer.name.compare(name, Qt::CaseInsensitive) == 0)
            return &layer;
    }
    return nullptr;
}

const TextStyle *Drawing::findTextStyle(const QString &name) const
{
    for (const TextStyle &style : textStyles) {
        if (style.name.compare(name, Qt::CaseInsensitive) == 0)
            return &style;
    }
    return nullptr;
}

int Drawing::colorIndexOf(const Entity &entity) const
{
    if (isColorIndex(entity.color))
        return entity.color;
    const DrawingLayer *layer = findLayer(entity.layer);
    return layer && isColorIndex(layer->color) ? layer->color : BlackColorIndex;
}

QRectF Drawing::bounds() const
{
    // QRectF::united drops empty rectangles, and a point's bounds are empty: accumulate by hand.
    bool any = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const Entity &entity : entities) {
        if (entity.points.empty())
            continue;
        const QRectF b = entity.bounds();
        if (!any) {
            x0 = b.left(), y0 = b.top(), x1 = b.right(), y1 = b.bottom();
            any = true;
            continue;
        }
        x0 = std::min(x0, b.left());
        y0 = std::min(y0, b.top());
        x1 = std::max(x1, b.right());
        y1 = std::max(y1, b.bottom());
    }
    return any ? QRectF(QPointF(x0, y0), QPointF(x1, y1)) : QRectF();
}

} // namespace qel

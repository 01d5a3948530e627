#include "gui/workbench/child_placement.h"

#include <algorithm>

namespace qel::gui {

QRect fitInside(const QRect &frame, const QRect &bounds)
{
    const QSize size = frame.size().boundedTo(bounds.size());
    const int left = std::clamp(frame.left(), bounds.left(), bounds.left() + bounds.width() - size.width());
    const int top = std::clamp(frame.top(), bounds.top(), bounds.top() + bounds.height() - size.height());
    return QRect(QPoint(left, top), size);
}

CascadePlace cascadePlace(int index, const QSize &size, const QRect &free, const QRect &area, int step)
{
    const QPoint start = fitInside(QRect(free.topLeft(), size), area).topLeft();
    const QPoint shifted = start + QPoint(step, step) * index;
    // While there is room one way, the windows still step along the other: every title stays in view.
    const bool roomRight = shifted.x() + size.width() <= area.left() + area.width();
    const bool roomDown = shifted.y() + size.height() <= area.top() + area.height();
    if (index > 0 && !roomRight && !roomDown)
        return { start, true };
    return { fitInside(QRect(shifted, size), area).topLeft(), false };
}

QPoint DialogPlaces::open(const QString &name, const QSize &size, const QRect &centre, const QRect &bounds)
{
    Place &place = m_places[name];
    QRect frame(QPoint(), size);
    if (place.left)
        frame.moveTopLeft(*place.left);
    else
        frame.moveTopLeft(
            centre.topLeft() + QPoint((centre.width() - size.width()) / 2, (centre.height() - size.height()) / 2));
    place.placed = fitInside(frame, bounds).topLeft();
    return place.placed;
}

void DialogPlaces::closed(const QString &name, const QPoint &at)
{
    const auto found = m_places.find(name);
    if (found != m_places.end() && found->placed != at)
        found->left = at;
}

std::optional<QPoint> DialogPlaces::left(const QString &name) const
{
    const auto found = m_places.find(name);
    return found != m_places.end() ? found->left : std::nullopt;
}

} // namespace qel::gui

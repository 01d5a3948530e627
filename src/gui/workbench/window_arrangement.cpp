#include "gui/workbench/window_arrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace qel::gui {

namespace {

// The windows that take part in tiling: shown and not minimised, in their stacking order.
QList<QMdiSubWindow *> tileable(QMdiArea *area)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : area->subWindowList(QMdiArea::CreationOrder))
        if (window->isVisible() && !window->isMinimized())
            windows << window;
    return windows;
}

void tile(QMdiArea *area, bool rows)
{
    const QList<QMdiSubWindow *> windows = tileable(area);
    if (windows.isEmpty())
        return;
    const QRect space = area->viewport()->rect();
    const int count = int(windows.size());
    const int extent = rows ? space.height() : space.width();
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *window = windows[i];
        if (window->isMaximized())
            window->showNormal();
        // Spread the remainder so the windows fill the area exactly.
        const int start = extent * i / count;
        const int end = extent * (i + 1) / count;
        window->setGeometry(rows ? QRect(space.left(), space.top() + start, space.width(), end - start)
                                 : QRect(space.left() + start, space.top(), end - start, space.height()));
    }
}

} // namespace

void tileHorizontal(QMdiArea *area)
{
    tile(area, true);
}

void tileVertical(QMdiArea *area)
{
    tile(area, false);
}

void arrangeIcons(QMdiArea *area)
{
    const QRect space = area->viewport()->rect();
    int x = space.left();
    int y = space.bottom();
    for (QMdiSubWindow *window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > space.left() && x + size.width() > space.right()) {
            x = space.left();
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}

} // namespace qel::gui

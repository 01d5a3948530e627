#include "gui/views/results_grid.h"

#include <QScrollBar>

#include <algorithm>

namespace qel::gui {

ResultsGrid::ResultsGrid(QWidget *parent)
    : QTableWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Its columns are wide: a step of a whole column would jump past what is read.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void ResultsGrid::setContentSize(int width, int height, int narrowest)
{
    m_width = width;
    m_height = height;
    m_narrowest = narrowest;
    // Wider than its columns it would only show an empty strip.
    setMaximumWidth(width);
    fitHeight();
    updateGeometry();
}

QSize ResultsGrid::sizeHint() const
{
    return { m_width, m_height };
}

QSize ResultsGrid::minimumSizeHint() const
{
    return { std::min(m_narrowest, m_width), m_height };
}

void ResultsGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    fitHeight();
}

void ResultsGrid::showEvent(QShowEvent *event)
{
    QTableWidget::showEvent(event);
    fitHeight();
}

void ResultsGrid::fitHeight()
{
    // The horizontal scroll bar appears when the table is narrower than its columns; without room
    // of its own it would cover the last row. A table not shown yet has no width of its own.
    const bool scrolls = isVisible() && width() < m_width;
    const int height = m_height + (scrolls ? horizontalScrollBar()->sizeHint().height() : 0);
    if (minimumHeight() != height || maximumHeight() != height)
        setFixedHeight(height);
}

} // namespace qel::gui

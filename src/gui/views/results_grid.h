#pragma once

#include <QTableWidget>

namespace qel::gui {

// A table that asks for the room its columns take and scrolls sideways when its window cannot
// give it that much; its rows stay in view either way, the scroll bar gets a height of its own.
class ResultsGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ResultsGrid(QWidget *parent = nullptr);

    // width: what every column takes, frame and vertical scroll bar included; height: what the
    // header and the rows in view take; narrowest: the least width worth scrolling in.
    void setContentSize(int width, int height, int narrowest);
    // Columns added or taken away: the same rows.
    void setContentWidth(int width) { setContentSize(width, m_height, m_narrowest); }
    int contentWidth() const { return m_width; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fitHeight();

    int m_width = 0, m_height = 0, m_narrowest = 0;
};

} // namespace qel::gui

#pragma once

#include "gui/common/child_form.h"
#include "gui/workbench/window_factories.h"
#include "views/water_level_contours.h"

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace qel::gui {

class DirectionRose;
class ResultsGrid;

// frmRegRes: the regression results of every sample date in a table, and the water-level
// contours of the selected date on the map. The window lays out WaterLevelContoursForm and
// forwards every edit and click to it; the rules are the core's.
class RegressionResultsWindow : public ChildForm {
    Q_OBJECT
public:
    explicit RegressionResultsWindow(Session &session, QWidget *parent = nullptr);

    const WaterLevelContoursForm &form() const { return m_form; }

    // A column's width on this screen from its width in twips (1/1440 inch).
    int twipsToPixels(int twips) const;
    // The column's classic width on this screen, widened to its header and its longest entry.
    int columnWidth(const ResultsTable &table, int column) const;

    // The role of a cell's unrounded text.
    static constexpr int FullTextRole = Qt::UserRole;
    // The selected date's row in full, the columns separated by tabs: what Copy takes.
    QString selectedResults() const;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Close: the line width is taken, the step checked when contours are on the map.
    bool closeProcedure() override;

private:
    void Form_Load();
    void InitializeGrid();
    // The 95 % intervals of every date's gradient and direction, while chkIntervals is ticked: two
    // columns after the regression's own, and the rose. The window grows for them and shrinks back.
    void showIntervals(bool on);
    void addIntervalColumns();
    // The frame in the document area, or the window itself standing alone; null while maximised
    // or minimised.
    QWidget *resizableWindow();
    // Resizes that window, kept inside the visible part of the document area (or the screen) and
    // never below what its controls need.
    void resizeWindow(QSize size);

    void txtWLContInt_Change(int index, const QString &text);
    void MSFlexGrid1_RowColChange(int row);
    void MSFlexGrid1_Click();
    void cmdShowContour_Click();
    void cmdClearContours_Click();

    WaterLevelContoursForm m_form;
    // True while the window fills its own controls: their signals are not the person's.
    bool m_filling = false;

    std::array<QLineEdit *, 4> m_boxes {};
    ResultsGrid *m_grid = nullptr;
    QCheckBox *m_chkAutoShow = nullptr;
    QCheckBox *m_chkIntervals = nullptr;
    DirectionRose *m_rose = nullptr;
    int m_fitColumns = 0, m_fitWidth = 0; // the table without the interval columns
    std::optional<QSize> m_sizeWithoutIntervals; // given back when the intervals go
};

// The factory the workbench opens the window with.
WindowFactories::FormFactory waterLevelContoursFactory();

} // namespace qel::gui

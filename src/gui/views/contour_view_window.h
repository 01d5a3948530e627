#pragma once

#include "gui/common/child_form.h"
#include "gui/map/color_picker.h"
#include "gui/workbench/window_factories.h"
#include "views/contour_view.h"

#include <QPointer>

#include <array>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qel::gui {

class MainWindow;

// frmPlumeSpect, frmMinDist and frmWOLF: the three contour views, one window over
// ContourViewLogic made for its kind. The window lays out the logic's texts and forwards every
// edit and click; the rules are the logic's.
class ContourViewWindow : public ChildForm, public ColorPickTarget {
    Q_OBJECT
public:
    // main: where the colour picker and the map window open; without it the picker opens as a
    // window of its own.
    ContourViewWindow(Session &session, ContourKind kind, MainWindow *main = nullptr);
    ~ContourViewWindow() override;

    ContourViewLogic &logic() { return m_logic; }
    // The edit box laid over a table cell while it is edited.
    QLineEdit *cellEditor() const { return m_Text1; }

    int lastClickedColumn() const override { return m_lastClickedColumn; }
    void setPickedColor(int colorIndex, std::uint32_t color) override;

    // "frmPlumeSpect", "frmMinDist", "frmWOLF".
    static QString formName(ContourKind kind);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Close: the input still open is taken, the step checked in the outline.
    bool closeProcedure() override;

private:
    using Box = ContourViewLogic::Box;

    void Form_Load();
    void InitializeGrid();
    void showBoxes();
    void showRows();
    // The bounds' texts again, after an edit moved the bound of a neighbouring band too.
    void showBounds();
    // A brief frame on the map where Locate put the legend.
    void highlightPlacedLegend();
    void showSwatch(int row, QColor color);

    bool validateBox(Box box);
    // A box left by a button's shortcut, or a cell edit still open, is taken first. False when
    // the person was just told to change what they typed.
    bool takePendingInput();
    int boxOf(const QObject *object) const;

    void chkUseLog_Click(bool ticked);
    void cmdGenerate_Click();
    void cmdShowContour_Click();
    void cmdClearContours_Click();
    void cmdLegend_Click();
    void cmdExport_Click();

    // The table's edit box: start (key: the typed character, or a space for double-click and
    // F2), commit into the current cell, or hide without committing.
    void GridEdit(const QString &key);
    bool commitEdit();
    void cancelEdit();
    bool gridKeyPress(QKeyEvent *event);
    bool editKeyPress(QKeyEvent *event);
    void SelectColor();

    ContourViewLogic m_logic;
    QPointer<MainWindow> m_main;
    QString m_colorCaller;
    // True while the window fills its own controls: their signals are not the person's.
    bool m_filling = false;
    bool m_committing = false;
    // The cell under the edit box (table row and column); row -1 while no edit is open.
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_lastClickedColumn = -1;
    // The cell text whose commit failed last; null when none did.
    QString m_refusedText;

    std::array<QLineEdit *, 4> m_boxes {};
    std::array<bool, 4> m_edited {};
    QLabel *m_lblMin = nullptr;
    QLabel *m_lblMax = nullptr;
    QComboBox *m_cboDate = nullptr;
    QCheckBox *m_chkUseLog = nullptr;
    QCheckBox *m_chkLegend = nullptr;
    QTableWidget *m_grid = nullptr;
    QLineEdit *m_Text1 = nullptr;
    QPushButton *m_cmdLegend = nullptr;
};

// The factory the workbench opens a contour view with; the parent is the main window.
WindowFactories::FormFactory contourViewFactory(ContourKind kind);

} // namespace qel::gui

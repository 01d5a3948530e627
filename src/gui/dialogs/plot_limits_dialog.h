#pragma once

#include "core/plot_limits_rules.h"
#include "gui/common/child_form.h"

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace qel::gui {

// frmPlotLmts: map extents, plot limits of the water-level contours and the model grid, one tab
// each. Every box is checked as the person leaves it and an accepted value is stored at once; a
// refused value is marked and keeps the focus. OK and "Draw Limits on Map" wait for a consistent
// set.
class PlotLimitsDialog : public ChildForm {
    Q_OBJECT
public:
    explicit PlotLimitsDialog(Session &session, QWidget *parent = nullptr);

    // Called with the help-context number when Help is pressed; nothing happens while unset.
    void setHelpHook(std::function<void(int)> hook) { m_helpHook = std::move(hook); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The frame's close: the box being left is checked and stored; a refused value keeps the
    // dialog open. Only OK marks the step done.
    bool closeProcedure() override { return boxesSettled(); }

private:
    void Form_Load();
    bool txtBox_Validate(PlotBox box);
    void chkSameLimits_Click(bool on);
    void cmdOK_Click();
    void cmdMapLimits_Click();
    void cmdHelp_Click();

    QWidget *edgePage(const std::array<PlotBox, 4> &edges, const QString &heading);
    QLineEdit *addBox(PlotBox box, QWidget *parent);
    // Puts the rules' view of the boxes, check box and buttons into the controls.
    void showForm();
    // Whether the person may act on another control: the box holding the focus is checked first,
    // and a box still holding a refused value takes the focus back.
    bool boxesSettled();
    void keepFocus(PlotBox box);

    QLineEdit *box(PlotBox box) const { return m_txt[static_cast<std::size_t>(box)]; }
    int boxIndex(const QObject *object) const;
    void markBox(PlotBox box, bool refused);
    bool isMarked(PlotBox box) const;

    PlotLimitsForm m_form;
    std::array<QLineEdit *, NumPlotBoxes> m_txt {};
    QTabWidget *m_tabs = nullptr;
    QCheckBox *m_chkSameLimits = nullptr;
    QLabel *m_lblGridSpacingUnit = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdMapLimits = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    // "Code" while the dialog fills its own controls, "User" otherwise.
    QString m_EventSource = QStringLiteral("User");
    std::function<void(int)> m_helpHook;
};

} // namespace qel::gui

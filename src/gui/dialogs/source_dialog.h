#pragma once

#include "gui/common/child_form.h"
#include "views/source_rules.h"

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qel::gui {

// frmSource: the centre of the contaminant source, picked on the map or typed. Each box is checked
// as the person leaves it; a refused value keeps the focus.
class SourceDialog : public ChildForm {
    Q_OBJECT
public:
    explicit SourceDialog(Session &session, QWidget *parent = nullptr);

    // Called with the help-context number when Help is pressed; nothing happens while unset.
    void setHelpHook(std::function<void(int)> hook) { m_helpHook = std::move(hook); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Close: the box being left is checked, "Source location" checked in the outline.
    bool closeProcedure() override;

private:
    void Form_Load();
    bool txtXsource_Validate();
    bool txtYsource_Validate();
    bool txtRoundXY_Validate();
    void chkRoundXY_Click(bool on);
    void cmdSelectSource_Click();
    void cmdMapSource_Click();
    void cmdHelp_Click();

    bool validateCoordinate(SourceAxis axis);
    // Runs the check of the box the person is leaving; false when it was refused.
    bool validateBox(QObject *box);
    // Marks the box and gives it the focus back.
    void refuse(QLineEdit *box);
    QLineEdit *refusedBox() const;
    void showBoxes(const std::optional<SourceBoxTexts> &boxes);
    void setRoundingChecked(bool on);

    QLineEdit *m_txtXsource = nullptr;
    QLineEdit *m_txtYsource = nullptr;
    QLabel *m_lblDistUnits = nullptr;
    QCheckBox *m_chkRoundXY = nullptr;
    QLineEdit *m_txtRoundXY = nullptr;
    QLabel *m_lblRoundUnits = nullptr;
    QPushButton *m_cmdSelectSource = nullptr;
    QPushButton *m_cmdMapSource = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    SourcePick m_pick;
    // "Code" while the dialog fills its own controls, "User" otherwise.
    QString m_EventSource = QStringLiteral("User");
    std::function<void(int)> m_helpHook;
};

} // namespace qel::gui

#pragma once

#include "core/units_rules.h"
#include "gui/common/child_form.h"

#include <array>
#include <functional>

class QComboBox;
class QPushButton;

namespace qel::gui {

// frmUnits: the distance, time and concentration units of the project. Close is offered once
// all three are chosen.
class UnitsDialog : public ChildForm {
    Q_OBJECT
public:
    explicit UnitsDialog(Session &session, QWidget *parent = nullptr);

    // Called with the help-context number when Help is pressed; nothing happens while unset.
    void setHelpHook(std::function<void(int)> hook) { m_helpHook = std::move(hook); }

protected:
    // Close: a complete choice checks "Set units"; logged either way.
    bool closeProcedure() override;

private:
    void Initialize();
    void cboUnits_Click(UnitKind kind, int index);
    void CheckStatus();
    void cmdHelp_Click();

    std::array<QComboBox *, 3> m_cboUnits {};
    QPushButton *m_cmdClose = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    // "Code" while Initialize fills the lists, "User" otherwise; only user choices are logged.
    QString m_EventSource = QStringLiteral("User");
    std::function<void(int)> m_helpHook;
};

} // namespace qel::gui

#pragma once

#include "core/transport_rules.h"
#include "gui/common/child_form.h"

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qel::gui {

class UncertaintyTab;

// frmTransData: aquifer and solute parameters of the analytical model. Each box is checked as
// the person leaves it and an accepted value is stored at once; a refused value is marked and
// keeps the focus.
class TransportDialog : public ChildForm {
    Q_OBJECT
public:
    explicit TransportDialog(Session &session, QWidget *parent = nullptr);

    // Called with the help-context number when Help is pressed; nothing happens while unset.
    void setHelpHook(std::function<void(int)> hook) { m_helpHook = std::move(hook); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Close: the box being left is checked first; a refused value keeps the dialog open.
    bool closeProcedure() override;

private:
    void Initialize();
    bool txtParameter_Validate(int index);
    void chkDecay_Click(bool on);
    void cmdHelp_Click();

    int boxIndex(const QObject *object) const;
    bool isMarked(int index) const;

    std::array<QLineEdit *, NumTransportParameters> m_txtParameter {};
    std::array<QLabel *, NumTransportParameters> m_lblParameter {};
    std::array<QLabel *, NumTransportParameters> m_lblParameterUnit {};
    QCheckBox *m_chkDecay = nullptr;
    UncertaintyTab *m_uncertainty = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    // "Code" while Initialize fills the controls, "User" otherwise.
    QString m_EventSource = QStringLiteral("User");
    std::function<void(int)> m_helpHook;
};

} // namespace qel::gui

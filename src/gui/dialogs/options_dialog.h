#pragma once

#include "gui/common/child_form.h"

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace qel::gui {

// frmOptions: the text viewer and editor programs, the multiple-projects option and the
// coordinate rounding step. Changes take effect at once; QEL.ini is written when the
// workbench closes.
class OptionsDialog : public ChildForm {
    Q_OBJECT
public:
    explicit OptionsDialog(Session &session, QWidget *parent = nullptr);

    void imgNotepad_Click();
    void imgWordpad_Click();
    void chkMultipleProjects_Click(bool checked);
    // Returns whether the step typed was taken (or there was nothing new to take).
    bool txtRoundXY_Validate();
    void cmdClose_Click();
    void cmdHelp_Click();

protected:
    // Close: a rounding step still being typed is taken first; a refused one keeps the dialog open.
    bool closeProcedure() override;

private:
    void fillFields();
    // Runs a handler under its tag: a failure is reported once, in one error box.
    void handle(const QString &tag, const std::function<void()> &handler);
    bool pickProgram(const QString &title, QString &path);

    QLineEdit *m_notepad;
    QToolButton *m_notepadButton;
    QLineEdit *m_wordpad;
    QToolButton *m_wordpadButton;
    QCheckBox *m_multipleProjects;
    QLineEdit *m_roundXY;
    QLabel *m_distUnits;
    bool m_validating = false;
};

} // namespace qel::gui

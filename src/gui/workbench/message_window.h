#pragma once

#include "gui/common/child_form.h"

class QPlainTextEdit;

namespace qel::gui {

// frmMessage: every Message line of the session, read-only, always showing the last line.
class MessageWindow : public ChildForm {
    Q_OBJECT
public:
    explicit MessageWindow(Session &session, QWidget *parent = nullptr);

    QPlainTextEdit *text() const { return m_text; }
    void appendLine(const QString &line);
    // Shows session.messageText again (after the window was emptied or reopened).
    void reload();

private:
    void scrollToEnd();
    QPlainTextEdit *m_text;
};

} // namespace qel::gui

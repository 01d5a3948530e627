#pragma once

#include "core/session.h"

#include <QWidget>

namespace qel::gui {

// A window of the workbench that lives inside the main window's document area (dialogs, text
// windows, views). It knows its log tag and help topic, and what File > Print does with it.
class ChildForm : public QWidget {
    Q_OBJECT
public:
    ChildForm(Session &session, const QString &formTag, int helpContext, QWidget *parent = nullptr);

    Session &session() const { return m_session; }
    const QString &formTag() const { return m_formTag; }
    int helpContext() const { return m_helpContext; }
    // A window of several pages (the import wizards) has a topic per page.
    void setHelpContext(int helpContext) { m_helpContext = helpContext; }

    // File > Print while this window is active. Dialogs that print nothing say so.
    virtual void printForm();
    // Closes the window, or its frame when it sits in the document area.
    void closeForm();

protected:
    // "QEL: You can only print document or chart window at this time."
    void refusePrint();

private:
    Session &m_session;
    QString m_formTag;
    int m_helpContext;
};

} // namespace qel::gui

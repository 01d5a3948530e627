#pragma once

#include "core/session.h"

#include <QWidget>

#include <functional>

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
    // Closes the window, or its frame when it sits in the document area, as the frame's close
    // button does: the close procedure runs first and may keep the window open.
    void closeForm();

protected:
    // What the window's Close (or Cancel) button does before the window goes: checks the box
    // being left, stores, logs, sets the check mark. False keeps the window open. The frame's
    // close runs it too, so that closing never drops what was typed.
    virtual bool closeProcedure() { return true; }
    // Closes the window once another button's procedure (OK) has decided so.
    void closeAccepted();
    void closeEvent(QCloseEvent *event) override;

    // Runs body, which waits for a point on the map, with this form as the pick's caller: while
    // it waits, closing this form or starting another pick ends the pick first and is carried
    // out once body has returned, so that the code after the pick finds the form alive.
    void runPick(const std::function<void()> &body);
    // While a pick's caller runs: ends the pick, runs `again` once it has returned and returns
    // true. A window's commands that would re-enter a pick or close its caller start with it.
    bool deferWhilePicking(std::function<void()> again);

    // "QEL: You can only print document or chart window at this time."
    void refusePrint();

private:
    Session &m_session;
    QString m_formTag;
    int m_helpContext;
    int m_picks = 0; // picks this form waits for
    bool m_closeDecided = false;
};

} // namespace qel::gui

#include "gui/common/child_form.h"

#include "gui/common/map_pick.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

namespace qel::gui {

ChildForm::ChildForm(Session &session, const QString &formTag, int helpContext, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_formTag(formTag)
    , m_helpContext(helpContext)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void ChildForm::printForm()
{
    refusePrint();
}

void ChildForm::refusePrint()
{
    m_session.frontend().messageBox(QStringLiteral("QEL: You can only print document or chart window at this time."),
        QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Information);
}

void ChildForm::closeForm()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

void ChildForm::closeAccepted()
{
    m_closeDecided = true;
    closeForm();
    // A close put off while a pick waits decides again when it is tried again.
    if (isVisible())
        m_closeDecided = false;
}

void ChildForm::closeEvent(QCloseEvent *event)
{
    // The form's code after a pick still runs: the close waits for it, and so does the
    // procedure, which may ask questions of its own.
    if (m_picks > 0) {
        const bool decided = m_closeDecided;
        deferWhilePicking([this, decided] { decided ? closeAccepted() : closeForm(); });
        event->ignore();
        return;
    }
    if (!m_closeDecided && !closeProcedure()) {
        event->ignore();
        return;
    }
    m_closeDecided = true;
    QWidget::closeEvent(event);
}

void ChildForm::runPick(const std::function<void()> &body)
{
    MapPick &pick = mapPick(m_session);
    ++m_picks;
    pick.callerStarted();
    struct Returned {
        ChildForm *form;
        MapPick &pick;
        ~Returned()
        {
            --form->m_picks;
            pick.callerReturned();
        }
    } returned { this, pick };
    body();
}

bool ChildForm::deferWhilePicking(std::function<void()> again)
{
    MapPick &pick = mapPick(m_session);
    if (!pick.callerRunning())
        return false;
    pick.afterCallers(this, std::move(again));
    pick.abort();
    return true;
}

} // namespace qel::gui

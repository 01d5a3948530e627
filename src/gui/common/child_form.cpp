#include "gui/common/child_form.h"

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

} // namespace qel::gui

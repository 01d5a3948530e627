#include "gui/workbench/main_window.h"

#include "core/errors.h"
#include "core/file_commands.h"
#include "core/reporting.h"
#include "gui/common/child_form.h"
#include "gui/workbench/clipboard_routing.h"
#include "map/map_display.h"

#include <QDesktopServices>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QUrl>

// The main window's own commands: those that act on its windows rather than on the project.
namespace qel::gui {

// --- commands -------------------------------------------------------------------------------

void MainWindow::editClipboard(Command command)
{
    ChildForm *form = activeChildForm();
    if (form && takesClipboardCommands(form->objectName()))
        applyClipboardCommand(form->focusWidget(), command);
}

void MainWindow::viewSessionLog()
{
    const AppState &app = m_session.app;
    if (!app.NotepadPath.isEmpty()) {
        if (!QProcess::startDetached(app.NotepadPath, { app.LogFile }))
            qel::raise(ErrFileNotFound, app.NotepadPath);
    } else if (m_factories.outputViewer) {
        showChild(m_factories.outputViewer(m_session, this, app.LogFile), false);
    } else {
        QDesktopServices::openUrl(QUrl::fromLocalFile(app.LogFile));
    }
}

void MainWindow::helpCurrentTopic()
{
    if (ChildForm *form = activeChildForm())
        m_session.app.HelpContext = form->helpContext();
    m_factories.help(m_session, this, m_session.app.HelpContext);
}

void MainWindow::printActiveForm()
{
    if (ChildForm *form = activeChildForm())
        form->printForm();
}

void MainWindow::setMapTitle()
{
    if (!mapSetTitle(m_session))
        return;
    if (ChildForm *map = findChildForm(QStringLiteral("frmMap")))
        map->setWindowTitle(m_session.model.MapTitle);
}

void MainWindow::exitCommand()
{
    if (!fileExit(m_session))
        return;
    m_exitAsked = true;
    if (!close())
        m_exitAsked = false;
}

void MainWindow::closeActiveWindow()
{
    QMdiSubWindow *frame = m_mdi->currentSubWindow();
    if (!frame)
        return;
    // The outline and the layer window have no close button and stay.
    const Qt::WindowFlags flags = frame->windowFlags();
    if ((flags & Qt::CustomizeWindowHint) && !(flags & Qt::WindowCloseButtonHint))
        return;
    if (auto *form = qobject_cast<ChildForm *>(frame->widget()))
        form->closeForm();
    else
        frame->close();
}

void MainWindow::runOutlineStep(Step step)
{
    guarded(m_session, QStringLiteral("Outline:CallModule"), [&] {
        const WorkflowStep &entry = workflowStep(step);
        if (!entry.command)
            return; // a heading
        const Handler *handler = m_commands.handler(*entry.command);
        if (!handler) {
            const QString text
                = stepCaption(step) + QStringLiteral(": this step is not available in this version of QEL.");
            WriteLog(m_session, QStringLiteral("Msg: ") + text);
            m_session.frontend().messageBox(text, QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        QAction *menuEntry = m_commands.firstAction(*entry.command);
        if (entry.throughMenu && menuEntry)
            menuEntry->trigger();
        else
            (*handler)();
    });
}

} // namespace qel::gui

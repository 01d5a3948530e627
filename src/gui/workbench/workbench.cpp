#include "gui/workbench/workbench.h"

#include "core/file_commands.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "gui/workbench/drawn_icons.h"
#include "gui/workbench/main_window.h"
#include "gui/workbench/qt_frontend.h"
#include "gui/workbench/workbench_windows.h"
#include "views/workflow_replay.h"

#include <QApplication>
#include <QFileInfo>

namespace qel::gui {

int runWorkbench(int argc, char **argv, const QString &projectToOpen)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEL"));
    QApplication::setOrganizationName(QStringLiteral("QEL"));
    QApplication::setWindowIcon(applicationIcon());

    QtFrontend frontend;
    Session session(frontend, applicationFolder(QCoreApplication::applicationDirPath()));
    startUp(session);
    installWorkflowReplay(session);

    int status = 0;
    {
        MainWindow window(session, workbenchWindowFactories());
        frontend.attach(&window);
        window.show();
        if (!projectToOpen.isEmpty())
            guarded(session, QStringLiteral("Main"),
                [&] { openProjectFile(session, QFileInfo(projectToOpen).absoluteFilePath()); });
        status = app.exec();
        frontend.attach(nullptr);
    }
    terminateSession(session);
    return status;
}

} // namespace qel::gui

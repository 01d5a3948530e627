#include "core/clear_all.h"

#include "core/paths.h"
#include "core/reporting.h"
#include "core/startup.h"

namespace qel {

void ClearAll(Session &session)
{
    WriteLog(session, QStringLiteral("ClearAll:"));

    session.outline.initiate();
    session.layers.initiate();
    Frontend &frontend = session.frontend();
    frontend.outlineChanged();
    frontend.layersChanged();
    if (session.model.BMDone)
        frontend.closeMapWindow();
    for (StatusPanel panel : StatusPanels)
        frontend.setStatusPanel(panel, QString());
    session.messageText.clear();
    frontend.messagesCleared();
    for (Command command : ZoomCommands)
        frontend.setCommandEnabled(command, false);
    for (Command command : ClipboardCommands)
        frontend.setCommandEnabled(command, false);

    // Every field back to its empty-project value; the map indexes read 0 after a clear.
    session.clearParts();
    // The project's own layer files, while the model still names its folder.
    RemoveTempFiles(session);
    session.model = ProjectModel();
    ProjectModel &m = session.model;
    m.WCMapIndex = m.PCMapIndex = m.MDMapIndex = m.WFMapIndex = 0;

    setApplicationPaths(session);
    m.ProjectDir = session.app.AppDir + QStringLiteral("Data/");
    m.ProjectDirAssigned = false;
    m.ResultsFile = QStringLiteral("QELResults.out");
    m.ProjectStatus = QStringLiteral("New");
    session.ErrorText.clear();
}

} // namespace qel

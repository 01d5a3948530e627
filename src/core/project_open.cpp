#include "core/project_open.h"

#include "core/clear_all.h"
#include "core/paths.h"
#include "core/project_file.h"
#include "core/reporting.h"

#include <QFileInfo>

namespace qel {

namespace {

void assignProjectFile(Session &session, const QString &path)
{
    ProjectModel &m = session.model;
    m.ProjectFile = QFileInfo(path).isAbsolute() ? path : QFileInfo(path).absoluteFilePath();
    m.ProjectDir = PathToDirectory(m.ProjectFile);
    m.ProjectDirAssigned = true;
}

} // namespace

bool openProject(Session &session, const QString &path)
{
    ClearAll(session);
    session.UserCancelled = false;
    return readChosenProject(session, path);
}

bool readChosenProject(Session &session, const QString &path)
{
    assignProjectFile(session, path);
    if (!CreateTempPathIfNeeded(session))
        return false;
    if (!ReadProjectFile(session)) {
        // The project does not take the name of a file it could not read, so that no later Save
        // replaces that file unless the person names it.
        session.model.ProjectFile.clear();
        return false;
    }
    const QString name = QFileInfo(session.model.ProjectFile).fileName();
    session.frontend().setStatusPanel(StatusPanel::File, name);
    Message(session, QStringLiteral("Opened project file: ") + name, false);
    return true;
}

bool saveProjectAs(Session &session, const QString &path)
{
    assignProjectFile(session, path);
    const QString name = QFileInfo(session.model.ProjectFile).fileName();
    session.frontend().setStatusPanel(StatusPanel::File, name);
    return SaveProjectFile(session);
}

} // namespace qel

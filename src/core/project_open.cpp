#include "core/project_open.h"

#include "core/clear_all.h"
#include "core/paths.h"
#include "core/project_file.h"
#include "core/reporting.h"

#include <QDir>
#include <QFileInfo>

#include <tuple>

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
    ProjectModel &m = session.model;
    const auto before
        = std::tuple(m.ProjectFile, m.ProjectDir, m.ProjectDirAssigned, m.BaseMapFile, m.WEDataPath, m.WLDataPath);
    const QString fromDir = m.ProjectDir;
    assignProjectFile(session, path);
    const bool moved = QDir::cleanPath(fromDir) != QDir::cleanPath(m.ProjectDir);
    // The stored paths are relative to the project's folder: in another folder they must name the
    // same files, or the saved project opens without its map and tables.
    if (moved) {
        if (!m.BaseMapFile.isEmpty())
            m.BaseMapFile = storedPathFor(m.BaseMapFile, fromDir, m.ProjectDir);
        if (!m.WEDataFile.isEmpty())
            m.WEDataPath = storedPathFor(m.WEDataPath, fromDir, m.ProjectDir);
        if (!m.WLDataFile.isEmpty())
            m.WLDataPath = storedPathFor(m.WLDataPath, fromDir, m.ProjectDir);
    }
    const QString name = QFileInfo(m.ProjectFile).fileName();
    session.frontend().setStatusPanel(StatusPanel::File, name);
    if (!SaveProjectFile(session)) {
        // Not saved there: the project stays where it was, under its old name.
        std::tie(m.ProjectFile, m.ProjectDir, m.ProjectDirAssigned, m.BaseMapFile, m.WEDataPath, m.WLDataPath) = before;
        session.frontend().setStatusPanel(StatusPanel::File, QFileInfo(m.ProjectFile).fileName());
        return false;
    }
    // The layers go along, so that the map keeps redrawing them from the new folder.
    if (moved && CreateTempPathIfNeeded(session)) {
        session.moveParts(fromDir, m.ProjectDir);
        moveLayerFiles(session, fromDir);
    }
    return true;
}

} // namespace qel

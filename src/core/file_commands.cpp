#include "core/file_commands.h"

#include "core/clear_all.h"
#include "core/paths.h"
#include "core/project_file.h"
#include "core/project_open.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "core/workflow_steps.h"

#include <QFileInfo>

namespace qel {

namespace {

const QString ProjectFilter = QStringLiteral("Project file (*.prj)|*.prj");

QString yesNo(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Yes: return QStringLiteral("[Yes]");
    case MsgAnswer::No: return QStringLiteral("[No]");
    case MsgAnswer::Cancel: return QStringLiteral("[Cancel]");
    case MsgAnswer::Ok: return QStringLiteral("[OK]");
    case MsgAnswer::Retry: return QStringLiteral("[Retry]");
    }
    return {};
}

void enableProjectCommands(Session &session)
{
    const bool enabled = session.app.MultipleProjects;
    session.frontend().setCommandEnabled(Command::FileNew, enabled);
    session.frontend().setCommandEnabled(Command::FileOpen, enabled);
}

// Asks before unsaved changes are dropped; true when the person lets them go (or there are none).
bool mayDiscardChanges(Session &session, const QString &action, const QString &logQuestion)
{
    if (!session.model.ProjectChanged)
        return true;
    const MsgAnswer answer = session.frontend().messageBox(
        QStringLiteral("Are you sure you want to ignore current data, and %1?").arg(action),
        QStringLiteral("Are you sure?"), MsgButtons::YesNo, MsgIcon::Question);
    WriteLog(session, logQuestion + QStringLiteral(" ") + yesNo(answer));
    return answer == MsgAnswer::Yes;
}

// The "Save data?" question of Exit and of closing the main window, with its log line.
MsgAnswer askSaveData(Session &session)
{
    const MsgAnswer answer = session.frontend().messageBox(
        QStringLiteral("You are about to terminate QEL session.\nPress [Yes] to save data, [No] to quit without "
                       "saving, or [Cancel] to return to QEL."),
        QStringLiteral("Save data?"), MsgButtons::YesNoCancel, MsgIcon::Question);
    WriteLog(session, QStringLiteral("Save data before terminating the session? ") + yesNo(answer));
    return answer;
}

} // namespace

void fileNew(Session &session)
{
    guarded(session, QStringLiteral("UI:mnuFileNew_Click"), [&] {
        WriteLog(session, QStringLiteral("File > New"));
        if (!mayDiscardChanges(session, QStringLiteral("start a new project"),
                QStringLiteral("Ignore current data and start a new project?")))
            return;
        ClearAll(session);
        session.frontend().setCommandEnabled(Command::RunAnalytical, false);
        SetProjectDirectory(session);
        enableProjectCommands(session);
    });
}

void fileOpen(Session &session)
{
    guarded(session, QStringLiteral("UI:mnuFileOpen_Click"), [&] {
        WriteLog(session, QStringLiteral("File > Open"));
        if (!mayDiscardChanges(session, QStringLiteral("open another project file"),
                QStringLiteral("Ignore current data and open another project file?")))
            return;
        ClearAll(session);
        session.UserCancelled = false;
        const FileDialogRequest request { QStringLiteral("Open Project File"),
            ProjectFilter + QStringLiteral("|All Files (*.*)|*.*"), QStringLiteral("prj"), session.model.ProjectDir,
            QString() };
        const FileDialogAnswer answer = session.frontend().openFileDialog(request);
        if (!answer.accepted) {
            session.UserCancelled = true;
            return;
        }
        readChosenProject(session, answer.path);
        // A session that may hold one project only keeps it until the program ends.
        enableProjectCommands(session);
    });
}

bool openProjectFile(Session &session, const QString &path)
{
    const bool read = openProject(session, path);
    enableProjectCommands(session);
    return read;
}

void fileClose(Session &session)
{
    guarded(session, QStringLiteral("UI:mnuFileClose_Click"), [&] {
        WriteLog(session, QStringLiteral("File > Close"));
        if (!mayDiscardChanges(session, QStringLiteral("close the project"),
                QStringLiteral("Ignore current data and close the project?")))
            return;
        ClearAll(session);
        session.messageText.clear();
        session.frontend().messagesCleared();
    });
}

void editClear(Session &session)
{
    guarded(session, QStringLiteral("UI:mnuEditClear_Click"), [&] {
        WriteLog(session, QStringLiteral("Edit > Clear"));
        if (!mayDiscardChanges(session, QStringLiteral("clear the project"),
                QStringLiteral("Ignore current data and clear the project?")))
            return;
        ClearAll(session);
    });
}

bool fileSave(Session &session)
{
    bool saved = false;
    guarded(session, QStringLiteral("UI:mnuFileSave_Click"), [&] {
        WriteLog(session, QStringLiteral("File > Save"));
        const QString &file = session.model.ProjectFile;
        if (file.isEmpty())
            return;
        const MsgAnswer answer
            = session.frontend().messageBox(QStringLiteral("A file already exists by the name:\r\n\r\n") + file
                    + QStringLiteral("\r\n\r\nPress [Yes] to overwrite this file, [No] to save under new file name, "
                                     "\r\nor [Cancel] to go back without saving data."),
                QStringLiteral("Overwrite?"), MsgButtons::YesNoCancel, MsgIcon::Question);
        if (answer == MsgAnswer::Yes) {
            WriteLog(session, QStringLiteral("Overwrite file? [Yes]"));
            saved = SaveProjectFile(session);
        } else if (answer == MsgAnswer::No) {
            WriteLog(session, QStringLiteral("Overwrite file? [No]"));
            saved = fileSaveAs(session);
        }
    });
    return saved;
}

bool fileSaveAs(Session &session)
{
    bool saved = false;
    guarded(session, QStringLiteral("UI:mnuFileSaveAs_Click"), [&] {
        WriteLog(session, QStringLiteral("File > Save As"));
        ProjectModel &m = session.model;
        QString folder = m.ProjectDir;
        for (;;) {
            session.UserCancelled = false;
            const QString proposed = QFileInfo::exists(m.ProjectFile) ? m.ProjectFile : QString();
            const FileDialogRequest request { QStringLiteral("Save Project File"), ProjectFilter, QStringLiteral("prj"),
                folder, proposed };
            const FileDialogAnswer answer = session.frontend().saveFileDialog(request);
            if (!answer.accepted) {
                session.UserCancelled = true;
                return;
            }
            QString path = QFileInfo(answer.path).absoluteFilePath();
            if (QFileInfo(path).suffix().isEmpty())
                path += QStringLiteral(".prj");
            // The project takes the new name only once it is accepted, so that a refused name
            // followed by Cancel leaves the project as it was.
            if (QFileInfo::exists(path)) {
                const MsgAnswer overwrite = session.frontend().messageBox(
                    QStringLiteral("Overwrite existing file?\r\n\r\n") + QFileInfo(path).fileName(),
                    QStringLiteral("Overwrite?"), MsgButtons::YesNo, MsgIcon::Question);
                if (overwrite != MsgAnswer::Yes) {
                    WriteLog(session, QStringLiteral("Overwrite file? [No]"));
                    folder = PathToDirectory(path);
                    continue;
                }
            }
            WriteLog(session, QStringLiteral("Overwrite file? [Yes]"));
            saved = saveProjectAs(session, path);
            return;
        }
    });
    return saved;
}

bool saveButton(Session &session)
{
    return session.model.ProjectFile.isEmpty() ? fileSaveAs(session) : fileSave(session);
}

bool fileExit(Session &session)
{
    bool closeNow = false;
    guarded(session, QStringLiteral("UI:mnuFileExit_Click"), [&] {
        WriteLog(session, QStringLiteral("File > Exit"));
        if (!session.model.ProjectChanged) {
            closeNow = true;
            return;
        }
        const MsgAnswer answer = askSaveData(session);
        if (answer == MsgAnswer::Yes)
            saveButton(session); // the workbench stays open after saving from Exit
        closeNow = answer == MsgAnswer::No;
    });
    return closeNow;
}

bool queryUnload(Session &session, int reason, bool askSaveDataFirst)
{
    WriteLog(session, QStringLiteral("[Form queryunload] Mode=%1").arg(reason));
    if (!session.model.ProjectChanged || !askSaveDataFirst)
        return true;
    switch (askSaveData(session)) {
    case MsgAnswer::Cancel: return false;
    // A project without a file gets one, and the window closes only once the data is safe.
    case MsgAnswer::Yes: return saveButton(session);
    default: return true;
    }
}

void formUnload(Session &session)
{
    WriteLog(session, QStringLiteral("[Form unload]"));
    unloadSession(session);
}

QString projectDirectoryExplanation()
{
    return QStringLiteral("In order for QEL to handle data entry properly, one needs to \n"
                          "assign a project file. It is best that you save the project file\n"
                          "in the same directory as other files (sitemap, well and water\n"
                          "level data) you will need for this project. This will also\n"
                          "ensure easy transfer of all relevant files of a project to\n"
                          "another computer/file location later. \n"
                          "\n"
                          "Note that you will still need to click [Save Project File] button\n"
                          "(or choose Save option under File menu) frequently to save\n"
                          "your data to hard disk.\n"
                          "\n"
                          "Click [OK] to assign a project file now.");
}

void SetProjectDirectory(Session &session)
{
    guarded(session, QStringLiteral("UI:SetProjectDirectory"), [&] {
        const MsgAnswer answer = session.frontend().messageBox(projectDirectoryExplanation(),
            QStringLiteral("Assign Project File"), MsgButtons::OkCancel, MsgIcon::Information);
        if (answer == MsgAnswer::Ok) {
            session.UserCancelled = false;
            fileSaveAs(session);
            // Only a name the person accepted assigns the project file.
            if (!session.UserCancelled)
                session.setStatus(QStringLiteral("Project file assigned."));
        } else {
            session.UserCancelled = true;
        }
        WriteLog(session, QStringLiteral("Project directory: \r\n") + session.model.ProjectDir);
    });
}

bool mapSetScale(Session &session)
{
    bool allowed = false;
    guarded(session, QStringLiteral("UI:mnuMapSetScale_Click"), [&] {
        WriteLog(session, QStringLiteral("Map > Set Scale"));
        allowed = workflowStep(Step::MapScale).precondition(session);
    });
    return allowed;
}

bool mapSetPlotLimits(Session &session)
{
    bool allowed = false;
    guarded(session, QStringLiteral("UI:mnuMapSetPlotLimits_Click"), [&] {
        WriteLog(session, QStringLiteral("Map > Plot Limits"));
        allowed = workflowStep(Step::PlotLimits).precondition(session);
    });
    return allowed;
}

bool mapSetTitle(Session &session)
{
    bool changed = false;
    guarded(session, QStringLiteral("UI:mnuMapSetTitle_Click"), [&] {
        WriteLog(session, QStringLiteral("Map > Title"));
        const std::optional<QString> answer = session.frontend().inputBox(
            QStringLiteral("Enter map title"), QStringLiteral("Set map title"), session.model.MapTitle);
        // Cancel keeps the title the map has.
        if (!answer)
            return;
        session.store(session.model.MapTitle, answer->isEmpty() ? QStringLiteral("Map Window") : *answer);
        changed = true;
    });
    return changed;
}

} // namespace qel

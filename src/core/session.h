#pragma once

#include "core/frontend.h"
#include "core/project_model.h"
#include "core/project_replay.h"
#include "core/tree_states.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <typeindex>
#include <unordered_map>

namespace qel {

// Operating-system identification written into the log header.
struct OsVersionRecord {
    qint32 size = 148;
    qint32 majorVersion = 0;
    qint32 minorVersion = 0;
    qint32 buildNumber = 0;
    qint32 platformId = 0;
    QString servicePack;
};

// Values that live for the whole program run rather than for one project.
struct AppState {
    QString ProgramBuild = QStringLiteral("20040225");
    QString AppDir; // application folder with a trailing "/"
    QString LogFile; // AppDir + "QEL.LOG"
    QString HelpFile;
    QString IniFile;
    QString NotepadPath;
    QString EditorPath;
    bool MultipleProjects = true;
    std::array<QString, 11> LayerName;
    qint32 HelpContext = 1000;
    OsVersionRecord OSVersionInfo;
    QString OSVersion;
    QString OSName;
};

constexpr int VersionMajor = 1;
constexpr int VersionMinor = 2;
constexpr int VersionRevision = 1035;

// A subsystem's state kept with the session, such as the map's drawing component. The
// subsystems above core define their parts; the session only owns them, one of each type.
class SessionPart {
public:
    virtual ~SessionPart() = default;
    // The project was cleared (ClearAll): drop what belonged to it.
    virtual void projectCleared() { }
    // The project was saved into another folder: whatever names a file under the old folder's
    // Temp/ is written out there now and names the same file under the new folder's from then on.
    virtual void projectFolderMoved(const QString & /*fromDir*/, const QString & /*toDir*/) { }
};

// One open workbench: the project, the program-wide values, the outline and layer states and
// the front end that talks to the person. Procedures take it explicitly; nothing is global, so
// tests can run as many independent sessions as they like.
class Session {
public:
    // appFolder is the application folder (QEL.ini, QEL.LOG, Data/); see applicationFolder().
    Session(Frontend &frontend, const QString &appFolder);

    ProjectModel model;
    AppState app;
    OutlineState outline;
    LayerTreeState layers;

    QString ErrorText;
    QString messageText; // the message window's content
    bool UserCancelled = false;
    QString FormTag;
    bool DocReady = false;

    // Extensions of the files the drawing component writes for each layer under Temp/.
    QStringList layerFileExtensions = { QStringLiteral(".geojson") };

    // Errors reported in this session that fail a batch run; its exit status.
    int errorsReported = 0;
    // The log could not be written and the person has been told so.
    bool logFailureReported = false;
    // Progress objects alive; the outermost one shows the busy state.
    int progressDepth = 0;

    Frontend &frontend() { return *m_frontend; }
    ProjectReplay &replay() { return *m_replay; }
    void setReplay(ProjectReplay *replay) { m_replay = replay ? replay : &m_noReplay; }
    const QString &appFolder() const { return m_appFolder; }

    // Marks a workflow step done: its outline entry gets the check mark and the project changed.
    void checkNode(Step step);
    // An accepted change of the project: New, Open, Close, Clear and Exit ask before dropping it.
    void markChanged() { model.ProjectChanged = true; }
    // Stores an accepted value; only a value that differs from the stored one changes the project.
    // Returns whether it did.
    template<typename Field, typename Value> bool store(Field &field, const Value &value)
    {
        if (field == value)
            return false;
        field = value;
        markChanged();
        return true;
    }
    void setStatus(const QString &text) { m_frontend->setStatusPanel(StatusPanel::Status, text); }

    void clearParts()
    {
        for (auto &[type, part] : m_parts)
            part->projectCleared();
    }
    void moveParts(const QString &fromDir, const QString &toDir)
    {
        for (auto &[type, part] : m_parts)
            part->projectFolderMoved(fromDir, toDir);
    }
    // The part of the given type, made on first use from the session.
    template<typename Part> Part &part()
    {
        std::unique_ptr<SessionPart> &slot = m_parts[std::type_index(typeid(Part))];
        if (!slot)
            slot = std::make_unique<Part>(*this);
        return static_cast<Part &>(*slot);
    }

private:
    Frontend *m_frontend;
    ProjectReplay m_noReplay;
    ProjectReplay *m_replay = &m_noReplay;
    QString m_appFolder;
    std::unordered_map<std::type_index, std::unique_ptr<SessionPart>> m_parts;
};

} // namespace qel

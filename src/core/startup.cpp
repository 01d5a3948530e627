#include "core/startup.h"

#include "core/number_text.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "core/whole_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>

namespace qel {

namespace {

const QString Separator = QStringLiteral("====================================================");

} // namespace

void setApplicationPaths(Session &session)
{
    AppState &app = session.app;
    app.AppDir = session.appFolder() + u'/';
    app.LogFile = app.AppDir + QStringLiteral("QEL.LOG");
    app.HelpFile = app.AppDir + QStringLiteral("QEL.hlp");
    app.IniFile = app.AppDir + QStringLiteral("QEL.ini");
}

void GetWindowsVersion(Session &session)
{
    AppState &app = session.app;
    // The kernel version gives the major and minor numbers; the distribution names the system.
    const QStringList parts = QSysInfo::kernelVersion().split(u'.');
    app.OSVersionInfo.majorVersion = parts.value(0).toInt();
    app.OSVersionInfo.minorVersion = parts.value(1).toInt();
    app.OSVersionInfo.buildNumber = int(leadingNumber(parts.value(2)));
    app.OSVersionInfo.platformId = 0;
    app.OSVersion = QStringLiteral("%1.%2")
                        .arg(app.OSVersionInfo.majorVersion)
                        .arg(app.OSVersionInfo.minorVersion, 2, 10, QChar(u'0'));
    app.OSName = QSysInfo::prettyProductName();
}

void startUp(Session &session)
{
    session.app.ProgramBuild = QStringLiteral("20040225");
    GetWindowsVersion(session);
    session.model.ProjectStatus = QStringLiteral("New");
    session.app.HelpContext = 1000;
    const char *names[]
        = { "WELLS", "WLCONT", "LIMITS", "SOURCE", "PCCONT", "MDCONT", "WFCONT", "DPCONT", "XPCONT", "XDCONT" };
    for (std::size_t i = 0; i < std::size(names); ++i)
        session.app.LayerName[i] = QString::fromLatin1(names[i]);
    ReadINIFile(session);
    session.app.HelpContext = 1000;
}

void OpenLogFile(Session &session)
{
    WriteLog(session, Separator);
    WriteLog(session,
        QStringLiteral("QEL Version %1.%2.%3 Build %4")
            .arg(VersionMajor)
            .arg(VersionMinor)
            .arg(VersionRevision)
            .arg(session.app.ProgramBuild));
    WriteLog(session,
        QStringLiteral("Session log created on ")
            + QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    WriteLog(session,
        QStringLiteral("Windows Version: ") + session.app.OSName + QStringLiteral(" Version: ")
            + session.app.OSVersion);
    WriteLog(session, QStringLiteral("Please email this file while requesting tech support."));
}

namespace {

void readIniLines(Session &session)
{
    QFile file(session.app.IniFile);
    if (!file.exists())
        raise(ErrFileNotFound, session.app.IniFile);
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrPathFileAccess, session.app.IniFile);
    const QByteArray bytes = file.readAll();
    file.close();
    if (bytes.isEmpty())
        raise(ErrPastEndOfFile, session.app.IniFile);
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (bytes.endsWith('\n'))
        lines.removeLast();
    for (QString line : lines) {
        while (!line.isEmpty() && (line.endsWith(u' ') || line.endsWith(u'\r')))
            line.chop(1);
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("NotepadPath")) {
            if (!value.isEmpty() && QFileInfo(value).isFile())
                session.app.NotepadPath = value;
        } else if (key == QLatin1String("EditorPath")) {
            if (!value.isEmpty() && QFileInfo(value).isFile())
                session.app.EditorPath = value;
        } else if (key == QLatin1String("MultipleProjects")) {
            if (!value.isEmpty())
                session.app.MultipleProjects = value == QLatin1String("True");
        } else if (key == QLatin1String("RoundXY")) {
            if (!value.isEmpty()) {
                const auto number = strictNumber(value);
                if (!number)
                    raise(ErrTypeMismatch, key);
                session.model.RoundXY = *number;
            }
        }
    }
}

} // namespace

void ReadINIFile(Session &session)
{
    setApplicationPaths(session);
    ProjectModel &m = session.model;
    m.ProjectDir = session.app.AppDir + QStringLiteral("Data/");
    QDir().mkpath(m.ProjectDir);
    m.ProjectDirAssigned = false;
    m.ResultsFile = QStringLiteral("QELResults.out");

    OpenLogFile(session);
    WriteLog(session, Separator);

    m.RunMode.clear();
    m.ProjectChanged = false;
    m.UNDone = m.WEDone = m.WLDone = m.WCDone = m.PLDone = m.PCDone = m.TDDone = m.WFDone = m.RGDone = m.ANDone
        = m.ERDone = false;
    m.WLLineWidth = 1;
    m.RoundXY = 0.01;
    m.WEmapped = m.PLmapped = m.SLmapped = false;
    m.WCMapIndex = m.PCMapIndex = m.MDMapIndex = m.WFMapIndex = -1;
    session.app.MultipleProjects = true;
    // No standard editor locations to detect on this platform: the paths come from QEL.ini.

    try {
        readIniLines(session);
    } catch (const QelError &e) {
        Message(session, QStringLiteral("Error in reading QEL.ini file!"), false);
        // A first start has no QEL.ini yet: reported, but no failure of a batch job.
        const bool firstStart = e.number() == ErrFileNotFound;
        // Written with the defaults before the report, and again at the end: a session that
        // ends without closing, even at this box, must not show the first start's error again.
        // A file that is there but unreadable is left for the user to mend until the session ends.
        if (firstStart)
            WriteINIFile(session);
        reportFailure(session, QStringLiteral("ReadINIFile"), e.number(), e.description(),
            firstStart ? FailsRun::No : FailsRun::Yes);
    }
}

void WriteINIFile(Session &session)
{
    guarded(session, QStringLiteral("WriteINIFile"), [&] {
        const AppState &app = session.app;
        const QString text = QStringLiteral("[QEL]\r\nNotepadPath=") + app.NotepadPath
            + QStringLiteral("\r\nEditorPath=") + app.EditorPath + QStringLiteral("\r\nMultipleProjects=")
            + (app.MultipleProjects ? QStringLiteral("True") : QStringLiteral("False")) + QStringLiteral("\r\nRoundXY=")
            + keyNumberText(session.model.RoundXY) + QStringLiteral("\r\n");
        if (!writeWholeFile(app.IniFile, text.toUtf8()).written)
            raise(ErrPathFileAccess, app.IniFile);
    });
}

void unloadSession(Session &session, LayerFiles layerFiles)
{
    WriteLog(session, QStringLiteral("QEL session unloaded."));
    WriteINIFile(session);
    if (layerFiles == LayerFiles::Remove)
        RemoveTempFiles(session);
}

void terminateSession(Session &session)
{
    WriteLog(session, QStringLiteral("QEL session terminated."));
}

} // namespace qel

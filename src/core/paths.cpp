#include "core/paths.h"

#include "core/reporting.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qel {

QString PathToDirectory(const QString &path)
{
    const qsizetype p = path.lastIndexOf(u'/');
    return p >= 0 ? path.left(p + 1) : QString();
}

QString relativeTo(const QString &dir, const QString &path)
{
    if (dir.isEmpty() || dir.size() > path.size())
        return path;
    if (path.compare(dir, PathCase) == 0)
        return {};
    if (path.left(dir.size()).compare(dir, PathCase) == 0)
        return path.mid(dir.size());
    return path;
}

QString RelativePath(const Session &session, const QString &path)
{
    return relativeTo(session.model.ProjectDir, path);
}

QString projectPath(const Session &session, const QString &stored)
{
    return QDir::isAbsolutePath(stored) ? stored : session.model.ProjectDir + stored;
}

QString storedPathFor(const QString &stored, const QString &fromDir, const QString &toDir)
{
    if (stored.isEmpty() && fromDir.isEmpty())
        return stored;
    QString absolute = QDir::isAbsolutePath(stored) ? stored : fromDir + stored;
    const bool folder = absolute.endsWith(u'/');
    absolute = QDir::cleanPath(absolute);
    if (folder && !absolute.endsWith(u'/'))
        absolute += u'/';
    return relativeTo(toDir, absolute);
}

QString fromStoredPath(const QString &path)
{
    QString converted = path;
    converted.replace(u'\\', u'/');
    return converted;
}

bool CreateTempPathIfNeeded(Session &session)
{
    return guarded(session, QStringLiteral("CreateTempPathIfNeeded"), [&] {
        const QString &dir = session.model.ProjectDir;
        // The report names the folder: a read-only or vanished project folder is otherwise a riddle.
        if (!QFileInfo(dir).isDir() || !QDir::setCurrent(dir))
            throw QelError(ErrPathNotFound, errorDescription(ErrPathNotFound) + QStringLiteral(": ") + dir, dir);
        const QString temp = dir + QStringLiteral("Temp");
        if (!QFileInfo(temp).isDir() && !QDir(dir).mkdir(QStringLiteral("Temp")))
            throw QelError(ErrPathFileAccess,
                errorDescription(ErrPathFileAccess) + QStringLiteral(": the folder ") + temp
                    + QStringLiteral(" cannot be made"),
                temp);
    });
}

void RemoveTempFiles(Session &session)
{
    const QDir temp(session.model.ProjectDir + QStringLiteral("Temp"));
    if (!temp.exists())
        return;
    const QStringList present = temp.entryList(QDir::Files);
    try {
        for (int i = 0; i <= 9; ++i) {
            for (const QString &extension : session.layerFileExtensions) {
                const QString wanted = session.app.LayerName[std::size_t(i)] + extension;
                for (const QString &name : present) {
                    if (name.compare(wanted, Qt::CaseInsensitive) != 0)
                        continue;
                    if (!QFile::remove(temp.filePath(name)))
                        raise(ErrPathFileAccess, temp.filePath(name));
                }
            }
        }
    } catch (const QelError &e) {
        session.ErrorText = failureText(failureTag(QStringLiteral("RemoveTempFiles")), e.number(), e.description());
        WriteLog(session, session.ErrorText);
    }
}

void moveLayerFiles(Session &session, const QString &fromDir)
{
    const QDir from(fromDir + QStringLiteral("Temp"));
    const QDir to(session.model.ProjectDir + QStringLiteral("Temp"));
    if (!from.exists() || from.absolutePath() == to.absolutePath())
        return;
    for (const QString &name : from.entryList(QDir::Files)) {
        bool layer = false;
        for (const LayerNode &node : session.layers.nodes())
            for (const QString &extension : session.layerFileExtensions)
                layer = layer || name.compare(node.fileBase + extension, Qt::CaseInsensitive) == 0;
        if (!layer)
            continue;
        // Layer files are ours, rebuilt whenever their step runs: one left by another project in
        // the same folder is replaced.
        QFile::remove(to.filePath(name));
        if (!QFile::copy(from.filePath(name), to.filePath(name)) || !QFile::remove(from.filePath(name)))
            WriteLog(session,
                failureText(failureTag(QStringLiteral("moveLayerFiles")), ErrPathFileAccess, from.filePath(name)));
    }
}

QString applicationFolder(const QString &programFolder)
{
    QString folder = qEnvironmentVariable("QEL_HOME");
    if (folder.isEmpty()) {
        const QFileInfo program(programFolder);
        folder = program.isDir() && program.isWritable()
            ? programFolder
            : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    QDir().mkpath(folder);
    return QDir(folder).absolutePath();
}

} // namespace qel

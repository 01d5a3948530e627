#include "support/test_session.h"

#include "core/project_file.h"
#include "core/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace qel::test {

TestSession::TestSession(bool start)
{
    session = std::make_unique<Session>(frontend, dir.path());
    if (start) {
        // A first start has no QEL.ini; give it one so tests see no start-up report.
        writeFile(QStringLiteral("QEL.ini"), "[QEL]\r\n");
        startUp(*session);
        frontend.boxes.clear();
        session->errorsReported = 0;
    }
}

QString TestSession::readLog() const
{
    return QString::fromUtf8(readBytes(home() + QStringLiteral("QEL.LOG")));
}

QString TestSession::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString path = home() + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeBytes(path, bytes);
}

QString TestSession::makeProjectFolder()
{
    ProjectModel &m = session->model;
    m.ProjectDir = home() + QStringLiteral("site/");
    QDir().mkpath(m.ProjectDir);
    return m.ProjectDir;
}

QelError thrownBy(const std::function<void()> &call)
{
    try {
        call();
    } catch (const QelError &e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return QelError(0);
}

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << path.toStdString();
    return path;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString copyExample(const QString &home, const QString &folder, const QStringList &names)
{
    const QString target = home + folder + u'/';
    QDir().mkpath(target);
    for (const QString &name : names.isEmpty() ? QDir(ExampleDir).entryList(QDir::Files) : names) {
        QFile::remove(target + name);
        QFile::copy(ExampleDir + name, target + name);
        // A copy keeps the source's rights; the tests write over and beside the copies.
        QFile::setPermissions(
            target + name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return target;
}

QByteArray newProjectBytes()
{
    static const QByteArray bytes = [] {
        TestSession t;
        t.session->model.ProjectFile = t.home() + QStringLiteral("new.prj");
        SaveProjectFile(*t.session);
        return readBytes(t.session->model.ProjectFile);
    }();
    return bytes;
}

} // namespace qel::test

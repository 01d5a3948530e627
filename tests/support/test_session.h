#pragma once

#include "core/errors.h"
#include "core/session.h"
#include "support/scripted_frontend.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace qel::test {

// A session in a fresh temporary application folder (QEL_HOME), started as the program starts.
struct TestSession {
    explicit TestSession(bool start = true);

    QString home() const { return dir.path() + u'/'; }
    QString readLog() const;
    // Writes a file below the application folder and returns its full path.
    QString writeFile(const QString &relative, const QByteArray &bytes) const;
    // Makes the project folder site/ below the application folder, sets it as the project's and
    // returns it with its slash.
    QString makeProjectFolder();

    QTemporaryDir dir;
    ScriptedFrontend frontend;
    std::unique_ptr<Session> session;
};

QByteArray readBytes(const QString &path);
// Writes the bytes as the whole file (a test failure when it cannot) and returns its path.
QString writeBytes(const QString &path, const QByteArray &bytes);
// The error the call throws; a test failure, and error 0, when it throws none.
QelError thrownBy(const std::function<void()> &call);

// The bundled example site's folder, and the files of its vector variant (plan and csv tables).
inline const QString ExampleDir = QStringLiteral(QEL_SOURCE_DIR "/examples/");
inline const QStringList VectorExampleFiles = { "alpha-site.prj", "site-plan.dxf", "wells.csv", "levels.csv" };
// Copies the named example files (every one when none are named) into home/folder/ and returns
// that folder with its slash.
QString copyExample(const QString &home, const QString &folder, const QStringList &names = {});
// The project file the program writes for a new, empty project.
QByteArray newProjectBytes();

} // namespace qel::test

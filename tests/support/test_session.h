#pragma once

#include "core/session.h"
#include "support/scripted_frontend.h"

#include <QTemporaryDir>

#include <memory>

namespace qel::test {

// A session in a fresh temporary application folder (QEL_HOME), started as the program starts.
struct TestSession {
    explicit TestSession(bool start = true);

    QString home() const { return dir.path() + u'/'; }
    QString readLog() const;
    // Writes a file below the application folder and returns its full path.
    QString writeFile(const QString &relative, const QByteArray &bytes) const;

    QTemporaryDir dir;
    ScriptedFrontend frontend;
    std::unique_ptr<Session> session;
};

QByteArray readBytes(const QString &path);
// The project file the program writes for a new, empty project.
QByteArray newProjectBytes();

} // namespace qel::test

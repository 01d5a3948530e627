#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace qel::test {

struct QelRun {
    int status = -1; // -1: did not finish in time
    QString out, err;
};

// Runs program with arguments in env and waits for it (two minutes at most).
QelRun runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &env);

// Runs the built qel with the application folder home, offscreen, with extra environment values;
// through the launcher's command line when one is given (another user's rights, say).
QelRun runQel(const QString &home, const QStringList &arguments, const QProcessEnvironment &extra = {},
    const QStringList &launcher = {});

} // namespace qel::test

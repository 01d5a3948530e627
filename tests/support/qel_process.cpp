#include "support/qel_process.h"

#include <QProcess>

namespace qel::test {

QelRun runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    QelRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QelRun runQel(
    const QString &home, const QStringList &arguments, const QProcessEnvironment &extra, const QStringList &launcher)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QEL_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString &key : extra.keys())
        env.insert(key, extra.value(key));
    const QString qel = QStringLiteral(QEL_BINARY_DIR "/bin/qel");
    if (launcher.isEmpty())
        return runProgram(qel, arguments, env);
    return runProgram(launcher.front(), launcher.mid(1) + QStringList { qel } + arguments, env);
}

} // namespace qel::test

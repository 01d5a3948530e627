#include "support/qel_process.h"

#include <QProcess>

namespace qel::test {

QelRun runQel(
    const QString &home, const QStringList &arguments, const QProcessEnvironment &extra, const QStringList &launcher)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QEL_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString &key : extra.keys())
        env.insert(key, extra.value(key));
    process.setProcessEnvironment(env);
    const QString qel = QStringLiteral(QEL_BINARY_DIR "/bin/qel");
    if (launcher.isEmpty())
        process.start(qel, arguments);
    else
        process.start(launcher.front(), launcher.mid(1) + QStringList { qel } + arguments);
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

} // namespace qel::test

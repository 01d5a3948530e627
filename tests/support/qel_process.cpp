#include "support/qel_process.h"

#include <QProcess>

namespace qel::test {

QelRun runQel(const QString &home, const QStringList &arguments, const QProcessEnvironment &extra)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QEL_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString &key : extra.keys())
        env.insert(key, extra.value(key));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QEL_BINARY_DIR "/bin/qel"), arguments);
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

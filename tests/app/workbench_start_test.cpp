// qel runs batch jobs itself and hands every other command line to the workbench program beside
// it: the workbench must come up in qel's own process, and a missing or misused workbench must
// say so rather than fail silently.
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace qel::test;

namespace {

const QString BinaryDir = QStringLiteral(QEL_BINARY_DIR "/bin/");

QProcessEnvironment offscreen()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

} // namespace

TEST(WorkbenchStart, QelBecomesTheWorkbenchInItsOwnProcess)
{
    const TestSession t;
    QProcess process;
    QProcessEnvironment env = offscreen();
    env.insert("QEL_HOME", t.home());
    process.setProcessEnvironment(env);
    process.start(BinaryDir + "qel", QStringList {});
    ASSERT_TRUE(process.waitForStarted());
    const QString exe = QStringLiteral("/proc/%1/exe").arg(process.processId());
    QString running;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000 && process.state() == QProcess::Running) {
        running = QFileInfo(exe).symLinkTarget();
        if (running.endsWith("/qel-workbench"))
            break;
        QThread::msleep(20);
    }
    const bool stillRunning = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished();
    EXPECT_TRUE(running.endsWith("/qel-workbench")) << running.toStdString();
    EXPECT_TRUE(stillRunning) << process.readAllStandardError().toStdString();
}

TEST(WorkbenchStart, RefusalsAreSaid)
{
    const TestSession t;
    // A qel copied away from its workbench.
    const QString folder = QDir(t.home()).filePath("alone");
    const QString alone = folder + "/qel";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(BinaryDir + "qel", alone));
    const struct {
        const char *name;
        QString program;
        QStringList arguments;
        int status;
        QString said;
    } cases[] = {
        { "workbench missing", alone, { "site.prj" }, 1,
            "qel: cannot start the workbench " + folder + "/qel-workbench: No such file" },
        { "batch given to the workbench", BinaryDir + "qel-workbench", { "--batch", "site.prj" }, 2,
            "qel: a batch run is started as qel --batch" },
        { "usage error stays with qel", alone, { "--results", "x" }, 2, "usage: qel [PROJECT.prj]" },
    };
    for (const auto &c : cases) {
        const QelRun done = runProgram(c.program, c.arguments, offscreen());
        EXPECT_EQ(done.status, c.status) << c.name << ": " << done.err.toStdString();
        EXPECT_TRUE(done.err.contains(c.said)) << c.name << ": " << done.err.toStdString();
    }
}

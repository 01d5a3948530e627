// A save killed at any moment leaves either the previous file or the new one, never a mixture.
#include "core/whole_file.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace qel;

namespace {

// Starts a child that saves `bytes` over path and kills it `delay` after it began the write.
// Returns true when the child was killed (rather than having finished first).
bool killDuringSave(const QString &path, const QByteArray &bytes, std::chrono::microseconds delay)
{
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        const char go = 'g';
        (void)!write(ready[1], &go, 1);
        writeWholeFile(path, bytes);
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    (void)!read(ready[0], &go, 1);
    close(ready[0]);
    std::this_thread::sleep_for(delay);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

} // namespace

TEST(WholeFile, KillDuringSaveLeavesOldOrNewFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("site.prj"));
    const QByteArray previous = QByteArray("[Project]\r\nold contents\r\n").repeated(1000);
    // Large enough that the write lasts far longer than the earliest kills.
    const QByteArray next(256 * 1024 * 1024, 'n');

    int killedMidway = 0;
    for (const int delayMs : { 0, 1, 5, 20, 60, 150 }) {
        ASSERT_TRUE(writeWholeFile(path, previous).written);
        const bool killed = killDuringSave(path, next, std::chrono::milliseconds(delayMs));
        const QByteArray now = qel::test::readBytes(path);
        if (killed && now == previous)
            ++killedMidway;
        EXPECT_TRUE(now == previous || now == next)
            << "after a kill at " << delayMs << " ms the file holds " << now.size() << " bytes";
        // Nothing but the project file is left in the folder.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "site.prj" })
            << "after a kill at " << delayMs << " ms";
    }
    EXPECT_GT(killedMidway, 0) << "no kill landed during a write";
}

// A large file is replaced whole like a small one, keeps its permissions, and is gone from the
// folder once replaced: freeing it is left to another thread.
TEST(WholeFile, ReplacesSmallAndLargeFilesAlike)
{
    for (const qsizetype oldSize : { qsizetype(100), qsizetype(3) << 20 }) {
        SCOPED_TRACE(oldSize);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("QELResults.out"));
        ASSERT_TRUE(writeWholeFile(path, QByteArray(oldSize, 'o')).written);
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        for (const qsizetype newSize : { qsizetype(10), qsizetype(2) << 20 }) {
            const QByteArray next(newSize, 'n');
            ASSERT_TRUE(writeWholeFile(path, next).written);
            EXPECT_EQ(qel::test::readBytes(path), next);
        }
        const QFileDevice::Permissions readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner
            | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
        EXPECT_EQ(QFile::permissions(path) & readWrite, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "QELResults.out" });
    }
}

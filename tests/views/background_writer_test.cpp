#include "core/errors.h"
#include "support/test_session.h"
#include "views/gis_staging.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace qel;
using namespace qel::test;

namespace {

QByteArray content(int i)
{
    return QByteArray(1024 * 1024 + i, char('a' + i % 26)); // more than the queue holds, all told
}

// Files handed over from several threads at once all arrive whole, replacing older copies.
TEST(BackgroundWriter, WritesEveryFileHandedOver)
{
    QTemporaryDir dir;
    const auto path = [&](int i) { return dir.filePath(QStringLiteral("f%1.bin").arg(i)); };
    writeBytes(path(3), "the old copy");
    constexpr int Threads = 4, PerThread = 20;
    {
        BackgroundWriter writer;
        std::vector<std::thread> threads;
        for (int t = 0; t < Threads; ++t)
            threads.emplace_back([&, t] {
                for (int i = t * PerThread; i < (t + 1) * PerThread; ++i)
                    writer.write(path(i), content(i));
            });
        for (std::thread &t : threads)
            t.join();
        writer.finish();
    }
    for (int i = 0; i < Threads * PerThread; ++i)
        EXPECT_EQ(readBytes(path(i)), content(i)) << i;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), Threads * PerThread);
}

// A file that cannot be written fails the writing: finish and every later hand-over raise its
// error, and the files queued behind it are not written.
TEST(BackgroundWriter, ReportsTheFirstFailure)
{
    QTemporaryDir dir;
    BackgroundWriter writer;
    const QString missing = dir.filePath(QStringLiteral("no such folder/a.asc"));
    writer.write(missing, "x");
    try {
        writer.finish();
        ADD_FAILURE() << "no error";
    } catch (const QelError &e) {
        EXPECT_EQ(e.number(), ErrPathNotFound);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Cannot write ") + missing)) << e.what();
    }
    EXPECT_THROW(writer.write(dir.filePath(QStringLiteral("b.asc")), "y"), QelError);
    EXPECT_THROW(writer.finish(), QelError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("b.asc"))));
}

// Stopping drops what is queued (how much of it was written by then varies) and leaves nothing
// half written; the writer can go on after.
TEST(BackgroundWriter, StopWritesNothingMore)
{
    QTemporaryDir dir;
    BackgroundWriter writer;
    for (int i = 0; i < 30; ++i)
        writer.write(dir.filePath(QStringLiteral("f%1.bin").arg(i)), content(i));
    writer.stop();
    const QStringList written = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : written)
        EXPECT_EQ(readBytes(dir.filePath(name)), content(name.mid(1).chopped(4).toInt())) << name.toStdString();
    writer.write(dir.filePath(QStringLiteral("after.bin")), "after");
    writer.finish();
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("after.bin"))), "after");
}

} // namespace

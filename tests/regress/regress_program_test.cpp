// The regress program run as QEL runs it: the columns of its dates counted as they always were
// (UTF-16 units, cut at 21 in regress.out), and the files it cannot write named.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct RegressRun {
    int status = -1;
    QByteArray error;
};

RegressRun runRegress(const QString &folder, const QStringList &outputs)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(QEL_BINARY_DIR "/bin/regress"), QStringList { QStringLiteral("in.dat") } + outputs);
    process.waitForFinished(60000);
    return { process.exitCode(), process.readAllStandardError() };
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeInput(const QString &folder, const QString &date)
{
    QFile in(QDir(folder).filePath(QStringLiteral("in.dat")));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write(
        (QStringLiteral(" 3 1 \r\n'") + date + QStringLiteral("' \r\n'a' 0 0 10\r\n'b' 100 0 9\r\n'c' 0 100 11\r\n"))
            .toUtf8());
}

} // namespace

TEST(RegressProgram, DateColumnsCountedInUtf16Units)
{
    const QString dates[] = { QStringLiteral("15 Jan 2019"), QStringLiteral("\u00E9t\u00E9 2019 \u20AC"),
        QStringLiteral("a date far longer than its column"), QStringLiteral("0123456789abc\U0001F600"),
        QStringLiteral("0123456789ab\U0001F600"), QStringLiteral("%1 %2") };
    for (const QString &date : dates) {
        SCOPED_TRACE(date.toStdString());
        QTemporaryDir dir;
        writeInput(dir.path(), date);
        ASSERT_EQ(runRegress(dir.path(), { "final.out", "regress.out", "results.out" }).status, 0);
        const QList<QByteArray> regress = readAll(dir.filePath(QStringLiteral("regress.out"))).split('\n');
        ASSERT_GE(regress.size(), 2);
        const QByteArray label
            = QStringLiteral("%1 '").arg(1, 4).append(date).append(u'\'').leftJustified(21, u' ', true).toUtf8();
        EXPECT_TRUE(regress[1].startsWith(label)) << regress[1].toStdString();
        const QByteArray final = readAll(dir.filePath(QStringLiteral("final.out")));
        EXPECT_TRUE(final.contains((QStringLiteral("Sample 1, ") + date + QStringLiteral(": 3 wells\r\n")).toUtf8()));
        EXPECT_TRUE(final.contains(
            (QStringLiteral("%1  ").arg(1, 6) + date.leftJustified(20) + QStringLiteral(" %1  ").arg(3, 6)).toUtf8()));
        EXPECT_TRUE(
            readAll(dir.filePath(QStringLiteral("results.out"))).contains(("1\t" + date + "\ta\t0\t0\t10\t").toUtf8()));
    }
}

TEST(RegressProgram, NamesTheFileItCannotWriteAndKeepsThoseBefore)
{
    const QStringList names { "final.out", "regress.out", "results.out" };
    for (int missing = 0; missing < 3; ++missing) {
        SCOPED_TRACE(missing);
        QTemporaryDir dir;
        writeInput(dir.path(), QStringLiteral("15 Jan 2019"));
        QStringList outputs = names;
        outputs[missing] = QStringLiteral("missing/") + names[missing];
        const RegressRun run = runRegress(dir.path(), outputs);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.error, "regress: cannot write " + outputs[missing].toUtf8() + "\n");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(QFile::exists(dir.filePath(names[i])), i < missing) << names[i].toStdString();
        if (missing > 0) {
            EXPECT_TRUE(readAll(dir.filePath(names[0])).startsWith("Linear regression of water levels"));
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1 + missing) << "no temporary file left behind";
    }
}

// Many wells, so that their lines are read in pieces on several threads: of two bad lines, the
// first is named, and the results are those of reading on one thread.
TEST(RegressProgram, ManyWellsReadInPieces)
{
    QTemporaryDir dir;
    const auto input = [](int badLine) {
        QByteArray text = " 700 2 \r\n'1 Jan 2020' '2 Feb 2020' \r\n";
        for (int j = 0; j < 700; ++j) {
            const int line = j + 3;
            text += "'W" + QByteArray::number(j) + "' " + QByteArray::number(j % 37) + ' ' + QByteArray::number(j / 37)
                + ' ' + QByteArray::number(10 + 0.01 * (j % 37) - 0.02 * (j / 37))
                + (line == badLine || line == 650 ? " x" : " 9.5") + "\r\n";
        }
        return text;
    };
    const auto write = [&](const QByteArray &text) {
        QFile in(QDir(dir.path()).filePath(QStringLiteral("in.dat")));
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write(text);
    };
    write(input(40));
    const RegressRun refused = runRegress(dir.path(), { "final.out", "regress.out", "results.out" });
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.error, "regress: in.dat: line 40: \"x\" is not a number\r\n");
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("final.out"))).contains("line 40"));

    QByteArray good = input(0);
    good.replace(" x\r\n", " 9.5\r\n");
    write(good);
    ASSERT_EQ(runRegress(dir.path(), { "final.out", "regress.out", "results.out" }).status, 0);
    const QList<QByteArray> lines = readAll(dir.filePath(QStringLiteral("results.out"))).split('\n');
    ASSERT_EQ(lines.size(), 1 + 2 * 700 + 1);
    for (int j = 0; j < 700; ++j) {
        EXPECT_TRUE(lines[1 + j].startsWith("1\t1 Jan 2020\tW" + QByteArray::number(j) + '\t')) << j;
        EXPECT_TRUE(lines[1 + 700 + j].startsWith("2\t2 Feb 2020\tW" + QByteArray::number(j) + '\t')) << j;
    }
}

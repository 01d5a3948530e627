// Bad input of every kind a site brings, through `qel --batch` as a user runs it: each case gets
// its own report and exit status, nothing crashes, and the project file is never changed. A
// project file that does not open, or whose base map is gone, is tests/core/batch_test.cpp's.
#include "support/qel_process.h"
#include "support/test_session.h"
#include "support/write_limit.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A copy of the example's vector variant, and the environment of the run, for a case to spoil.
struct Site {
    const TestSession &t;
    QString dir;
    QProcessEnvironment env;

    void write(const char *file, const QByteArray &bytes) const { writeBytes(dir + QLatin1String(file), bytes); }
    void replace(const char *file, const QByteArray &from, const QByteArray &to) const
    {
        QByteArray bytes = readBytes(dir + QLatin1String(file));
        ASSERT_TRUE(bytes.contains(from)) << file << " lacks " << from.toStdString();
        write(file, bytes.replace(from, to));
    }
    void prj(const QByteArray &from, const QByteArray &to) const { replace("alpha-site.prj", from, to); }
    // Runs a shell script in place of the regress program.
    void regress(const QString &name, const QByteArray &body)
    {
        const QString path = t.writeFile("bin/" + name, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("QEL_REGRESS", path);
    }
};

QByteArray manyWells(int count)
{
    QByteArray bytes = "WellID,X,Y\r\n";
    for (int i = 0; i < count; ++i)
        bytes += "W" + QByteArray::number(i) + ',' + QByteArray::number(i % 500) + ".5," + QByteArray::number(i % 400)
            + ".25\r\n";
    return bytes;
}

} // namespace

TEST(MalformedInput, EveryCaseGetsItsReportAndStatus)
{
    const struct {
        const char *name;
        std::function<void(Site &)> spoil;
        int status;
        QStringList reports; // each must appear on stderr
        QStringList outputs = {}; // options asked of the run, each with a file in the site folder
        QStringList absent = {}; // reports that must not appear
        const char *folder = "site";
    } cases[] = {
        // The refused grid is the one report: nothing after it has results to work on.
        { "401 grid rows, with outputs asked for", [](Site &s) { s.prj("PCGridSpacing= 2.5 ", "PCGridSpacing= 1 "); },
            1,
            { "Number of Y grids (401) exceeds the maximum (400)",
                "--results wrote nothing: the project has no analytical results. Run the analytical solution "
                "first.",
                "--export-wolf wrote nothing" },
            { "--results", "--export-wolf", "--map" }, { "Subscript out of range" } },
        // Warned about as the reader finds it; the plot limits then size the grid from its spacing.
        { "a grid count below zero", [](Site &s) { s.prj("PCNumX= 201 ", "PCNumX= -5 "); }, 0,
            { "Number of X grids (-5) exceeds the maximum (400)" }, { "--export-wolf" }, { "max_size" } },
        { "empty header cell", [](Site &s) { s.replace("wells.csv", "WellID,X,Y", "WellID,,Y"); }, 1,
            { "QEL(Wells:ReadData): 3265:", "The table wells has no field X." } },
        { "a date as text", [](Site &s) { s.replace("levels.csv", "\r\n2023-03-15,", "\r\nMarch fifteenth,"); }, 1,
            { "QEL(Wldata:ReadData): 13:", "is not a date: \"March fifteenth\"" } },
        { "100000 wells", [](Site &s) { s.write("wells.csv", manyWells(100000)); }, 1,
            { "Number of wells (100000) exceeds the maximum (1000)",
                "The well locations could not be read again: the water levels and the analyses that need them were "
                "not replayed." },
            {}, { "is not found in the well locations list", "Subscript out of range" } },
        // Found after the results report began, which is finished and said before the error.
        { "six levels in a contour view", [](Site &s) { s.prj("PCNumLevels= 5 ", "PCNumLevels= 6 "); }, 1,
            { "QEL(ReadProjectFile): Error (9). Source: PCNumLevels. Subscript out of range" } },
        { "unknown table", [](Site &s) { s.prj("DataTable=levels", "DataTable=nosuch"); }, 1,
            { "QEL(Wldata:ReadData): 3011:", "holds no table nosuch" } },
        { "quotes and spaces in the folder", [](Site &) {}, 0, {}, {}, {}, "it's a \"site\" folder" },
        { "regress crashes", [](Site &s) { s.regress("crash", "kill -SEGV $$"); }, 1,
            { "QEL(RunRegress): 5: \nThe regression program crashed." } },
        { "regress hangs",
            [](Site &s) {
                s.regress("hang", "exec sleep 60");
                s.env.insert("QEL_REGRESS_TIME_LIMIT", "2");
            },
            1, { "The regression program did not finish within 2 seconds and was stopped." } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t(false);
        Site site { t, copyExample(t.home(), QString::fromUtf8(c.folder), VectorExampleFiles), {} };
        c.spoil(site);
        const QByteArray project = readBytes(site.dir + "alpha-site.prj");
        QStringList arguments { "--batch", site.dir + "alpha-site.prj" };
        for (const QString &option : c.outputs)
            arguments << option << site.dir + option.mid(2) + (option == "--map" ? ".png" : ".txt");
        const QelRun run = runQel(t.home(), arguments, site.env);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        for (const QString &report : c.reports)
            EXPECT_TRUE(run.err.contains(report)) << "missing: " << report.toStdString() << "\n"
                                                  << run.err.toStdString();
        for (const QString &report : c.absent)
            EXPECT_FALSE(run.err.contains(report)) << "follow-on report: " << report.toStdString() << "\n"
                                                   << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("Sanitizer")) << run.err.toStdString();
        EXPECT_EQ(readBytes(site.dir + "alpha-site.prj"), project) << "the project file was changed";
    }
}

TEST(MalformedInput, AFullDiskKeepsTheProjectItWouldReplace)
{
    TestSession t(false);
    t.writeFile("QEL.ini", "[QEL]\r\n");
    const QString site = copyExample(t.home(), "site", VectorExampleFiles);
    const QString target = t.writeFile("site/saved.prj", "an older project\r\n");
    QelRun run;
    {
        WriteLimit disk(1000); // smaller than the project file; the child process inherits it
        run = runQel(t.home(), { "--batch", site + "alpha-site.prj", "--save-as", target });
    }
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("QEL(SaveProjectFile)")) << run.err.toStdString();
    EXPECT_EQ(readBytes(target), "an older project\r\n");
    EXPECT_EQ(
        QDir(site).entryList({ "*.prj*" }, QDir::Files | QDir::Hidden), QStringList({ "alpha-site.prj", "saved.prj" }))
        << "no half-written file is left behind";
}

// A project folder the user may read but not write: the run says what it could not write, exits 1
// and leaves the folder as it was. Root writes anywhere, so as root the run is made as nobody.
TEST(MalformedInput, AReadOnlyProjectFolderIsReportedAndLeftAsItWas)
{
    TestSession t(false);
    const QString site = copyExample(t.home(), "site", VectorExampleFiles);
    const QString app = t.home() + "app/";
    QDir().mkpath(app);
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(t.home(), everyone);
    QFile::setPermissions(app, everyone | QFile::WriteGroup | QFile::WriteOther);
    for (const QString &name : VectorExampleFiles)
        QFile::setPermissions(site + name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(site,
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    const QStringList asNobody = geteuid() == 0
        ? QStringList { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--" }
        : QStringList {};
    if (!asNobody.isEmpty()) {
        const QString qel = QStringLiteral(QEL_BINARY_DIR "/bin/qel");
        if (QProcess::execute(asNobody.front(),
                asNobody.mid(1) + QStringList { "test", "-r", site + "alpha-site.prj", "-a", "-x", qel })
            != 0)
            GTEST_SKIP() << "nobody cannot reach " << site.toStdString() << " or run " << qel.toStdString();
    }
    const QStringList before = QDir(site).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    const QelRun run
        = runQel(app, { "--batch", site + "alpha-site.prj", "--save-as", site + "saved.prj" }, {}, asNobody);
    QFile::setPermissions(site, everyone | QFile::WriteOwner); // so that the folder can be removed
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(
        "QEL(CreateTempPathIfNeeded): 75: \nPath/File access error: the folder " + site + "Temp cannot be made"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("wrote nothing")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Sanitizer")) << run.err.toStdString();
    EXPECT_EQ(QDir(site).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(readBytes(site + "alpha-site.prj"), readBytes(ExampleDir + "alpha-site.prj"));
}

// What a project keeps in its folder: saved under a new name in another folder it must still find
// its base map, tables and layers, in the saved file and in the session that saved it; and the
// layer files of a session go when the session or the project ends.
#include "core/file_commands.h"
#include "core/paths.h"
#include "core/project_open.h"
#include "map/map_session.h"
#include "support/qel_process.h"
#include "support/test_session.h"
#include "views/layer_redraw.h"
#include "views/workflow_replay.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// The stored value of key in the project file's bytes.
QString storedValue(const QByteArray &project, const QByteArray &key)
{
    for (const QByteArray &line : project.split('\n'))
        if (line.startsWith(key + '='))
            return QString::fromUtf8(line.mid(key.size() + 1).trimmed());
    return {};
}

} // namespace

TEST(MovedProject, OpensAndGivesTheSameGridsInASiblingAChildAndAParentFolder)
{
    const TestSession t;
    const QString site = copyExample(t.home(), QStringLiteral("projects/site"), VectorExampleFiles);
    const QString original = site + QStringLiteral("alpha-site.prj");
    const auto exportGrids = [&](const QString &project, const QString &stem) {
        const QelRun run = runQel(t.home(),
            { "--batch", project, "--export-mindist", t.home() + stem + "-mindist.txt", "--export-wolf",
                t.home() + stem + "-wolf.txt" });
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return readBytes(t.home() + stem + "-mindist.txt") + readBytes(t.home() + stem + "-wolf.txt");
    };
    const QByteArray grids = exportGrids(original, QStringLiteral("original"));
    ASSERT_FALSE(grids.isEmpty());

    const struct {
        const char *name;
        QString project;
        QString baseMapFile, dataPath; // as stored
    } cases[] = {
        { "sibling", t.home() + "projects/other/moved.prj", site + "site-plan.dxf", site },
        { "child", site + "sub/moved.prj", site + "site-plan.dxf", site },
        { "parent", t.home() + "projects/moved.prj", "site/site-plan.dxf", "site/" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(QFileInfo(c.project).path());
        const QelRun save = runQel(t.home(), { "--batch", original, "--save-as", c.project });
        ASSERT_EQ(save.status, 0) << save.err.toStdString();
        const QByteArray saved = readBytes(c.project);
        EXPECT_EQ(storedValue(saved, "BaseMapFile"), c.baseMapFile);
        EXPECT_EQ(storedValue(saved, "DataPath"), c.dataPath);
        EXPECT_TRUE(exportGrids(c.project, QString::fromLatin1(c.name)) == grids) << "the same grids, byte for byte";
    }
    EXPECT_EQ(readBytes(original), readBytes(ExampleDir + "alpha-site.prj")) << "the original stays as it was";
}

// Opening a project makes its folder the current one; a relative output name is still the one the
// user typed where the run began, for every output and for the saved project.
TEST(BatchOutputs, RelativeNamesAreTakenWhereTheRunStarted)
{
    const TestSession t;
    copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    ASSERT_TRUE(QDir(t.home()).mkpath(QStringLiteral("out")));
    const QStringList outputs = { "--save-as", "out/copy.prj", "--results", "out/results.out", "--export-wolf",
        "out/wolf.grd", "--export-mindist", "out/mindist.grd", "--new-wells", "out/new-wells.csv" };
    // The run starts in the folder above the project's, as a user's shell would.
    const QelRun run = runQel(t.home(), QStringList { "--batch", "site/alpha-site.prj" } + outputs, {},
        { "/bin/sh", "-c", "cd \"$QEL_HOME\" && exec \"$0\" \"$@\"" });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    for (int i = 1; i < outputs.size(); i += 2)
        EXPECT_TRUE(QFileInfo(t.home() + outputs[i]).size() > 0) << outputs[i].toStdString();
    EXPECT_FALSE(QFileInfo::exists(t.home() + "site/out")) << "nothing went inside the project folder";
    EXPECT_EQ(storedValue(readBytes(t.home() + "out/copy.prj"), "DataPath"), t.home() + "site/");
}

// A mistyped output name that is one of the project's own files (its file, base map or tables)
// replaces nothing: the run says so and fails. Saving the project over itself is only a save.
TEST(BatchOutputs, NoOutputReplacesAFileTheProjectReads)
{
    const struct {
        const char *option, *file;
        int status;
    } cases[] = {
        { "--results", "wells.csv", 1 },
        { "--export-wolf", "levels.csv", 1 },
        { "--new-wells", "alpha-site.prj", 1 },
        { "--save-as", "site-plan.dxf", 1 },
        { "--save-as", "alpha-site.prj", 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.option) + " " + c.file);
        const TestSession t;
        const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
        const QByteArray before = readBytes(site + c.file);
        const QelRun run = runQel(t.home(), { "--batch", site + "alpha-site.prj", c.option, site + c.file });
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        if (c.status == 0)
            continue;
        EXPECT_EQ(readBytes(site + c.file), before);
        EXPECT_TRUE(run.err.contains(QStringLiteral("%1 wrote nothing: %2 is a file the project reads. Choose another "
                                                    "name.")
                                         .arg(c.option, site + c.file)))
            << run.err.toStdString();
    }
}

TEST(MovedProject, TheSessionThatSavedItKeepsFindingItsFiles)
{
    TestSession t;
    Session &s = *t.session;
    installWorkflowReplay(s);
    qputenv("QEL_REGRESS", QEL_BINARY_DIR "/bin/regress");
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    t.frontend.queueFile(site + QStringLiteral("QELResults.out")); // the report is written again
    ASSERT_TRUE(openProject(s, site + QStringLiteral("alpha-site.prj")));
    const int wells = s.model.NumWells;
    const QString layer = QStringLiteral("Temp/pccont.geojson");
    ASSERT_TRUE(QFileInfo::exists(site + layer));

    // A folder that cannot be written keeps the project where it was, paths and all.
    t.frontend.expectErrors = true;
    EXPECT_FALSE(saveProjectAs(s, t.home() + QStringLiteral("missing/folder/moved.prj")));
    EXPECT_EQ(std::tuple(s.model.ProjectDir, s.model.BaseMapFile, s.model.WEDataPath),
        std::tuple(site, QStringLiteral("site-plan.dxf"), QString()));
    t.frontend.expectErrors = false;

    const QString other = t.home() + QStringLiteral("other/");
    QDir().mkpath(other);
    ASSERT_TRUE(saveProjectAs(s, other + QStringLiteral("moved.prj")));
    EXPECT_EQ(s.model.ProjectDir, other);
    EXPECT_EQ(s.model.BaseMapFile, site + QStringLiteral("site-plan.dxf"));
    EXPECT_TRUE(QFileInfo::exists(other + layer));
    EXPECT_FALSE(QFileInfo::exists(site + layer)) << "the layers moved with the project";

    // The map redraws from the new folder, and the tables are read again from where they are.
    Redraw(s, 0); // an error box would fail the test
    s.model.RunMode = QStringLiteral("Batch"); // the wizard reads its table again without a window
    s.replay().rereadWells();
    s.model.RunMode.clear();
    EXPECT_TRUE(s.model.WEDone);
    EXPECT_EQ(s.model.NumWells, wells);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Warning).isEmpty());
}

TEST(MovedProject, StoredPathsAreWrittenAfreshForTheNewFolder)
{
    const struct {
        const char *stored, *from, *to, *expected;
    } cases[] = {
        { "map.dxf", "/a/site/", "/a/", "site/map.dxf" }, { "", "/a/site/", "/a/", "site/" },
        { "data/", "/a/site/", "/a/site/sub/", "/a/site/data/" },
        { "/a/site/sub/w.csv", "/a/site/", "/a/site/sub/", "w.csv" }, { "../x/w.csv", "/a/site/", "/b/", "/a/x/w.csv" },
        { "/A/site/w.csv", "/b/", "/a/", "/A/site/w.csv" }, // another folder on this system
    };
    for (const auto &c : cases)
        EXPECT_EQ(storedPathFor(c.stored, c.from, c.to), c.expected) << c.stored << " to " << c.to;
}

TEST(ProjectFolder, NoLayerFileIsLeftAfterExitCloseOrNew)
{
    const struct {
        const char *command;
        std::function<void(TestSession &)> run;
    } cases[] = {
        { "Exit", [](TestSession &t) { formUnload(*t.session); } },
        { "Close", [](TestSession &t) { fileClose(*t.session); } },
        { "New",
            [](TestSession &t) {
                t.frontend.answers.push_back(MsgAnswer::Cancel); // no file for the new project yet
                fileNew(*t.session);
            } },
    };
    qputenv("QEL_REGRESS", QEL_BINARY_DIR "/bin/regress");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        TestSession t;
        installWorkflowReplay(*t.session);
        const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
        t.frontend.queueFile(site + QStringLiteral("QELResults.out"));
        ASSERT_TRUE(openProject(*t.session, site + QStringLiteral("alpha-site.prj")));
        ASSERT_FALSE(QDir(site + QStringLiteral("Temp")).entryList(QDir::Files).isEmpty());
        c.run(t);
        EXPECT_EQ(QDir(site + QStringLiteral("Temp")).entryList(QDir::Files), QStringList());
        EXPECT_TRUE(QFileInfo(site + QStringLiteral("Temp")).isDir()) << "the folder itself stays";
    }
}

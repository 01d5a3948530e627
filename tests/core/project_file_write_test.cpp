#include "project_file_test_models.h"

#include "core/project_file.h"
#include "support/write_limit.h"

#include <QDir>

#include <gtest/gtest.h>

#include <optional>

using namespace qel;
using namespace qel::test;

namespace {

// A started session whose model is ready to be saved under site/<name>.
void prepareSave(TestSession &t, const QString &name, void (*fill)(ProjectModel &))
{
    ProjectModel &m = t.session->model;
    fill(m);
    m.ProjectFile = projectFolder(t) + name;
    m.ProjectDir = projectFolder(t);
    m.ProjectChanged = true;
    m.ProjectStatus = QStringLiteral("Read");
}

} // namespace

// Each save goes over a longer older file, which it replaces whole.
TEST(ProjectFileWrite, GoldenFilesByteForByteAndTheProjectIsSaved)
{
    for (const GoldenCase &c : goldenCases()) {
        SCOPED_TRACE(c.file);
        TestSession t;
        prepareSave(t, QLatin1String(c.file), c.fill);
        const QString path
            = t.writeFile(QStringLiteral("site/") + QLatin1String(c.file), goldenBytes("full-raster.prj") + "older");
        ASSERT_TRUE(SaveProjectFile(*t.session));
        EXPECT_EQ(readBytes(path), goldenBytes(QLatin1String(c.file)));

        const ProjectModel &m = t.session->model;
        EXPECT_FALSE(m.ProjectChanged);
        EXPECT_EQ(m.ProjectStatus, "Saved");
        EXPECT_EQ(t.frontend.panelStatus, "File saved.");
        EXPECT_EQ(t.frontend.messageLines, QStringList { QStringLiteral("Saved project file: ") + path });
        EXPECT_TRUE(t.readLog().contains("Saving project file:\r\n" + path + "\r\n"));
        EXPECT_EQ(t.session->errorsReported, 0);
    }
}

TEST(ProjectFileWrite, AFailedSaveChangesNothing)
{
    struct Case {
        const char *name;
        bool diskFull;
        const char *errorStart;
    };
    const Case cases[] = {
        { "folder missing", false, "QEL(SaveProjectFile): 76: \n" },
        { "disk full", true, "QEL(SaveProjectFile): 75: \n" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t;
        prepareSave(t, QStringLiteral("x.prj"), fillFullRaster);
        ProjectModel &m = t.session->model;
        const QByteArray old = "!QEL Project Data\r\nBuild=20040225\r\n";
        m.ProjectFile = c.diskFull ? t.writeFile(QStringLiteral("full/x.prj"), old)
                                   : t.home() + QStringLiteral("no/such/folder/x.prj");
        {
            std::optional<WriteLimit> full;
            if (c.diskFull)
                full.emplace(512); // the new file is several times larger
            EXPECT_FALSE(SaveProjectFile(*t.session));
        }
        EXPECT_TRUE(m.ProjectChanged);
        EXPECT_EQ(m.ProjectStatus, "Read");
        EXPECT_TRUE(t.session->ErrorText.startsWith(QLatin1String(c.errorStart))) << t.session->ErrorText.toStdString();
        EXPECT_EQ(t.session->errorsReported, 1);
        EXPECT_FALSE(t.frontend.busy);
        EXPECT_NE(t.frontend.panelStatus, "File saved.");
        if (c.diskFull) {
            EXPECT_EQ(readBytes(m.ProjectFile), old);
            EXPECT_EQ(QDir(t.home() + QStringLiteral("full")).entryList(QDir::Files), QStringList { "x.prj" })
                << "no temporary left";
        }
    }
}

TEST(ProjectFileWrite, LineBreaksInsideAValueDoNotSplitTheLine)
{
    TestSession t;
    prepareSave(t, QStringLiteral("title.prj"), fillScaleCalibration);
    t.session->model.MapTitle = QStringLiteral("\nNorth\r\nplume\r");
    ASSERT_TRUE(SaveProjectFile(*t.session));
    const QByteArray bytes = readBytes(t.session->model.ProjectFile);
    EXPECT_TRUE(bytes.contains("\r\nMapTitle=North  plume\r\nBaseMapType=raster\r\n"));
    ASSERT_TRUE(readProject(t, t.session->model.ProjectFile));
    EXPECT_EQ(t.session->model.BaseMapFile, "scan.tif");
    EXPECT_EQ(t.session->model.MapTitle, "North  plume") << "reopened as written, so it saves the same again";
}

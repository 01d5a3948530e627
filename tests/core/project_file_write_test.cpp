#include "project_file_test_models.h"

#include "core/project_file.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(t.session->errorsReported, 0);
    }
}

// A full disk keeping the old file and leaving no temporary is MalformedInput's, through the program.
TEST(ProjectFileWrite, AFailedSaveChangesNothing)
{
    TestSession t;
    t.frontend.expectErrors = true;
    prepareSave(t, QStringLiteral("x.prj"), fillFullRaster);
    ProjectModel &m = t.session->model;
    m.ProjectFile = t.home() + QStringLiteral("no/such/folder/x.prj");
    EXPECT_FALSE(SaveProjectFile(*t.session));
    EXPECT_TRUE(m.ProjectChanged);
    EXPECT_EQ(m.ProjectStatus, "Read");
    EXPECT_TRUE(t.session->ErrorText.startsWith(QLatin1String("QEL(SaveProjectFile): 76: \n")))
        << t.session->ErrorText.toStdString();
    EXPECT_EQ(t.session->errorsReported, 1);
    EXPECT_FALSE(t.frontend.busy);
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

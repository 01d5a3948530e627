#include "core/paths.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(Paths, RelativePathAndFolderOfAFile)
{
    TestSession t;
    t.session->model.ProjectDir = "/sites/alpha/";
    const struct {
        const char *path, *expected;
    } cases[] = {
        { "/sites/alpha/maps/base.bmp", "maps/base.bmp" },
        { "/SITES/ALPHA/maps/base.bmp", "/SITES/ALPHA/maps/base.bmp" }, // another folder here
        { "/other/base.bmp", "/other/base.bmp" },
        { "/sites/alpha/", "" },
        { "maps/base.bmp", "maps/base.bmp" },
        { "/sites/alphabet/x", "/sites/alphabet/x" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(RelativePath(*t.session, c.path), c.expected) << c.path;
    EXPECT_EQ(fromStoredPath("maps\\base.bmp"), "maps/base.bmp");
    EXPECT_EQ(PathToDirectory("/Sites/Alpha/site.prj"), "/Sites/Alpha/");
    EXPECT_EQ(PathToDirectory("site.prj"), "");
}

TEST(Paths, TempFolderAndLayerFilesAndAMissingProjectFolder)
{
    TestSession t;
    t.frontend.expectErrors = true;
    Session &s = *t.session;
    s.model.ProjectDir = t.home() + "Site/";
    QDir().mkpath(s.model.ProjectDir);
    ASSERT_TRUE(CreateTempPathIfNeeded(s));
    EXPECT_TRUE(QDir(s.model.ProjectDir + "Temp").exists());
    EXPECT_EQ(QDir::current().absolutePath() + "/", s.model.ProjectDir);

    const QStringList removed = { "WELLS.GEOJSON", "wells.geojson", "PcCont.GeoJson", "wfcont.geojson" };
    const QStringList kept = { "wldata.geojson", "wells.txt", "notes.geojson", "wells.DBF" };
    for (const QString &name : removed + kept)
        t.writeFile("Site/Temp/" + name, "x");
    RemoveTempFiles(s);
    for (const QString &name : removed)
        EXPECT_FALSE(QFile::exists(s.model.ProjectDir + "Temp/" + name)) << name.toStdString();
    for (const QString &name : kept)
        EXPECT_TRUE(QFile::exists(s.model.ProjectDir + "Temp/" + name)) << name.toStdString();
    EXPECT_TRUE(QDir(s.model.ProjectDir + "Temp").exists());

    s.model.ProjectDir = t.home() + "gone/";
    EXPECT_FALSE(CreateTempPathIfNeeded(s));
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_TRUE(t.frontend.boxes[0].text.startsWith("QEL(CreateTempPathIfNeeded): 76: \nPath not found"));
}

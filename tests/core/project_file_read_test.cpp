#include "project_file_test_models.h"

#include "core/project_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace qel;
using namespace qel::test;

namespace {

int missingLines(const QString &log)
{
    return int(log.count(QLatin1String("Missing data for variable ")));
}

} // namespace

// Saving what was read gives the golden bytes again; with the writer's own golden test (the
// filled models give these bytes) this also pins every field the reader stores.
TEST(ProjectFileRead, GoldenFilesReadAndSaveBack)
{
    for (const GoldenCase &c : goldenCases()) {
        SCOPED_TRACE(c.file);
        TestSession t;
        const QString path = placeProject(t, QLatin1String(c.file), goldenBytes(QLatin1String(c.file)));
        ASSERT_TRUE(readProject(t, path));
        ProjectModel &m = t.session->model;
        EXPECT_EQ(m.FileBuild, "20040225");
        EXPECT_EQ(m.ProjectStatus, "Read");
        EXPECT_FALSE(m.ProjectChanged) << "replaying the steps is no change";
        EXPECT_TRUE(m.RunMode.isEmpty());
        EXPECT_EQ(missingLines(t.readLog()), 0);
        EXPECT_TRUE(t.frontend.boxes.empty()) << "no question, warning or error";
        // The reader is one run of work whose bar only moves forward, to the end.
        const std::vector<double> &fractions = t.frontend.progressFractions;
        EXPECT_EQ(t.frontend.progressBegun, 1);
        EXPECT_EQ(t.frontend.progressEnded, 1);
        ASSERT_FALSE(fractions.empty());
        EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
        EXPECT_EQ(fractions.back(), 1);

        m.ProjectFile = path + QStringLiteral(".copy");
        ASSERT_TRUE(SaveProjectFile(*t.session));
        EXPECT_EQ(readBytes(path + QStringLiteral(".copy")), goldenBytes(QLatin1String(c.file)));
    }
}

// Files of older builds: which parts exist and what the reader assumes for the rest.
TEST(ProjectFileRead, OlderBuilds)
{
    const QByteArray full = goldenBytes("full-raster.prj");
    const QByteArray statusSection
        = full.mid(full.indexOf("[Status]"), full.indexOf("[Units]") - full.indexOf("[Status]"));
    const QByteArray legends[] = { "PCLegend=True\r\nPCLegendX= 513000 \r\nPCLegendY= 4187800 \r\n",
        "MDLegend=False\r\nMDLegendX=-12.5 \r\nMDLegendY= 0 \r\n",
        "WFLegend=True\r\nWFLegendX=-1E+15 \r\nWFLegendY=-0.000123 \r\n" };
    const QByteArray decay = "Decay=True\r\nHalfLife= 365.25 \r\n";

    struct Case {
        const char *name;
        QByteArray header; // the lines before the first blank line
        bool status, legends, decayKey;
        QByteArray halfLife; // the HalfLife line of files without a Decay key
        const char *build;
        bool decay;
    };
    const Case cases[] = {
        { "predecessor", "!Marrowgauge Project Data\r\n", false, false, false, "HalfLife= 365.25 \r\n", "20010930",
            true },
        { "blank second line", "!QEL Project Data\r\n  \r\n", false, false, false, "HalfLife= 0 \r\n", "20020528",
            false },
        { "no status section", "!QEL Project Data\r\nBuild=20020730\r\n", false, false, false, "HalfLife= 365.25 \r\n",
            "20020730", true },
        { "no legends", "!QEL Project Data\r\nBuild=20020924\r\n", true, false, false, "HalfLife= 0 \r\n", "20020924",
            false },
        { "no decay key, half-life set", "!QEL Project Data\r\nBuild=20030920\r\n", true, true, false,
            "HalfLife= 365.25 \r\n", "20030920", true },
        { "first build with decay", "!QEL Project Data\r\nBuild=20030921\r\n", true, true, true, {}, "20030921", true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray text = full;
        text.replace(0, text.indexOf("\r\n\r\n") + 2, c.header);
        if (!c.status)
            text.replace(statusSection, "");
        if (!c.legends)
            for (const QByteArray &lines : legends)
                text.replace(lines, "");
        if (!c.decayKey)
            text.replace(decay, c.halfLife);

        TestSession t;
        ASSERT_TRUE(readProject(t, placeProject(t, QStringLiteral("old.prj"), text)));
        const ProjectModel &m = t.session->model;
        EXPECT_EQ(m.FileBuild, c.build);
        EXPECT_EQ(missingLines(t.readLog()), 0) << t.readLog().toStdString();
        EXPECT_EQ(m.Decay, c.decay);
        EXPECT_EQ(m.HalfLife, c.decay ? 365.25 : 0);
        EXPECT_EQ(m.Time, 3650); // the key after the decay lines
        const std::vector<int> mapIndexes = { m.WCMapIndex, m.PCMapIndex, m.MDMapIndex, m.WFMapIndex };
        if (c.status) {
            EXPECT_TRUE(m.UNDone && m.ERDone);
            EXPECT_EQ(mapIndexes, (std::vector<int> { 3, 1, 1, -1 }));
        } else {
            EXPECT_FALSE(m.UNDone || m.WEDone || m.WLDone || m.PLDone || m.TDDone || m.RGDone || m.ANDone);
            EXPECT_FALSE(m.WEmapped || m.PLmapped || m.SLmapped);
            EXPECT_EQ(mapIndexes, (std::vector<int> { -1, -1, -1, -1 }));
        }
        EXPECT_EQ(m.PC.Legend, c.legends);
        EXPECT_EQ(m.WF.LegendX, c.legends ? -1e15 : 0);
        EXPECT_EQ(m.PC.CColor(5), 16711935);
        EXPECT_EQ(m.WF.CMin(1), 1.5e-300);
    }
}

// Single edits of an otherwise valid file, each read without a question or failure. A missing line
// leaves its key at the default, logged, and the line read in its place goes to the next key.
TEST(ProjectFileRead, VariationsThatStillRead)
{
    const struct {
        const char *name;
        bool full; // edits full-raster.prj, else scale-calibration.prj
        QList<QPair<QByteArray, QByteArray>> edits; // {folder}: the project folder, {FOLDER} upper-case
        QStringList missing; // keys logged as missing
        // None: the file reads as the unedited one, so that saving it gives the golden bytes again.
        std::function<void(const ProjectModel &)> check = {};
    } cases[] = {
        { "older paths with backslashes", true,
            { { "BaseMapFile=maps/site.bmp", "BaseMapFile=maps\\site.bmp" }, { "DataPath=data/", "DataPath=data\\" } },
            {} },
        { "absolute paths inside the project folder become relative", true,
            { { "BaseMapFile=maps/site.bmp", "BaseMapFile={folder}maps/site.bmp" },
                { "DataTable=Levels\r\nDataPath=data/", "DataTable=Levels\r\nDataPath={folder}data/" } },
            {} },
        // Folders are compared with regard to case: in upper case it is another folder here.
        { "a folder in other case stays absolute", true,
            { { "DataTable=Levels\r\nDataPath=data/", "DataTable=Levels\r\nDataPath={FOLDER}data/" } }, {},
            [](const ProjectModel &m) { EXPECT_EQ(m.WLDataPath, m.ProjectDir.toUpper() + QStringLiteral("data/")); } },
        { "Latin-1 text", false, { { "MapTitle=Scale calibration", "MapTitle=Gel\xe4nde" } }, {},
            [](const ProjectModel &m) { EXPECT_EQ(m.MapTitle, QStringLiteral("Gel\u00e4nde")); } },
        { "missing point line", false, { { "RasterPoint=-4.75 , -8 \r\n", "" } }, { "RasterPoint" },
            [](const ProjectModel &m) {
                EXPECT_EQ(m.RasterPointX(2), 0);
                EXPECT_EQ(m.RasterScaleDistance, 500); // the pending line was the next key's
                EXPECT_EQ(m.RasterPointX(1), 310.5);
            } },
        { "line feeds only", false, { { "\r\n", "\n" } }, {} },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t;
        const QByteArray folder = projectFolder(t).toUtf8();
        const QString golden = c.full ? QStringLiteral("full-raster.prj") : QStringLiteral("scale-calibration.prj");
        QByteArray text = goldenBytes(golden);
        for (auto [from, to] : c.edits) {
            EXPECT_TRUE(text.contains(from)) << from.toStdString();
            text.replace(from, to.replace("{folder}", folder).replace("{FOLDER}", folder.toUpper()));
        }
        ASSERT_TRUE(readProject(t, placeProject(t, QStringLiteral("v.prj"), text)));
        const QString log = t.readLog();
        EXPECT_EQ(missingLines(log), c.missing.size());
        for (const QString &key : c.missing)
            EXPECT_TRUE(log.contains("Missing data for variable " + key + " in project file. Assigning default value"
                + (key == "RasterPoint" ? "s" : "") + " for now.\r\n")) // a point is a pair of values
                << key.toStdString();
        EXPECT_TRUE(t.frontend.boxes.empty());
        if (c.check) {
            c.check(t.session->model);
            continue;
        }
        EXPECT_TRUE(t.session->model.ProjectChanged) << "saving it writes other bytes than were read";
        t.session->model.ProjectFile += QStringLiteral(".saved");
        ASSERT_TRUE(SaveProjectFile(*t.session));
        EXPECT_EQ(readBytes(t.session->model.ProjectFile), goldenBytes(golden));
    }
}

// A file cut short, of the wrong kind, missing or with too many levels runs through MalformedInput
// and BatchProcess; an overflow of a number's type is read here.
TEST(ProjectFileRead, AnOverflowingNumberStopsTheReadOnce)
{
    TestSession t;
    t.frontend.expectErrors = true;
    const QByteArray text = edited(goldenBytes("scale-calibration.prj"), { { "PCNumX= 101 ", "PCNumX= 40000 " } });
    EXPECT_FALSE(readProject(t, placeProject(t, QStringLiteral("bad.prj"), text)));
    const ProjectModel &m = t.session->model;
    // Reported once; the box and log line made of ErrorText are ReportError's, checked with the reports.
    EXPECT_EQ(t.session->ErrorText, "QEL(ReadProjectFile): Error (6). Source: PCNumX. Overflow");
    EXPECT_EQ(t.session->errorsReported, 1);
    EXPECT_EQ(m.ProjectStatus, "New");
    EXPECT_TRUE(m.RunMode.isEmpty());
    EXPECT_FALSE(t.frontend.busy);
}

TEST(ProjectFileRead, MissingBaseMap)
{
    for (const MsgAnswer answer : { MsgAnswer::No, MsgAnswer::Yes }) {
        const bool yes = answer == MsgAnswer::Yes;
        SCOPED_TRACE(yes ? "Yes" : "No");
        TestSession t;
        t.frontend.expectErrors = true;
        RecordingReplay replay;
        t.session->setReplay(&replay);
        const QByteArray text = edited(
            goldenBytes("scale-calibration.prj"), { { "BaseMapFile=scan.tif", "BaseMapFile=gone\\scan.tif" } });
        t.frontend.answers.push_back(answer);
        EXPECT_EQ(readProject(t, placeProject(t, QStringLiteral("b.prj"), text)), yes);

        const QString question = QStringLiteral("Base map file\n\ngone/scan.tif\n\ndoes not exist. Maybe it has been "
                                                "renamed. Press [Yes] to select the file, [No] to stop.");
        ASSERT_FALSE(t.frontend.boxes.empty());
        EXPECT_EQ(t.frontend.boxes.front().text, question);
        const ProjectModel &m = t.session->model;
        EXPECT_EQ(replay.calls.value(0), yes ? "openBaseMapCommand" : "");
        EXPECT_EQ(m.ProjectStatus, yes ? "Read" : "New");
        EXPECT_EQ(t.session->errorsReported, yes ? 0 : 1);
        if (!yes) {
            EXPECT_EQ(t.session->ErrorText, question);
        }
    }
}

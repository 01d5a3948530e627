#include "project_file_test_models.h"

#include "core/project_file.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

const QString ExampleFile = ExampleDir + "alpha-site.prj";

// The bundled example: every input step done, the regression, the plume run and its report.
void fillAlphaSite(ProjectModel &m)
{
    m.UNDone = true, m.PLDone = true, m.TDDone = true, m.BMDone = m.MSDone = true;
    m.WEDone = m.WLDone = m.SLDone = m.RGDone = m.ANDone = m.ERDone = true;
    m.WEmapped = m.PLmapped = m.SLmapped = true;
    m.WEDataFormat = m.WLDataFormat = QStringLiteral("Text"), m.WEFileExt = m.WLFileExt = QStringLiteral("csv");
    m.WEDataFile = QStringLiteral("wells.csv"), m.WEDataTable = QStringLiteral("wells");
    m.WLDataFile = QStringLiteral("levels.csv"), m.WLDataTable = QStringLiteral("levels");
    m.WellIDField = QStringLiteral("WellID"), m.XField = QStringLiteral("X"), m.YField = QStringLiteral("Y");
    // Water-level contours of the first date and the average plume are drawn; the minimum-distance
    // and WOLF levels are ready but not drawn, so the site map shows one set of bands.
    m.WCDone = m.PCDone = m.MDDone = m.WFDone = true;
    m.WCMapIndex = 1, m.PCMapIndex = 9, m.MDMapIndex = m.WFMapIndex = 0;
    m.DistUnits = QStringLiteral("m"), m.TimeUnits = QStringLiteral("d"), m.ConcUnits = QStringLiteral("ug/L");
    m.MapTitle = QStringLiteral("Alpha Site");
    m.BaseMapType = QStringLiteral("vector"), m.BaseMapFormat = QStringLiteral("dxf");
    m.BaseMapFile = QStringLiteral("site-plan.dxf");
    m.WLMin = 95.5, m.WLMax = 102.5, m.WLInt = 0.5, m.WLLineWidth = 1;
    m.MapLeft = m.PLLeft = m.PCLeft = 0;
    m.MapRight = m.PLRight = m.PCRight = 500;
    m.MapBottom = m.PLBottom = m.PCBottom = 0;
    m.MapTop = m.PLTop = m.PCTop = 400;
    m.SameLimits = true;
    m.PCGridSpacing = 2.5, m.PCNumX = 201, m.PCNumY = 161;
    m.K = 5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = 1, m.RetFactor = 1.5;
    m.Decay = true, m.HalfLife = 730;
    m.Time = 3650, m.Swidth = 20, m.C0 = 1000, m.Xsource = 220, m.Ysource = 312, m.RoundXY = 0.01;

    const struct {
        ContourView *view;
        double min, max;
        int16 width;
        bool useLog;
        std::vector<double> bounds;
        double legendX, legendY;
    } views[] = {
        // The legends stand beside the site plan, right of its frame.
        { &m.PC, 1, 1000, 4, true, { 1, 5, 10, 50, 100, 1000 }, 510, 390 },
        { &m.MD, 0, 150, 1, false, { 0, 25, 50, 100, 150 }, 510, 270 },
        { &m.WF, 0, 2000000, 1, false, { 0, 500000, 1000000, 2000000 }, 510, 160 },
    };
    for (const auto &v : views) {
        ContourView &c = *v.view;
        c.Min = v.min, c.Max = v.max, c.LineWidth = v.width, c.UseLog = v.useLog;
        c.NumLevels = int16(v.bounds.size() - 1);
        for (int i = 1; i <= c.NumLevels; ++i) {
            c.CMin(i) = v.bounds[std::size_t(i - 1)];
            c.CMax(i) = v.bounds[std::size_t(i)];
            c.CColor(i) = ((c.NumLevels - i) % 5) + 1; // the generated colours: the highest level red
        }
        c.Legend = true, c.LegendX = v.legendX, c.LegendY = v.legendY;
    }
}

} // namespace

TEST(ProjectFileExample, IsWhatTheWriterProducesForTheSiteModel)
{
    TestSession t;
    fillAlphaSite(t.session->model);
    t.session->model.ProjectFile = t.home() + QStringLiteral("alpha-site.prj");
    ASSERT_TRUE(SaveProjectFile(*t.session));
    EXPECT_EQ(readBytes(t.session->model.ProjectFile), readBytes(ExampleFile));
}

// Saving it again byte for byte is the batch run's test (BatchProcess).
TEST(ProjectFileExample, ReadingReplaysTheSteps)
{
    TestSession t;
    const QString path = copyExample(t.home(), "site", { "alpha-site.prj", "site-plan.dxf" }) + "alpha-site.prj";
    RecordingReplay replay;
    t.session->setReplay(&replay);
    ASSERT_TRUE(readProject(t, path));
    EXPECT_TRUE(t.frontend.boxes.empty());
    EXPECT_EQ(replay.calls,
        (QStringList { "showBaseMap", "rereadWells", "rereadWaterLevels", "drawPlotLimits", "drawSource",
            "runRegression", "showWaterLevelContours", "runAnalyticalSolution", "exportResults",
            "redrawPlumeContours" }));
}

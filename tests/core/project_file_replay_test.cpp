#include "project_file_test_models.h"

#include "core/project_file.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

// Which steps are replayed, in which order, for the flags of the file; the analyses' flags are
// cleared when their inputs are incomplete. The replay of the whole example in batch mode is
// ExampleReplay's; a refused well table or grid stopping what needs it, MalformedInput's.
TEST(ProjectFileReplay, StepsFollowTheFlags)
{
    struct Case {
        const char *name;
        QList<QPair<QByteArray, QByteArray>> edits; // applied to full-raster.prj
        const char *calls;
        bool rg, an, er;
    };
    const Case cases[] = {
        { "everything done", {},
            "showBaseMap calibrateMap rereadWells rereadWaterLevels drawPlotLimits drawSource runRegression "
            "showWaterLevelContours runAnalyticalSolution exportResults redrawPlumeContours redrawMinDistContours",
            true, true, true },
        { "water levels not read", { { "WLDone=True", "WLDone=False" } },
            "showBaseMap calibrateMap rereadWells drawPlotLimits drawSource", false, false, false },
        { "source not set", { { "SLDone=True", "SLDone=False" } },
            "showBaseMap calibrateMap rereadWells rereadWaterLevels drawPlotLimits drawSource runRegression "
            "showWaterLevelContours",
            true, false, false },
        { "map not open, nothing mapped",
            { { "BMDone=True", "BMDone=False" }, { "PLmapped=True", "PLmapped=False" },
                { "SLmapped=True", "SLmapped=False" }, { "PCMapIndex= 1 ", "PCMapIndex= 0 " },
                { "MDDone=True", "MDDone=False" } },
            "rereadWells rereadWaterLevels runRegression showWaterLevelContours runAnalyticalSolution exportResults",
            true, true, true },
        { "map not calibrated, WOLF on the map",
            { { "MSDone=True", "MSDone=False" }, { "WFMapIndex=-1 ", "WFMapIndex= 1 " } },
            "showBaseMap rereadWells rereadWaterLevels drawPlotLimits drawSource runRegression showWaterLevelContours "
            "runAnalyticalSolution exportResults redrawPlumeContours redrawMinDistContours redrawWolfContours",
            true, true, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray text = edited(goldenBytes(QStringLiteral("full-raster.prj")), c.edits);
        TestSession t;
        RecordingReplay replay;
        t.session->setReplay(&replay);
        ASSERT_TRUE(readProject(t, placeProject(t, QStringLiteral("r.prj"), text)));

        EXPECT_EQ(replay.calls, words(c.calls));
        const ProjectModel &m = t.session->model;
        EXPECT_EQ(m.RGDone, c.rg);
        EXPECT_EQ(m.ANDone, c.an);
        EXPECT_EQ(m.ERDone, c.er);
    }
}

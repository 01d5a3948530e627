#include "views/contour_bands.h"
#include "views/site_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// Levels 1: 0..1 (colour 5), 2: 1..2 (colour 4), 3: 2..3 (white).
ContourView threeLevels()
{
    ContourView v;
    v.NumLevels = 3;
    v.CMin(1) = 0, v.CMax(1) = 1, v.CColor(1) = 5;
    v.CMin(2) = 1, v.CMax(2) = 2, v.CColor(2) = 4;
    v.CMin(3) = 2, v.CMax(3) = 3, v.CColor(3) = 14;
    return v;
}

} // namespace

TEST(ContourBands, RowsBecomeRunsOfOneLevel)
{
    const struct {
        const char *what;
        std::vector<double> row;
        bool skipsNonPositive;
        std::vector<BandRun> runs;
    } cases[] = {
        { "one level: the first to the second-last node", { 1.5, 1.5, 1.5, 1.5 }, false, { { 0, 20, 4 } } },
        { "a single node of another level is a zero-length run", { 1.5, 1.5, 0.5, 1.5, 1.5 }, false,
            { { 0, 10, 4 }, { 20, 20, 5 }, { 30, 30, 4 } } },
        { "the lower bound is exclusive, the upper inclusive", { 1, 1, 2, 2, 2 }, false,
            { { 0, 10, 5 }, { 20, 30, 4 } } },
        { "a zero in the plume ends the run", { 1.5, 1.5, 0, 1.5, 1.5 }, false, { { 0, 10, 4 }, { 30, 30, 4 } } },
        { "a well in the minimum distances does not", { 1.5, 1.5, 0, 1.5, 1.5 }, true, { { 0, 30, 4 } } },
        { "white neither draws nor breaks a run", { 1.5, 2.5, 2.5, 1.5, 1.5 }, false, { { 0, 30, 4 } } },
        { "leading zeros and values above every level start nothing", { 0, 7, 0.5, 0.5, 0.5 }, false,
            { { 20, 30, 5 } } },
        // The open run would be lost when the row ends on a node that passes.
        { "a run open at a last white node ends at the node before", { 1.5, 1.5, 1.5, 2.5 }, false, { { 0, 20, 4 } } },
        { "a run open at a last well ends at the node before", { 1.5, 1.5, 1.5, 0 }, true, { { 0, 20, 4 } } },
    };
    const ContourView levels = threeLevels();
    for (const auto &c : cases)
        EXPECT_EQ(rowBandRuns(levels, c.skipsNonPositive, c.row, 0, 10), c.runs) << c.what;
}

namespace {

struct BandSite : SiteSession {
    BandSite()
    {
        m.PCGridSpacing = 10; // without a model grid, the legend is drawn alone
        m.MapRight = 600, m.MapTop = 600, m.MapTextSize = 10;
        m.ConcUnits = QStringLiteral("ug/L"), m.DistUnits = QStringLiteral("m");
        m.NumSamples = 1;
        m.SampleDate(1) = QDate(2024, 3, 15);
    }
};

} // namespace

// How the bands and the legend look is the example's golden map; here, the corner the legend
// reaches, which placing another legend keeps clear of, and the refusal without a grid spacing.
TEST(ContourBands, TheLegendMarksTheCornerItReaches)
{
    BandSite site;
    site.frontend.expectErrors = true;
    Session &s = site.s;
    ProjectModel &m = s.model;
    m.PC.NumLevels = 5;
    for (int k = 1; k <= 5; ++k)
        m.PC.CMin(k) = k, m.PC.CMax(k) = k + 1, m.PC.CColor(k) = k;
    m.PC.Legend = true, m.PC.LegendX = 0, m.PC.LegendY = 100;
    mapContourBands(s, ContourKind::Plume, 1);
    ASSERT_TRUE(s.ErrorText.isEmpty()) << s.ErrorText.toStdString();
    const ContourLegendBoxes::Corner corner = s.part<ContourLegendBoxes>().of(ContourKind::Plume);
    EXPECT_DOUBLE_EQ(corner.y2, -50);
    EXPECT_DOUBLE_EQ(corner.x2, 0 + 35 + 0.7 * 10 * 7 + 3.0);

    // Swatches are hatched at the grid spacing: without one the legend is refused with its reason.
    m.PCGridSpacing = 0;
    mapContourBands(s, ContourKind::Plume, 1);
    EXPECT_TRUE(s.ErrorText.contains(QStringLiteral("The model grid spacing must be positive to draw a legend.")))
        << s.ErrorText.toStdString();
}

// A point inside another legend offers Retry; the point taken is cut down to the rounding step.
TEST(ContourBands, LocatingALegendInsideAnotherOffersRetry)
{
    BandSite site;
    Session &s = site.s;
    s.model.RoundXY = 0.01;
    s.model.MD.Legend = true, s.model.MD.LegendX = 0, s.model.MD.LegendY = 100;
    s.part<ContourLegendBoxes>().of(ContourKind::MinDist) = { 80, 0 };
    s.model.PC.Legend = true;
    site.frontend.pickAnswers = { QPointF(50, 50), QPointF(300.567, 200.129) };
    site.frontend.answers = { MsgAnswer::Retry };
    locateContourLegend(s, ContourKind::Plume);
    EXPECT_NEAR(s.model.PC.LegendX, 300.56, 1e-9);
    EXPECT_NEAR(s.model.PC.LegendY, 200.12, 1e-9);
    EXPECT_EQ(site.frontend.boxes.size(), 1u);
}

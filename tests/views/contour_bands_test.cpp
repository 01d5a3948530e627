#include "map/layer_file.h"
#include "map/map_session.h"
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
        { "an empty row", {}, false, {} },
    };
    const ContourView levels = threeLevels();
    for (const auto &c : cases)
        EXPECT_EQ(rowBandRuns(levels, c.skipsNonPositive, c.row, 0, 10), c.runs) << c.what;
}

namespace {

struct BandSite : SiteSession {
    BandSite()
    {
        m.PCLeft = 0, m.PCTop = 100, m.PCGridSpacing = 10, m.PCNumX = 3, m.PCNumY = 2;
        m.MapRight = 600, m.MapTop = 600, m.MapTextSize = 10;
        m.ConcUnits = QStringLiteral("ug/L"), m.DistUnits = QStringLiteral("m");
        m.NumSamples = 1;
        m.SampleDate(1) = QDate(2024, 3, 15);
        m.Conc.allocate(3, 2, 2);
        for (int ix = 1; ix <= 3; ++ix)
            for (int iy = 1; iy <= 2; ++iy)
                m.Conc(ix, iy, 1) = m.Conc(ix, iy, 2) = 1.5;
        m.PC = threeLevels();
        m.PC.LineWidth = 2;
    }
    Drawing stored() const { return readLayerFile(m.ProjectDir + QStringLiteral("Temp/pccont.geojson")); }
};

} // namespace

TEST(ContourBands, TheBandsGoIntoTheLayerFileAndTheTree)
{
    BandSite site;
    Session &s = site.s;
    mapContourBands(s, ContourKind::Plume, 2);
    ASSERT_TRUE(s.ErrorText.isEmpty()) << s.ErrorText.toStdString();
    const Drawing d = site.stored();
    ASSERT_EQ(d.entities.size(), 2u) << "one run per row";
    EXPECT_EQ(d.entities[0].points, (std::vector<QPointF> { { 0, 100 }, { 10, 100 } }));
    EXPECT_EQ(d.entities[1].points.front(), QPointF(0, 90));
    EXPECT_EQ(std::pair(d.entities[0].color, d.entities[0].lineWidth), std::pair(4, 2.0));
    // The caption of the drawn date and the ticked, shown layer are checked through the window
    // and the new-project walk.
    EXPECT_EQ(s.model.PCMapIndex, 2);

    clearContourBands(s, ContourKind::Plume);
    EXPECT_TRUE(site.stored().entities.empty());
    const LayerNode &node = s.layers.node(LayerKey::Plumes);
    EXPECT_EQ(std::tuple(node.text, node.enabled), std::tuple(QStringLiteral("Plumes"), false));
    EXPECT_TRUE(drawingOf(s).drawing(PlumesDrawing).entities.empty());
}

TEST(ContourBands, TheLegendStacksItsSwatchesBelowTheTitle)
{
    BandSite site;
    Session &s = site.s;
    ProjectModel &m = s.model;
    m.PCNumX = m.PCNumY = 0; // the legend alone
    m.PC.NumLevels = 5;
    for (int k = 1; k <= 5; ++k)
        m.PC.CMin(k) = k, m.PC.CMax(k) = k + 1, m.PC.CColor(k) = k;
    m.PC.Legend = true, m.PC.LegendX = 0, m.PC.LegendY = 100;
    mapContourBands(s, ContourKind::Plume, 1);
    ASSERT_TRUE(s.ErrorText.isEmpty()) << s.ErrorText.toStdString();
    const Drawing d = site.stored();
    std::vector<double> swatchTops;
    std::vector<QString> labels;
    bool nextIsSwatchTop = false; // each swatch follows the text above it
    for (const Entity &e : d.entities) {
        if (e.kind == EntityKind::Text) {
            labels.push_back(e.text);
            nextIsSwatchTop = true;
        } else if (nextIsSwatchTop && swatchTops.size() < 5) { // the frame follows the last label
            EXPECT_EQ(e.points[1].x() - e.points[0].x(), 20) << "a swatch is 2h wide";
            swatchTops.push_back(e.points[0].y());
            nextIsSwatchTop = false;
        }
    }
    EXPECT_EQ(swatchTops, (std::vector<double> { 80, 55, 30, 5, -20 }));
    EXPECT_EQ(labels.front(), QStringLiteral("Plume (ug/L)"));
    EXPECT_EQ(labels.at(1), QStringLiteral("1. - 2."));
    const ContourLegendBoxes::Corner corner = s.part<ContourLegendBoxes>().of(ContourKind::Plume);
    EXPECT_DOUBLE_EQ(corner.y2, -50);
    EXPECT_DOUBLE_EQ(corner.x2, 0 + 35 + 0.7 * 10 * 7 + 3.0);
    EXPECT_EQ(d.entities.back().points, (std::vector<QPointF> { { 0, -50 }, { 0, 100 } })) << "the frame closes";

    // Swatches are hatched at the grid spacing: without one the legend is refused with its reason.
    m.PCGridSpacing = 0;
    mapContourBands(s, ContourKind::Plume, 1);
    EXPECT_TRUE(s.ErrorText.contains(QStringLiteral("The model grid spacing must be positive to draw a legend.")))
        << s.ErrorText.toStdString();
}

TEST(ContourBands, LocatingALegendInsideAnotherOffersRetry)
{
    const struct {
        const char *what;
        std::vector<std::optional<QPointF>> picks;
        std::vector<MsgAnswer> answers;
        QPointF stored;
        int boxes;
    } cases[] = {
        { "outside: stored, truncated", { QPointF(300.567, 200.129) }, {}, { 300.56, 200.12 }, 0 },
        { "inside, Cancel keeps the point", { QPointF(50, 50) }, { MsgAnswer::Cancel }, { 50, 50 }, 1 },
        { "inside, Retry asks again", { QPointF(50, 50), QPointF(400, 400) }, { MsgAnswer::Retry }, { 400, 400 }, 1 },
        { "aborted: unchanged", { std::nullopt }, {}, { 7, 7 }, 0 },
    };
    for (const auto &c : cases) {
        BandSite site;
        Session &s = site.s;
        s.model.RoundXY = 0.01;
        s.model.MD.Legend = true, s.model.MD.LegendX = 0, s.model.MD.LegendY = 100;
        s.part<ContourLegendBoxes>().of(ContourKind::MinDist) = { 80, 0 };
        s.model.PC.Legend = true, s.model.PC.LegendX = 7, s.model.PC.LegendY = 7;
        site.frontend.pickAnswers.assign(c.picks.begin(), c.picks.end());
        site.frontend.answers.assign(c.answers.begin(), c.answers.end());
        locateContourLegend(s, ContourKind::Plume);
        EXPECT_NEAR(s.model.PC.LegendX, c.stored.x(), 1e-9) << c.what;
        EXPECT_NEAR(s.model.PC.LegendY, c.stored.y(), 1e-9) << c.what;
        EXPECT_EQ(int(site.frontend.boxes.size()), c.boxes) << c.what;
    }
}

#include "analysis/domenico.h"
#include "analysis/plume_grid_ahead.h"
#include "core/number_text.h"
#include "support/test_session.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A 41 x 21 grid of 1-unit spacing from (-10, 10) to (30, -10), the source at the origin, flow
// towards +x on every date, no decay: far behind the front the plume is C0 erf(W / (4 sqrt(aY xr))).
void fillSite(ProjectModel &m, int samples = 2)
{
    m.NumSamples = int16(samples);
    for (int s = 1; s <= samples; ++s)
        m.Magnitude(s) = 0.01, m.Direction(s) = 90;
    m.K = 1, m.Porosity = 0.25, m.RetFactor = 1, m.AlphaX = 1, m.AlphaY = 0.1, m.Decay = false, m.HalfLife = 0;
    m.Time = 1e6, m.Swidth = 4, m.C0 = 100, m.Xsource = 0, m.Ysource = 0;
    m.PCLeft = -10, m.PCTop = 10, m.PCGridSpacing = 1, m.PCNumX = 41, m.PCNumY = 21;
    m.RoundXY = 0.01, m.NumWells = 1, m.WellX(1) = 5, m.WellY(1) = 0;
}

// Model-grid indexes of a point of the grid above.
const auto ixOf = [](double x) { return int(x + 10) + 1; };
const auto iyOf = [](double y) { return int(10 - y) + 1; };

class Plume : public ::testing::Test {
protected:
    void SetUp() override { fillSite(m); }
    double conc(double x, double y, int s = 1) const { return m.Conc(ixOf(x), iyOf(y), s); }

    TestSession t;
    Session &s = *t.session;
    ProjectModel &m = s.model;
};

} // namespace

// On the axis, at distance d from the source, the plume is C0 erf(W / (4 sqrt(aY d))) whichever
// way the water flows; the 90 rows come last so that the checks after the loop see flow to +x.
TEST_F(Plume, FollowsTheClosedFormOnTheAxisIsSymmetricAndDecays)
{
    const struct {
        double direction;
        double x, y; // a node on the plume axis
    } cases[] = { { 0, 0, 5 }, { 180, 0, -5 }, { 270, -5, 0 }, { 90, 10, 0 }, { 90, 1, 0 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.direction);
        m.Direction(1) = m.Direction(2) = c.direction;
        Domenico(s);
        EXPECT_NEAR(conc(c.x, c.y), 100 * std::erf(4 / (4 * std::sqrt(0.1 * std::hypot(c.x, c.y)))), 2e-5);
    }
    ASSERT_TRUE(m.ANDone) << s.ErrorText.toStdString();
    for (double x : { 2.0, 7.0, 25.0 })
        for (double y : { 1.0, 3.0, 8.0 })
            EXPECT_DOUBLE_EQ(conc(x, y), conc(x, -y)) << x << ", " << y;
    for (double y : { -5.0, 0.0, 5.0 }) {
        EXPECT_EQ(conc(0, y), 0) << "on the line through the source across the flow";
        EXPECT_EQ(conc(-4, y), 0) << "up-gradient";
    }
    EXPECT_DOUBLE_EQ(m.ConcMax, conc(1, 0));
    EXPECT_GT(m.ConcMin, 0);
    // A finished run says what it did.
    m.ConcUnits = QStringLiteral("ug/L");
    t.frontend.messageLines.clear();
    Domenico(s);
    EXPECT_EQ(t.frontend.messageLines,
        QStringList { QStringLiteral("Plume computed for %1 sample dates and their average on 41 x 21 nodes; peak "
                                     "concentration %2 ug/L.")
                          .arg(m.NumSamples)
                          .arg(significantText(m.ConcMax, 4)) });
}

// The grid an opening makes ahead of the run: zeroed, taken once by a run of its sizes, never by
// one of other sizes, and not made at all for a grid the run refuses.
TEST_F(Plume, AGridMadeAheadIsZeroedTakenOnceAndOnlyWhenItFits)
{
    const auto valuesOf
        = [](ConcentrationGrid &grid) { return std::vector<double>(grid.values().begin(), grid.values().end()); };
    Domenico(s);
    ASSERT_TRUE(m.ANDone);
    const std::vector<double> plain = valuesOf(m.Conc);

    preparePlumeGrid(s);
    ConcentrationGrid made;
    ASSERT_TRUE(takePlumeGrid(s, plumeGridShape(m), made));
    EXPECT_TRUE(std::all_of(made.values().begin(), made.values().end(), [](double v) { return v == 0; }));
    EXPECT_FALSE(takePlumeGrid(s, plumeGridShape(m), made)) << "taken once";

    for (const int samplesAhead : { 2, 3 }) { // the sizes of the run, and one date more
        SCOPED_TRACE(samplesAhead);
        m.NumSamples = int16(samplesAhead);
        preparePlumeGrid(s);
        m.NumSamples = 2;
        Domenico(s);
        EXPECT_EQ(valuesOf(m.Conc), plain);
    }

    preparePlumeGrid(s);
    s.clearParts();
    EXPECT_FALSE(takePlumeGrid(s, plumeGridShape(m), made)) << "a cleared project drops it";
    m.PCNumX = 0;
    preparePlumeGrid(s);
    EXPECT_FALSE(takePlumeGrid(s, plumeGridShape(m), made)) << "nothing for a grid the run refuses";
}

TEST_F(Plume, StopsWithTheMessageOfTheFirstImpossibleDate)
{
    const struct {
        const char *name;
        void (*spoil)(ProjectModel &);
        const char *start;
    } cases[] = {
        { "no samples", [](ProjectModel &p) { p.NumSamples = 0; },
            "Number of water level samples is ZERO! Have you gone through Water Levels input data?." },
        { "no x nodes", [](ProjectModel &p) { p.PCNumX = 0; },
            "Number of X grids is ZERO! Please go through Plot Limits dialog again." },
        // Counts below zero come only from a damaged file; none may size a grid.
        { "a few y nodes below zero", [](ProjectModel &p) { p.PCNumY = -5; },
            "Number of Y grids (-5) exceeds the maximum (400) allocated in QEL!" },
        { "many x nodes below zero", [](ProjectModel &p) { p.PCNumX = -300; },
            "Number of X grids (-300) exceeds the maximum (400) allocated in QEL!" },
        { "flat second date", [](ProjectModel &p) { p.Magnitude(2) = 0; },
            "Hydraulic gradient is Zero for sample number 2. Please go through Water Levels input data first." },
        { "no conductivity", [](ProjectModel &p) { p.K = 0; },
            "Zero velocity term for sample number 1 Program terminating." },
        { "decay without half-life", [](ProjectModel &p) { p.Decay = true, p.HalfLife = 0; },
            "QEL(Domenico): 11: \nDivision by zero" },
        { "negative dispersivity", [](ProjectModel &p) { p.AlphaY = -1; }, "QEL(Domenico): 5: \n" },
        { "no conductivity and no porosity: 0 / 0", [](ProjectModel &p) { p.K = 0, p.Porosity = 0; },
            "QEL(Domenico): 6: \nOverflow" },
        // Each term of the guard that lets the fast run skip the checks, at its boundary.
        { "no porosity", [](ProjectModel &p) { p.Porosity = 0; }, "QEL(Domenico): 11: \n" },
        { "no simulated time", [](ProjectModel &p) { p.Time = 0; }, "QEL(Domenico): 11: \n" },
        { "no transverse dispersivity", [](ProjectModel &p) { p.AlphaY = 0; }, "QEL(Domenico): 11: \n" },
        // The first node down-gradient, (1, 10), lies on the axis of a source of no width: 0 / 0.
        { "no transverse dispersivity or width, on the axis",
            [](ProjectModel &p) { p.AlphaY = 0, p.Swidth = 0, p.Ysource = 10; }, "QEL(Domenico): 6: \nOverflow" },
    };
    t.frontend.expectErrors = true;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fillSite(m);
        c.spoil(m);
        m.ANDone = false;
        t.frontend.boxes.clear();
        t.frontend.expectErrors = true;
        Domenico(s);
        EXPECT_EQ(std::tuple(m.ANDone, t.frontend.busy), std::tuple(false, false));
        ASSERT_EQ(t.frontend.boxes.size(), 1u);
        EXPECT_TRUE(t.frontend.boxes[0].text.startsWith(QLatin1String(c.start)))
            << t.frontend.boxes[0].text.toStdString();
    }
}

// A cancel at any date leaves the run before whole: its grids, ranges, flow rotation and flags.
TEST_F(Plume, ACancelledRunLeavesTheResultsAsTheyWere)
{
    fillSite(m, 3);
    Domenico(s);
    ASSERT_TRUE(m.ANDone);
    const ProjectModel before = m;
    for (int cancelAfter : { 0, 1, 2 }) {
        SCOPED_TRACE(cancelAfter);
        m.Direction(1) = m.Direction(2) = m.Direction(3) = 0; // a run to the end would change everything
        const bool done = cancelAfter != 1;
        m.ANDone = done, m.FlowCos = 0.25;
        t.frontend.cancelPolls = 0, t.frontend.cancelAfterPolls = cancelAfter;
        t.frontend.messageLines.clear();
        Domenico(s);
        EXPECT_EQ(t.frontend.cancelPolls, cancelAfter + 1) << "the run stops at the poll that cancels";
        EXPECT_EQ(m.ANDone, done);
        EXPECT_EQ(m.FlowCos, 0.25);
        EXPECT_EQ(std::tuple(m.ConcMax, m.ConcMin, m.WOLFMax, m.MinDistMax),
            std::tuple(before.ConcMax, before.ConcMin, before.WOLFMax, before.MinDistMax));
        for (int sample = 1; sample <= 4; ++sample)
            EXPECT_EQ(conc(10, 0, sample), before.Conc(ixOf(10), iyOf(0), sample)) << sample;
        EXPECT_EQ(m.WOLFGrid(ixOf(10), iyOf(0)), before.WOLFGrid(ixOf(10), iyOf(0)));
        EXPECT_EQ(t.frontend.messageLines, QStringList { "Plume run cancelled; the results are as they were." });
        EXPECT_EQ(std::tuple(t.frontend.busy, t.frontend.boxes.size()), std::tuple(false, std::size_t(0)));
    }
}

#include "analysis/domenico.h"
#include "analysis/plume_kernel.h"
#include "support/test_session.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

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

// gerf within the fit's error of the library's erf; the plume's own exp within one unit in the last
// place of the library's, to the ends of the range.
TEST(PlumeErrorFunction, ErfAndExpAgreeWithTheLibrary)
{
    for (double x : { -3.0, -1.0, -0.25, 0.0, 0.5, 1.0, 2.0, 6.0 }) {
        EXPECT_NEAR(gerf(x), std::erf(x), 1.2e-7) << x;
        EXPECT_NEAR(gerfC(x), std::erfc(x), 1.2e-7 * std::max(1.0, std::erfc(x))) << x;
    }
    EXPECT_EQ(std::tuple(gerf(40), gerf(-40)), std::tuple(1.0, -1.0));
    for (double x : { -745.1, -720.0, -700.0, -36.5, -1.0, -1e-300, 0.0, 0.5, 1.0, 88.7, 709.78 }) {
        const double library = std::exp(x);
        EXPECT_LE(std::fabs(expOf(x) - library), std::nextafter(library, INFINITY) - library) << x;
    }
    EXPECT_EQ(std::tuple(expOf(0), expOf(-746), expOf(710)), std::tuple(1.0, 0.0, INFINITY));
    EXPECT_TRUE(std::isnan(expOf(NAN)));
}

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
    EXPECT_TRUE(t.frontend.boxes.empty());
    for (double x : { 2.0, 7.0, 25.0 })
        for (double y : { 1.0, 3.0, 8.0 })
            EXPECT_DOUBLE_EQ(conc(x, y), conc(x, -y)) << x << ", " << y;
    for (double y : { -5.0, 0.0, 5.0 }) {
        EXPECT_EQ(conc(0, y), 0) << "on the line through the source across the flow";
        EXPECT_EQ(conc(-4, y), 0) << "up-gradient";
    }
    EXPECT_DOUBLE_EQ(conc(3, 1, 3), conc(3, 1, 1)) << "the average of equal dates";
    EXPECT_DOUBLE_EQ(m.ConcMax, conc(1, 0));
    EXPECT_GT(m.ConcMin, 0);

    const double noDecay = conc(20, 0);
    m.Decay = true, m.HalfLife = 50;
    Domenico(s);
    // S = sqrt(1 + 4 lambda aX / v) with lambda = 0.693 / 50 and v = 0.04.
    const double sTerm = std::sqrt(1 + 4 * (0.693 / 50) * 1 / 0.04);
    EXPECT_NEAR(conc(20, 0), noDecay * std::exp(20.0 / 2 * (1 - sTerm)), 1e-9 * noDecay);
}

// Rows spread over the cores and nodes taken several at a time give the one-node values to the bit:
// on the site's grid, and on a long narrow plume whose rows far from the axis are 0 across the flow
// for their first hundred nodes and then rise, so a node told 0 too early shows.
TEST_F(Plume, FastRunEqualsTheOneNodeEvaluation)
{
    const struct {
        const char *site;
        std::function<void(ProjectModel &)> change;
    } cases[] = {
        { "site",
            [](ProjectModel &p) {
                p.Decay = true, p.HalfLife = 50, p.NumSamples = 3, p.Xsource = 3.3, p.Ysource = -1.7;
                p.Direction(1) = 90, p.Direction(2) = -152.1, p.Direction(3) = 33, p.Magnitude(3) = 0.02;
            } },
        { "narrow",
            [](ProjectModel &p) {
                p.AlphaY = 0.01, p.PCNumX = 400, p.PCNumY = 41, p.PCTop = 20, p.NumSamples = 3;
                p.Direction(2) = 89.5, p.Direction(3) = 91, p.Magnitude(3) = 0.02;
            } },
        { "narrow, a width below 0 from a file",
            [](ProjectModel &p) {
                p.AlphaY = 0.01, p.PCNumX = 400, p.PCNumY = 41, p.PCTop = 20, p.NumSamples = 1, p.Swidth = -30;
            } },
    };
    for (const auto &c : cases) {
        fillSite(m);
        c.change(m);
        for (int sample = 1; sample <= m.NumSamples; ++sample) {
            SCOPED_TRACE(testing::Message() << c.site << " date " << sample);
            std::vector<double> fast, plain;
            ASSERT_TRUE(plumeOfDate(m, sample, PlumeEvaluation::Fast, fast));
            ASSERT_TRUE(plumeOfDate(m, sample, PlumeEvaluation::OneNodeAtATime, plain));
            ASSERT_EQ(fast.size(), std::size_t(m.PCNumX) * std::size_t(m.PCNumY));
            EXPECT_EQ(fast, plain);
            EXPECT_TRUE(std::any_of(fast.begin(), fast.end(), [](double c) { return std::fabs(c) > 1; }));
        }
    }
    // The error function is exactly 1 beyond an argument of 6.4, which lets far nodes be told 0.
    for (double x = 6.4; x < 40; x *= 1.01) {
        ASSERT_EQ(gerfOf(x), 1) << x;
        ASSERT_EQ(gerfOf(-x), -1) << x;
    }
}

TEST_F(Plume, StopsWithTheMessageOfTheFirstImpossibleDate)
{
    const struct {
        const char *name;
        void (*spoil)(ProjectModel &);
        const char *start;
        bool firstDateKept;
    } cases[] = {
        { "no samples", [](ProjectModel &p) { p.NumSamples = 0; },
            "Number of water level samples is ZERO! Have you gone through Water Levels input data?.", false },
        { "no x nodes", [](ProjectModel &p) { p.PCNumX = 0; },
            "Number of X grids is ZERO! Please go through Plot Limits dialog again.", false },
        { "flat second date", [](ProjectModel &p) { p.Magnitude(2) = 0; },
            "Hydraulic gradient is Zero for sample number 2. Please go through Water Levels input data first.", true },
        { "no conductivity", [](ProjectModel &p) { p.K = 0; },
            "Zero velocity term for sample number 1 Program terminating.", false },
        { "decay without half-life", [](ProjectModel &p) { p.Decay = true, p.HalfLife = 0; },
            "QEL(Domenico): 11: \nDivision by zero", false },
        { "negative dispersivity", [](ProjectModel &p) { p.AlphaY = -1; }, "QEL(Domenico): 5: \n", false },
        { "no conductivity and no porosity: 0 / 0", [](ProjectModel &p) { p.K = 0, p.Porosity = 0; },
            "QEL(Domenico): 6: \nOverflow", false },
        { "no transverse dispersivity", [](ProjectModel &p) { p.AlphaY = 0; }, "QEL(Domenico): 11: \n", false },
        // The first node down-gradient, (1, 10), lies on the axis of a source of no width: 0 / 0.
        { "no transverse dispersivity or width, on the axis",
            [](ProjectModel &p) { p.AlphaY = 0, p.Swidth = 0, p.Ysource = 10; }, "QEL(Domenico): 6: \nOverflow",
            false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fillSite(m);
        c.spoil(m);
        m.ANDone = false;
        t.frontend.boxes.clear();
        Domenico(s);
        EXPECT_EQ(std::tuple(m.ANDone, t.frontend.busy), std::tuple(false, false));
        ASSERT_EQ(t.frontend.boxes.size(), 1u);
        EXPECT_TRUE(t.frontend.boxes[0].text.startsWith(QLatin1String(c.start)))
            << t.frontend.boxes[0].text.toStdString();
        if (c.firstDateKept) {
            EXPECT_GT(conc(5, 0), 0);
        }
    }
}

TEST_F(Plume, MinimumDistanceAndWolfGrids)
{
    Domenico(s);
    EXPECT_EQ(std::tuple(m.MinDistGrid(ixOf(5), iyOf(0)), m.WOLFGrid(ixOf(5), iyOf(0))), std::tuple(0.0, 0.0))
        << "a node on a well";
    // The score is the average plume times the squared distance to the nearest well, 5 here.
    EXPECT_DOUBLE_EQ(m.WOLFGrid(ixOf(8), iyOf(4)), 25 * conc(8, 4, 3));
    EXPECT_EQ(m.WOLFGrid(ixOf(-5), iyOf(0)), 0) << "no plume, no score";
    EXPECT_DOUBLE_EQ(m.MinDistMax, std::trunc(std::hypot(25, 10) / 0.01) * 0.01);
    EXPECT_EQ(m.MinDistMin, 1);

    // Many wells: the nearest one found is the nearest one there is.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> at(-15, 35);
    m.NumWells = 300;
    for (int k = 1; k <= 300; ++k)
        m.WellX(k) = at(random), m.WellY(k) = at(random) - 10;
    Domenico(s);
    for (int iy = 1; iy <= m.PCNumY; iy += 4) {
        for (int ix = 1; ix <= m.PCNumX; ix += 3) {
            double best = 1e30;
            for (int k = 1; k <= 300; ++k) {
                const double dy = m.WellY(k) - (10 - (iy - 1)), dx = m.WellX(k) - (ix - 11);
                best = std::min(best, dy * dy + dx * dx);
            }
            EXPECT_DOUBLE_EQ(m.MinDistGrid(ix, iy), std::sqrt(best)) << ix << ", " << iy;
        }
    }

    m.NumWells = 0;
    Domenico(s);
    EXPECT_EQ(m.MinDistGrid(1, 1), 1e15);
    m.RoundXY = 10, m.NumWells = 1, m.WellX(1) = 5, m.WellY(1) = 0;
    Domenico(s);
    EXPECT_EQ(std::tuple(m.MinDistMax, m.MinDistMin), std::tuple(20.0, 0.0)) << "26.9 truncated to a multiple of 10";
}

// The exact strip-source plume against closed forms that do not share its quadrature: the 1-D
// solution with decay for a strip of unbounded width, the steady state as an integral of Bessel
// functions over the source, and a plain composite Simpson rule at nodes of the example site.
#include "analysis/domenico.h"
#include "analysis/exact_plume.h"
#include "analysis/exact_quadrature.h"
#include "core/project_open.h"
#include "support/test_session.h"
#include "views/workflow_replay.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A date of velocity v with the plume run's s for the decay constant lambda; source at the origin.
ExactDate stripDate(double v, double alphaX, double alphaY, double width, double time, double lambda)
{
    ExactDate e;
    e.lambda = lambda;
    PlumeDate &d = e.plume;
    d.v = v, d.alphaX = alphaX, d.alphaY = alphaY, d.halfWidth = width / 2, d.c0 = 1, d.time = time;
    d.s = std::sqrt(1 + 4 * lambda * alphaX / v);
    return e;
}

double relativeDifference(double a, double b)
{
    return std::fabs(a - b) / std::fabs(b);
}

// Composite Simpson over [a, b] in n (even) steps.
double simpson(const std::function<double(double)> &f, double a, double b, int n)
{
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int k = 1; k < n; ++k)
        sum += f(a + k * h) * (k % 2 ? 4 : 2);
    return sum * h / 3;
}

// The defining time integral in tau = t w^2, which leaves the integrand smooth at w = 0, by Simpson
// with n steps; erf differences from the complements where both lie on one side.
double simpsonPlume(const ExactDate &e, double x, double y, int n)
{
    const PlumeDate &d = e.plume;
    const double dx = d.alphaX * d.v, dy = d.alphaY * d.v, h = d.halfWidth, t = d.time;
    const auto lateral = [&](double tau) {
        const double a = (y + h) / (2 * std::sqrt(dy * tau)), b = (y - h) / (2 * std::sqrt(dy * tau));
        if (b > 0)
            return std::erfc(b) - std::erfc(a);
        if (a < 0)
            return std::erfc(-a) - std::erfc(-b);
        return std::erf(a) - std::erf(b);
    };
    const auto integrand = [&](double w) {
        const double tau = t * w * w;
        if (tau == 0)
            return 0.0;
        const double exponent = -e.lambda * tau - (x - d.v * tau) * (x - d.v * tau) / (4 * dx * tau);
        return std::pow(tau, -1.5) * std::exp(exponent) * lateral(tau) * 2 * t * w;
    };
    return d.c0 * x / (4 * std::sqrt(std::numbers::pi * dx)) * simpson(integrand, 0, 1, n);
}

// exp(a) erfc(b) without overflow: for large b by the asymptotic series of erfc, whose terms
// beyond the fourth are below 1E-12 of the first from b = 20 on.
double expTimesErfc(double a, double b)
{
    if (b < 20)
        return std::exp(a) * std::erfc(b);
    const double z = 1 / (2 * b * b);
    const double series = 1 - z * (1 - 3 * z * (1 - 5 * z * (1 - 7 * z)));
    return std::exp(a - b * b) / (b * std::sqrt(std::numbers::pi)) * series;
}

} // namespace

// The rule integrates polynomials up to degree 31 on one panel exactly (its weights and nodes are
// right), and the adaptive driver reaches its tolerance on integrands that are not polynomials.
TEST(ExactQuadrature, IntegratesToItsTolerance)
{
    for (int degree = 0; degree <= 31; ++degree) {
        const double breaks[] = { -1, 2 };
        const Quadrature q = integrate([&](double u) { return std::pow(u, degree); }, breaks, 2, 1e-15);
        const double expected = (std::pow(2.0, degree + 1) - std::pow(-1.0, degree + 1)) / (degree + 1);
        EXPECT_NEAR(q.value, expected, 1e-13 * std::max(1.0, std::fabs(expected))) << degree;
    }
    const struct {
        const char *name;
        std::function<double(double)> f;
        double from, to, expected;
    } cases[] = {
        { "root", [](double u) { return std::sqrt(u); }, 0, 1, 2.0 / 3 },
        { "Runge", [](double u) { return 1 / (1 + 25 * u * u); }, -10, 10, 2 * std::atan(50.0) / 5 },
        { "narrow Gaussian", [](double u) { return std::exp(-1e4 * (u - 0.3) * (u - 0.3)); }, 0, 1,
            std::sqrt(std::numbers::pi) / 100 },
        { "oscillating", [](double u) { return std::cos(40 * u); }, 0, 2, std::sin(80.0) / 40 },
    };
    for (const auto &c : cases) {
        const double breaks[] = { c.from, c.to };
        const Quadrature q = integrate(c.f, breaks, 2, 1e-10);
        EXPECT_TRUE(q.converged) << c.name;
        EXPECT_LT(relativeDifference(q.value, c.expected), 1e-9) << c.name;
        EXPECT_GE(q.error, std::fabs(q.value - c.expected)) << c.name << ": the estimate must not understate";
    }
}

// A strip much wider than the plume leaves the 1-D solution of a first-type source with decay
// (van Genuchten and Alves, 1982; Bear, 1972):
//   C/C0 = 1/2 [exp(x (v - u) / (2 D)) erfc((x - u t) / (2 sqrt(D t)))
//             + exp(x (v + u) / (2 D)) erfc((x + u t) / (2 sqrt(D t)))],  u = v sqrt(1 + 4 lambda D / v^2).
TEST(ExactPlume, WideStripIsTheOneDimensionalSolutionWithDecay)
{
    const struct {
        double x, v, alphaX, time, lambda;
    } cases[] = {
        { 10, 1, 1, 50, 0 },
        { 50, 1, 1, 50, 0 },
        { 60, 1, 1, 50, 0 },
        { 5, 0.1, 2, 100, 0 },
        { 100, 0.05, 10, 3650, 0.693 / 730 },
        { 30, 0.5, 5, 40, 0.01 },
        { 80, 2, 0.5, 30, 0.2 },
        { 1, 1, 10, 0.5, 0 },
        { 200, 1, 20, 150, 0.001 },
        { 20, 0.3, 1, 1000, 0.05 },
        // Small dispersivity: the time integrand is a spike at tau = x / v.
        { 100, 1, 0.01, 100, 0 },
        { 100, 1, 0.01, 99, 0 },
        { 100, 1, 0.01, 101.5, 0 },
        { 50, 1, 0.001, 60, 0.01 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " v " << c.v << " aX " << c.alphaX << " t " << c.time
                                        << " lambda " << c.lambda);
        const ExactDate e = stripDate(c.v, c.alphaX, 1, 1e12, c.time, c.lambda);
        const double d = c.alphaX * c.v, u = c.v * std::sqrt(1 + 4 * c.lambda * d / (c.v * c.v));
        const double root = 2 * std::sqrt(d * c.time);
        const double expected = 0.5
            * (expTimesErfc(c.x * (c.v - u) / (2 * d), (c.x - u * c.time) / root)
                + expTimesErfc(c.x * (c.v + u) / (2 * d), (c.x + u * c.time) / root));
        const ExactNode node = exactPlumeAt(e, c.x, 0);
        EXPECT_TRUE(node.converged);
        EXPECT_LT(relativeDifference(node.c, expected), 1e-6) << node.c << " against " << expected;
    }
}

// Without decay and long after the start the plume is steady:
//   C = C0 x / (2 pi sqrt(Dx Dy)) exp(x v / (2 Dx)) int_-W/2^W/2 sqrt(B / A) K1(2 sqrt(A B)) dxi,
//   A = x^2 / (4 Dx) + (y - xi)^2 / (4 Dy), B = v^2 / (4 Dx),
// the time integral of each line source of the strip taken in closed form. Time enough that the
// rest of the integral, about exp(-(v t - x)^2 / (4 alpha_x v t)), is below 1E-20.
TEST(ExactPlume, LongAfterTheStartIsTheSteadyStrip)
{
    const struct {
        double alphaX, alphaY, width, x, y;
    } cases[] = {
        { 1, 0.1, 20, 50, 0 },
        { 1, 0.1, 20, 50, 10 },
        { 1, 0.1, 20, 100, 25 },
        { 10, 1, 20, 100, 0 },
        { 10, 1, 20, 30, -15 },
        { 5, 0.5, 50, 80, 40 },
        { 2, 2, 4, 20, 12 },
        { 0.5, 0.05, 10, 150, -3 },
    };
    const double v = 1, time = 4000;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "aX " << c.alphaX << " aY " << c.alphaY << " W " << c.width << " at " << c.x
                                        << ", " << c.y);
        const double dx = c.alphaX * v, dy = c.alphaY * v, b = v * v / (4 * dx);
        const auto source = [&](double xi) {
            const double a = c.x * c.x / (4 * dx) + (c.y - xi) * (c.y - xi) / (4 * dy);
            return std::sqrt(b / a) * std::cyl_bessel_k(1.0, 2 * std::sqrt(a * b)) * std::exp(c.x * v / (2 * dx));
        };
        const double expected
            = c.x / (2 * std::numbers::pi * std::sqrt(dx * dy)) * simpson(source, -c.width / 2, c.width / 2, 20000);
        const ExactNode node = exactPlumeAt(stripDate(v, c.alphaX, c.alphaY, c.width, time, 0), c.x, c.y);
        EXPECT_TRUE(node.converged);
        EXPECT_LT(relativeDifference(node.c, expected), 1e-6) << node.c << " against " << expected;
    }
}

// Nodes the bound calls 0 are 0 however they are integrated, and the nodes just inside it are below
// the smallest normal number: skipping them loses nothing.
TEST(ExactPlume, NodesSkippedByTheBoundAreZero)
{
    const ExactDate e = stripDate(0.05, 10, 1, 20, 3650, 0.001);
    const double spread = 2 * std::sqrt(1 * 0.05 * 3650), front = 0.05 * 3650, along = 2 * std::sqrt(10 * front);
    const struct {
        double x, y;
        bool zero;
    } cases[] = {
        { 0, 0, true },
        { -5, 0, true },
        { 50, 10 + 28.01 * spread, true },
        { 50, -10 - 28.01 * spread, true },
        { front + 28.01 * along, 0, true },
        { 50, 10 + 27 * spread, false },
        { front + 27 * along, 0, false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_EQ(exactPlumeIsZero(e, c.x, c.y), c.zero);
        const double value = exactPlumeAt(e, c.x, c.y).c;
        EXPECT_GE(value, 0);
        EXPECT_LT(value, 1e-300);
        EXPECT_EQ(simpsonPlume(e, c.x, c.y, 2000) < 1e-300, true);
    }
}

// Far down the centreline with alpha_x small against the distance, the time integral is sharp around
// tau = x / v, where the lateral factor is Domenico's; what remains differs by terms of order
// alpha_x / x (the spread of the travel time), so within 2 alpha_x / x once the front has passed.
// With alpha_x as large as the distance the exact plume is higher than Domenico's on the centreline:
// the longitudinal term taken out of the time integral loses the early arrivals whose lateral
// spreading is small.
TEST(ExactPlume, AgreesWithDomenicoFarDownTheCentrelineAndExceedsItForLargeDispersivity)
{
    const struct {
        double alphaX, x, time, lambda;
    } close[] = {
        { 0.5, 100, 400, 0 },
        { 1, 200, 600, 0 },
        { 1, 100, 1e4, 0.001 },
        { 2, 300, 1000, 0 },
        { 0.2, 50, 300, 0.01 },
    };
    for (const auto &c : close) {
        SCOPED_TRACE(testing::Message() << "aX " << c.alphaX << " x " << c.x);
        const ExactDate e = stripDate(1, c.alphaX, c.alphaX / 10, 10, c.time, c.lambda);
        const double exact = exactPlumeAt(e, c.x, 0).c, domenico = plumeAt<PlainArithmetic>(e.plume, c.x, 0);
        EXPECT_LT(relativeDifference(domenico, exact), 2 * c.alphaX / c.x) << exact << " against " << domenico;
    }
    const struct {
        double alphaX, x, time;
    } wide[] = { { 50, 50, 100 }, { 100, 80, 400 }, { 30, 20, 1000 }, { 50, 100, 150 } };
    for (const auto &c : wide) {
        SCOPED_TRACE(testing::Message() << "aX " << c.alphaX << " x " << c.x);
        const ExactDate e = stripDate(1, c.alphaX, c.alphaX / 10, 10, c.time, 0);
        const double exact = exactPlumeAt(e, c.x, 0).c, domenico = plumeAt<PlainArithmetic>(e.plume, c.x, 0);
        EXPECT_GT(exact, 1.2 * domenico);
    }
}

namespace {

// The example site opened and replayed, as the workbench opens it.
struct ExampleSite : ::testing::Test {
    void SetUp() override
    {
        installWorkflowReplay(s);
        qputenv("QEL_REGRESS", QEL_BINARY_DIR "/bin/regress");
        const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
        t.frontend.queueFile(site + QStringLiteral("QELResults.out"));
        ASSERT_TRUE(openProject(s, site + QStringLiteral("alpha-site.prj")));
        ASSERT_TRUE(m.ANDone);
    }

    TestSession t;
    Session &s = *t.session;
    ProjectModel &m = s.model;
};

} // namespace

// The terms of each date are the plume run's: Domenico's formula on them gives the run's grid.
TEST_F(ExampleSite, DateTermsAreThePlumeRunsTerms)
{
    for (int date = 1; date <= m.NumSamples; ++date) {
        std::vector<double> run;
        ASSERT_TRUE(plumeOfDate(m, date, PlumeEvaluation::OneNodeAtATime, run));
        const std::optional<ExactDate> e = exactDateTerms(m, date);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->lambda, 0.693 / m.HalfLife);
        for (int iy = 1; iy <= m.PCNumY; iy += 7)
            for (int ix = 1; ix <= m.PCNumX; ix += 5) {
                double xr, yr;
                TransformWG(m, m.PCLeft + (ix - 1) * m.PCGridSpacing, m.PCTop - (iy - 1) * m.PCGridSpacing, xr, yr);
                const double expected = run[std::size_t(iy - 1) * std::size_t(m.PCNumX) + std::size_t(ix - 1)];
                const double c = xr > 0 ? plumeAt<PlainArithmetic>(e->plume, xr, yr) : 0;
                EXPECT_NEAR(c, expected, 1e-14 * expected) << date << ": " << ix << ", " << iy;
            }
    }
}

// Nodes of the example's grids, from the plume's core to its far fringe, against Simpson's rule in
// tau = t w^2 with 40000 steps (checked against 20000 steps, so that the reference is good to far
// better than the 1E-6 asked of the plume).
TEST_F(ExampleSite, GridAgreesWithAnIndependentQuadrature)
{
    for (const int date : { 1, int(m.NumSamples) }) {
        std::vector<double> rows;
        int unconverged = -1;
        ASSERT_TRUE(exactPlumeOfDate(m, date, rows, unconverged));
        EXPECT_EQ(unconverged, 0);
        const ExactDate e = *exactDateTerms(m, date);
        int compared = 0, fringe = 0;
        for (int iy = 3; iy <= m.PCNumY; iy += 23)
            for (int ix = 2; ix <= m.PCNumX; ix += 19) {
                double xr, yr;
                TransformWG(m, m.PCLeft + (ix - 1) * m.PCGridSpacing, m.PCTop - (iy - 1) * m.PCGridSpacing, xr, yr);
                const double c = rows[std::size_t(iy - 1) * std::size_t(m.PCNumX) + std::size_t(ix - 1)];
                if (!(xr > 0)) {
                    EXPECT_EQ(c, 0);
                    continue;
                }
                const double fine = simpsonPlume(e, xr, yr, 40000), coarse = simpsonPlume(e, xr, yr, 20000);
                if (!(fine > 1e-280)) // the reference itself loses its digits to underflow
                    continue;
                ASSERT_LT(relativeDifference(coarse, fine), 1e-8) << "the reference is not converged";
                EXPECT_LT(relativeDifference(c, fine), 1e-6) << date << ": " << ix << ", " << iy;
                ++compared;
                fringe += c < 1e-6 * m.C0;
            }
        EXPECT_GT(compared, 40);
        EXPECT_GT(fringe, 5) << "the fringe, where cancellation would show, must be among the nodes";
    }
}

// The comparison on the example: the difference is the exact average less the run's average node by
// node, Domenico falls short of the exact plume on the centreline of a site whose alpha_x (10 m)
// is a sizeable part of the plume's length, and nothing of the run's results changes.
TEST_F(ExampleSite, ComparisonFindsDomenicoShortOnTheCentreline)
{
    const double flowCos = m.FlowCos, flowSin = m.FlowSin, peak = m.Conc(110, 40, m.NumSamples + 1);
    const ExactComparison c = compareExactPlume(s);
    EXPECT_EQ(std::tuple(m.FlowCos, m.FlowSin, m.Conc(110, 40, m.NumSamples + 1)), std::tuple(flowCos, flowSin, peak));
    ASSERT_EQ(c.average.size(), std::size_t(m.PCNumX) * std::size_t(m.PCNumY));
    for (int iy = 1; iy <= m.PCNumY; iy += 10)
        for (int ix = 1; ix <= m.PCNumX; ix += 10) {
            const std::size_t n = std::size_t(iy - 1) * std::size_t(m.PCNumX) + std::size_t(ix - 1);
            EXPECT_EQ(c.difference[n], c.average[n] - m.Conc(ix, iy, m.NumSamples + 1));
        }
    EXPECT_EQ(c.unconverged, 0);
    ASSERT_TRUE(c.found);
    EXPECT_GT(c.underPrediction, 0.01);
    EXPECT_LT(c.underPrediction, 1);
    const auto onLine = std::find_if(c.centreline.begin(), c.centreline.end(),
        [&](const CentrelineNode &node) { return node.ix == c.at.ix && node.iy == c.at.iy; });
    EXPECT_NE(onLine, c.centreline.end());

    m.ANDone = false;
    EXPECT_EQ(thrownBy([&] { compareExactPlume(s); }).number(), ErrInvalidCall);
}

// From the source along the mean of the dates' unit flow vectors, a point every grid spacing, each
// at its nearest node, each node once, points off the grid passed over.
TEST(Centreline, FollowsTheMeanFlowDirectionNodeByNode)
{
    TestSession t;
    ProjectModel &m = t.session->model;
    m.PCLeft = 0, m.PCTop = 10, m.PCGridSpacing = 1, m.PCNumX = 11, m.PCNumY = 11; // x and y 0..10
    m.Ysource = 5;
    const struct {
        std::vector<double> directions;
        double xSource;
        std::size_t count;
        CentrelineNode first, last;
    } cases[] = {
        { { 90, 90 }, 2, 8, { 4, 6, 1 }, { 11, 6, 8 } },
        { { 45, 135 }, 2, 8, { 4, 6, 1 }, { 11, 6, 8 } }, // the mean of the vectors, not of the angles' sines
        { { 0 }, 2, 5, { 3, 5, 1 }, { 3, 1, 5 } },
        { { 350, 10 }, 2, 5, { 3, 5, 1 }, { 3, 1, 5 } }, // across north, where azimuths wrap
        { { 270 }, 2, 2, { 2, 6, 1 }, { 1, 6, 2 } },
        { { 90 }, -3, 11, { 1, 6, 3 }, { 11, 6, 13 } }, // the source west of the grid
        { { 45 }, 2, 5, { 4, 5, std::sqrt(2.0) }, { 8, 1, 5 * std::sqrt(2.0) } }, // (3, 6) to (7, 10), two points twice
        { { 90, 270 }, 2, 0, {}, {} }, // no mean direction
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.directions.front() << " from x " << c.xSource);
        m.NumSamples = int16(c.directions.size());
        for (std::size_t k = 0; k < c.directions.size(); ++k)
            m.Direction(int(k) + 1) = c.directions[k];
        m.Xsource = c.xSource;
        m.FlowCos = 0.25, m.FlowSin = 0.5;
        const std::vector<CentrelineNode> nodes = centrelineNodes(m);
        EXPECT_EQ(std::tuple(m.FlowCos, m.FlowSin), std::tuple(0.25, 0.5));
        ASSERT_EQ(nodes.size(), c.count);
        if (nodes.empty())
            continue;
        EXPECT_EQ(std::tuple(nodes.front().ix, nodes.front().iy), std::tuple(c.first.ix, c.first.iy));
        EXPECT_NEAR(nodes.front().distance, c.first.distance, 1e-9);
        EXPECT_EQ(std::tuple(nodes.back().ix, nodes.back().iy), std::tuple(c.last.ix, c.last.iy));
        EXPECT_NEAR(nodes.back().distance, c.last.distance, 1e-9);
        for (std::size_t k = 1; k < nodes.size(); ++k)
            EXPECT_GT(nodes[k].distance, nodes[k - 1].distance);
    }
}

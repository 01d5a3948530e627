// The fast plume (only the interval of each row inside the lateral bound, several nodes at a time,
// saturated error functions by their sign, rows over the cores) against the plain formula node by
// node: the same bits on every node.
#include "analysis/domenico.h"
#include "analysis/plume_kernel.h"
#include "parallel/worker_pool.h"
#include "support/test_session.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct DateCase {
    const char *name;
    double direction, gradient, alphaY, swidth, xSource, ySource;
    bool decay = true;
    double time = 3650, c0 = 1000, halfLife = 730;
};

// The example site's aquifer and grid (201 x 161 nodes of 2.5 from (0, 400)) with one date.
void fillExampleSite(ProjectModel &m, const DateCase &c)
{
    m.NumSamples = 1;
    m.Magnitude(1) = c.gradient, m.Direction(1) = c.direction;
    m.K = 5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = c.alphaY, m.RetFactor = 1.5, m.Decay = c.decay;
    m.HalfLife = c.halfLife, m.Time = c.time, m.Swidth = c.swidth, m.C0 = c.c0, m.Xsource = c.xSource,
    m.Ysource = c.ySource;
    m.PCLeft = 0, m.PCTop = 400, m.PCGridSpacing = 2.5, m.PCNumX = 201, m.PCNumY = 161;
}

// The first node whose bits differ, or -1.
long firstDifferentNode(const std::vector<double> &fast, const std::vector<double> &plain)
{
    if (fast.size() != plain.size())
        return 0;
    for (std::size_t n = 0; n < plain.size(); ++n)
        if (std::bit_cast<std::uint64_t>(fast[n]) != std::bit_cast<std::uint64_t>(plain[n]))
            return long(n);
    return -1;
}

void expectSameBits(ProjectModel &m)
{
    std::vector<double> fast, plain;
    ASSERT_TRUE(plumeOfDate(m, 1, PlumeEvaluation::Fast, fast));
    ASSERT_TRUE(plumeOfDate(m, 1, PlumeEvaluation::OneNodeAtATime, plain));
    const long node = firstDifferentNode(fast, plain);
    ASSERT_EQ(node, -1) << "node " << node % m.PCNumX + 1 << ", " << node / m.PCNumX + 1 << ": "
                        << fast[std::size_t(node)] << " against " << plain[std::size_t(node)];
}

} // namespace

TEST(PlumeKernel, FastRowsEqualTheOneNodeEvaluationBitForBit)
{
    const DateCase cases[] = {
        { "the example's first date", 145.69, 0.0132791, 1, 20, 220, 312 },
        { "flow along the rows", 90, 0.01, 1, 20, 220, 312 },
        { "flow up the columns", 0, 0.01, 1, 20, 220, 312 },
        { "flow to the west", 270, 0.01, 1, 20, 220, 312 },
        { "flow to the south", 180, 0.01, 1, 20, 220, 312 },
        { "diagonal, on the nodes", 45, 0.01, 1, 20, 100, 300 },
        { "a narrow plume of no width", 200, 0.02, 0.01, 0, 250, 200 },
        { "a wide plume", 100, 0.01, 80, 300, 250, 200 },
        { "the source west of the grid", 95, 0.01, 1, 20, -300, 200 },
        { "the source past the far corner, flow away", 45, 0.01, 1, 20, 900, 800 },
        { "the source above the grid, flow into it", 170, 0.01, 2, 40, 250, 700 },
        { "no decay", 300, 0.005, 0.5, 10, 400, 100, false },
    };
    TestSession t;
    for (const DateCase &c : cases) {
        SCOPED_TRACE(c.name);
        fillExampleSite(t.session->model, c);
        expectSameBits(t.session->model);
    }
}

namespace {

// The nodes of the date (down-gradient of the source) whose error functions are saturated.
struct Saturated {
    long inside = 0, alongZero = 0, alongTwo = 0; // a - b = 2; f = 0; f = 2
};

Saturated saturatedNodes(ProjectModel &m)
{
    std::vector<double> rows;
    EXPECT_TRUE(plumeOfDate(m, 1, PlumeEvaluation::OneNodeAtATime, rows)); // sets the flow rotation
    PlumeDate d;
    d.v = m.K * m.Magnitude(1) / (m.RetFactor * m.Porosity);
    d.s = std::sqrt(1 + 4 * (m.Decay ? 0.693 / m.HalfLife : 0) * m.AlphaX / d.v);
    d.alphaX = m.AlphaX, d.alphaY = m.AlphaY, d.halfWidth = m.Swidth * 0.5, d.time = m.Time;
    Saturated n;
    for (int iy = 1; iy <= m.PCNumY; ++iy)
        for (int ix = 1; ix <= m.PCNumX; ++ix) {
            double xr, yr;
            TransformWG(m, m.PCLeft + (ix - 1) * m.PCGridSpacing, m.PCTop - (iy - 1) * m.PCGridSpacing, xr, yr);
            if (!(xr > 0))
                continue;
            const PlumeArguments g = plumeArguments<PlainArithmetic>(d, xr, yr);
            n.inside += g.left >= GerfSaturation && g.right <= -GerfSaturation;
            n.alongZero += g.along >= GerfSaturation;
            n.alongTwo += g.along <= -GerfSaturation;
        }
    return n;
}

} // namespace

// Each shortcut of the kernel on dates that take it over many whole blocks of nodes, with the
// values that decide the sign and finiteness of the zeros it leaves out.
TEST(PlumeKernel, SaturatedErrorFunctionsGiveTheOneNodeBits)
{
    struct Case {
        DateCase date;
        bool inside, alongZero, alongTwo; // the saturations the date must have
    };
    const Case cases[] = {
        { { "a wide source: a - b is 2 inside it", 60, 0.01, 0.01, 400, 100, 250 }, true, false, false },
        { { "a wide source, no decay", 150, 0.01, 0.01, 400, 100, 350, false }, true, false, false },
        { { "early on: f is 0 far down the flow", 45, 0.01, 1, 20, 50, 50, true, 100 }, false, true, false },
        { { "early on, a negative C0: zeros of minus sign", 45, 0.01, 1, 20, 50, 50, true, 100, -1000 }, false, true,
            false },
        { { "early on, C0 of 0", 135, 0.01, 1, 20, 50, 350, true, 100, 0 }, false, true, false },
        { { "early on, no decay", 225, 0.01, 1, 20, 450, 350, false, 100 }, false, true, false },
        { { "early on, a negative half-life: e above 1", 315, 0.01, 1, 20, 450, 50, true, 100, 1000, -5000 }, false,
            true, false },
        { { "early on, a narrow plume of no width", 30, 0.01, 0.01, 0, 0, 0, true, 100 }, false, true, false },
        { { "early on, a wide source", 100, 0.01, 0.01, 300, 0, 200, true, 100 }, true, true, false },
        { { "long after: f is 2 everywhere", 120, 0.05, 1, 20, 100, 300, true, 36500 }, false, false, true },
        { { "long after, a wide source", 210, 0.05, 0.01, 300, 400, 300, true, 36500 }, true, false, true },
        { { "long after, the source on the grid's corner", 135, 0.05, 1, 20, 0, 400, true, 36500 }, false, false,
            true },
    };
    TestSession t;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date.name);
        ProjectModel &m = t.session->model;
        fillExampleSite(m, c.date);
        const Saturated n = saturatedNodes(m);
        const long many = 1000; // several blocks of nodes at the least
        EXPECT_EQ(n.inside > many, c.inside) << n.inside;
        EXPECT_EQ(n.alongZero > many, c.alongZero) << n.alongZero;
        EXPECT_EQ(n.alongTwo > many, c.alongTwo) << n.alongTwo;
        expectSameBits(m);
    }
}

// GerfSaturation is where gerfOf turns exactly into its sign: on every double for 2^18 steps above
// it, and on a dense sampling up to where its exponential is 0, its complement falling all the way;
// and not much lower, so that the shortcut is not wasted.
TEST(PlumeKernel, TheErrorFunctionIsItsSignFromTheSaturationBoundOn)
{
    const auto complement = [](double z) {
        double t, exponent;
        gerfTerms(z, t, exponent);
        return t * expOf(exponent);
    };
    long notSign = 0;
    double z = GerfSaturation;
    for (int step = 0; step < (1 << 18); ++step, z = std::nextafter(z, INFINITY))
        notSign += gerfOf(z) != 1 || gerfOf(-z) != -1;
    EXPECT_EQ(notSign, 0) << "above the bound, up to " << z;
    const double expZero = 27.5; // from here on the exponent is below -745.2 and expOf 0
    double previous = complement(GerfSaturation);
    EXPECT_LE(previous, 0x1p-54);
    const int samples = 200000;
    long rising = 0;
    for (int k = 1; k <= samples; ++k) {
        const double x = GerfSaturation + (expZero - GerfSaturation) * k / samples;
        const double q = complement(x);
        rising += q > previous;
        notSign += gerfOf(x) != 1 || gerfOf(-x) != -1;
        previous = q;
    }
    EXPECT_EQ(notSign, 0);
    EXPECT_EQ(rising, 0);
    EXPECT_EQ(complement(expZero), 0);
    for (double x : { expZero, 100.0, 1E300, double(INFINITY) })
        EXPECT_TRUE(gerfOf(x) == 1 && gerfOf(-x) == -1) << x;
    EXPECT_NE(gerfOf(5.9215), 1);
    EXPECT_NE(gerfOf(-5.9215), -1);
    EXPECT_FALSE(std::fabs(NAN) >= GerfSaturation); // NaN is never taken for saturated
}

// The shorter exponential of moderate exponents gives expOf's bits: at the ends of its range, where
// expOf scales by two factors, and across it.
TEST(PlumeKernel, TheModerateExponentialIsExpOfBitForBit)
{
    std::vector<double> xs = { 0.0, -0.0, 1E-300, -1E-300, 0.5, -0.5, 0.34657359027997264, 1, -1, 709.0, -709.0 };
    for (double end : { ModerateExponent, -ModerateExponent }) {
        double x = end;
        for (int step = 0; step < 1000; ++step, x = std::nextafter(x, 0.0))
            xs.push_back(x);
    }
    std::mt19937 random(3);
    std::uniform_real_distribution<double> across(-ModerateExponent, ModerateExponent), near(-2, 2);
    for (int k = 0; k < 200000; ++k)
        xs.push_back(k % 2 ? across(random) : near(random));
    long differing = 0;
    for (double x : xs)
        if (std::fabs(x) <= ModerateExponent)
            differing += std::bit_cast<std::uint64_t>(expOfModerate(x)) != std::bit_cast<std::uint64_t>(expOf(x));
    EXPECT_EQ(differing, 0);
}

TEST(PlumeKernel, FastRowsEqualTheOneNodeEvaluationOnRandomDates)
{
    std::mt19937 random(11);
    const auto uniform
        = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    TestSession t;
    for (int k = 0; k < 300; ++k) {
        // Sources from well outside to inside the grid (0..500 x -2.5..400), plumes from a thread to
        // wider than the grid, flow every way round.
        const DateCase c { "random", uniform(0, 360), uniform(0.001, 0.05),
            std::exp(uniform(std::log(0.001), std::log(200))), uniform(0, 1) < 0.1 ? 0 : uniform(0, 200),
            uniform(-400, 900), uniform(-400, 800), uniform(0, 1) < 0.8 };
        SCOPED_TRACE(testing::Message() << "date " << k << ": direction " << c.direction << ", AlphaY " << c.alphaY
                                        << ", source (" << c.xSource << ", " << c.ySource << ")");
        fillExampleSite(t.session->model, c);
        t.session->model.PCGridSpacing = uniform(0, 1) < 0.5 ? 2.5 : uniform(0.1, 10);
        expectSameBits(t.session->model);
    }
}

// The whole run, its average and the WOLF grid do not depend on how many threads share the work.
TEST(PlumeKernel, TheRunIsTheSameOnOneThreadAsOnTwo)
{
    struct Run {
        std::vector<double> conc, wolf, distances;
        std::vector<double> ranges;
    };
    const auto runOn = [](int threads) {
        setWorkerCount(threads);
        TestSession t;
        ProjectModel &m = t.session->model;
        fillExampleSite(m, { "", 0, 0, 1, 20, 220, 312 });
        m.NumSamples = 6;
        for (int s = 1; s <= 6; ++s)
            m.Magnitude(s) = 0.01 + 0.001 * s, m.Direction(s) = 130 + 7 * s;
        m.RoundXY = 0.01, m.NumWells = 40;
        for (int k = 1; k <= 40; ++k)
            m.WellX(k) = 13.7 * k, m.WellY(k) = 400 - 9.1 * k;
        Domenico(*t.session);
        EXPECT_TRUE(m.ANDone) << t.session->ErrorText.toStdString();
        Run r;
        for (int s = 1; s <= 7; ++s)
            for (int iy = 1; iy <= m.PCNumY; ++iy)
                for (int ix = 1; ix <= m.PCNumX; ++ix)
                    r.conc.push_back(m.Conc(ix, iy, s));
        for (int iy = 1; iy <= m.PCNumY; ++iy)
            for (int ix = 1; ix <= m.PCNumX; ++ix)
                r.wolf.push_back(m.WOLFGrid(ix, iy)), r.distances.push_back(m.MinDistGrid(ix, iy));
        r.ranges = { m.ConcMax, m.ConcMin, m.WOLFMax, m.WOLFMin, m.MinDistMax, m.MinDistMin };
        return r;
    };
    const Run one = runOn(1), two = runOn(2);
    setWorkerCount(0);
    EXPECT_GT(one.ranges[0], 0);
    EXPECT_EQ(firstDifferentNode(two.conc, one.conc), -1);
    EXPECT_EQ(firstDifferentNode(two.wolf, one.wolf), -1);
    EXPECT_EQ(firstDifferentNode(two.distances, one.distances), -1);
    EXPECT_EQ(two.ranges, one.ranges);
}

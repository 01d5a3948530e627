#include "analysis/domenico.h"
#include "analysis/plume_uncertainty.h"
#include "parallel/worker_pool.h"
#include "support/test_session.h"

#include <cmath>
#include <numeric>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A 31 x 17 grid of 2-unit spacing, the source at (0, 0), flow roughly towards +x on four dates
// with some spread of direction and gradient, two wells down-gradient.
void fillSite(ProjectModel &m)
{
    m.NumSamples = 4;
    for (int s = 1; s <= 4; ++s)
        m.Magnitude(s) = 0.008 + 0.001 * s, m.Direction(s) = 84 + 4 * s;
    m.K = 1, m.Porosity = 0.25, m.RetFactor = 1.2, m.AlphaX = 2, m.AlphaY = 0.3, m.Decay = true, m.HalfLife = 3000;
    m.Time = 2000, m.Swidth = 4, m.C0 = 100, m.Xsource = 0, m.Ysource = 0;
    m.PCLeft = -10, m.PCTop = 16, m.PCGridSpacing = 2, m.PCNumX = 31, m.PCNumY = 17;
    m.RoundXY = 0.01, m.NumWells = 2;
    m.WellID(1) = QStringLiteral("MW-1"), m.WellX(1) = 10, m.WellY(1) = 0;
    m.WellID(2) = QStringLiteral("MW-2"), m.WellX(2) = 30, m.WellY(2) = 4;
}

void setRanges(ProjectModel &m)
{
    UncertaintyRanges &u = m.Uncertainty;
    u.ranges[0] = { Distribution::LogUniform, 0.3, 0, 3 }; // K
    u.ranges[4] = { Distribution::Uniform, 1, 0, 4 }; // AlphaX
    u.ranges[5] = { Distribution::Triangular, 0.1, 0.3, 0.8 }; // AlphaY
}

class PlumeStudy : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillSite(m);
        Domenico(s);
        ASSERT_TRUE(m.ANDone) << s.ErrorText.toStdString();
    }
    void TearDown() override { setWorkerCount(0); }

    PlumeUncertaintyResult study(
        int runs, std::uint64_t seed, double threshold, std::size_t blockBytes = DefaultBlockBytes)
    {
        std::optional<PlumeUncertaintyResult> r
            = studyPlumeUncertainty(m, { runs, seed, threshold }, nullptr, blockBytes);
        EXPECT_TRUE(r);
        return r ? *r : PlumeUncertaintyResult {};
    }

    TestSession t;
    Session &s = *t.session;
    ProjectModel &m = s.model;
};

bool sameGrids(const PlumeUncertaintyResult &a, const PlumeUncertaintyResult &b)
{
    return a.exceedance == b.exceedance && a.p05 == b.p05 && a.p50 == b.p50 && a.p95 == b.p95
        && a.networkProbability == b.networkProbability;
}

} // namespace

TEST(Percentile, InterpolatesLinearlyBetweenOrderStatistics)
{
    const struct {
        std::vector<double> values;
        double p, expected;
    } cases[] = {
        { { 4, 1, 3, 2 }, 0.5, 2.5 }, { { 4, 1, 3, 2 }, 0.05, 1.15 }, // h = 0.15
        { { 4, 1, 3, 2 }, 0.95, 3.85 }, { { 4, 1, 3, 2 }, 0, 1 }, { { 4, 1, 3, 2 }, 1, 4 }, { { 7 }, 0.05, 7 },
        { { 5, 5, 5 }, 0.95, 5 }, { { 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, 0.95, 5 }, // h = 9.5: halfway from 0 to 10
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.p);
        EXPECT_NEAR(percentileOf(c.values, c.p), c.expected, 1e-12);
    }
}

// Without ranges every set is the project itself: the median is the run's average to the bit, and
// a node either always or never reaches the threshold.
TEST_F(PlumeStudy, WithoutRangesEverySetIsThePlainProject)
{
    const struct {
        int runs;
        double threshold;
        int workers;
    } cases[] = { { 1, 1, 0 }, { 7, 1, 0 }, { 7, 0.05, 1 }, { 12, 30, 2 } };
    const int average = m.NumSamples + 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.runs);
        setWorkerCount(c.workers);
        const PlumeUncertaintyResult r = study(c.runs, 5, c.threshold);
        ASSERT_EQ(r.p50.size(), std::size_t(31 * 17));
        int reaching = 0;
        for (int iy = 1; iy <= 17; ++iy)
            for (int ix = 1; ix <= 31; ++ix) {
                const std::size_t i = std::size_t(iy - 1) * 31 + std::size_t(ix - 1);
                const double plain = m.Conc(ix, iy, average);
                ASSERT_EQ(r.p50[i], plain) << ix << ", " << iy;
                ASSERT_EQ(r.p05[i], plain);
                ASSERT_EQ(r.p95[i], plain);
                ASSERT_EQ(r.exceedance[i], plain >= c.threshold ? 1.0 : 0.0) << ix << ", " << iy;
                reaching += plain >= c.threshold;
            }
        EXPECT_GT(reaching, 0) << "a threshold some nodes reach";
        EXPECT_LT(reaching, 31 * 17);
    }
}

// With ranges: bounded probabilities, ordered percentiles, and the same numbers whatever the seed's
// reuse, the thread count or the block of rows held at once.
TEST_F(PlumeStudy, WithRangesTheResultIsOrderedAndReproducible)
{
    setRanges(m);
    const PlumeUncertaintyResult reference = study(60, 11, 1);
    bool spread = false;
    for (std::size_t i = 0; i < reference.p50.size(); ++i) {
        ASSERT_GE(reference.exceedance[i], 0);
        ASSERT_LE(reference.exceedance[i], 1);
        ASSERT_LE(reference.p05[i], reference.p50[i]);
        ASSERT_LE(reference.p50[i], reference.p95[i]);
        spread = spread || reference.p05[i] < reference.p95[i];
    }
    EXPECT_TRUE(spread) << "the ranges make the sets differ";

    const struct {
        const char *name;
        int workers;
        std::size_t blockBytes;
    } cases[] = {
        { "the same again", 0, DefaultBlockBytes },
        { "one thread", 1, DefaultBlockBytes },
        { "two threads, one row a block", 2, 1 },
        { "three rows a block", 0, 3 * 31 * 60 * sizeof(double) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        setWorkerCount(c.workers);
        const PlumeUncertaintyResult again = study(60, 11, 1, c.blockBytes);
        EXPECT_TRUE(sameGrids(again, reference));
        ASSERT_EQ(again.redundancy.size(), reference.redundancy.size());
        for (std::size_t k = 0; k < again.redundancy.size(); ++k)
            EXPECT_EQ(again.redundancy[k].loss, reference.redundancy[k].loss);
    }
    EXPECT_FALSE(sameGrids(study(60, 12, 1), reference)) << "another seed, other sets";
}

// The median of N sets approaches that of many as N grows.
TEST_F(PlumeStudy, TheMedianConvergesAsTheSetsIncrease)
{
    setRanges(m);
    const PlumeUncertaintyResult many = study(3000, 3, 1);
    const auto errorOf = [&](int runs) {
        const PlumeUncertaintyResult r = study(runs, 1000 + std::uint64_t(runs), 1);
        double sum = 0;
        for (std::size_t i = 0; i < r.p50.size(); ++i)
            sum += std::fabs(r.p50[i] - many.p50[i]);
        return sum;
    };
    const double few = errorOf(50), more = errorOf(800);
    EXPECT_GT(few, 0);
    EXPECT_LT(more, few * 0.6);
}

TEST(DetectionWells, TheHighestFarEnoughFromTheWellsAndEachOther)
{
    ProjectModel m;
    m.PCLeft = 0, m.PCTop = 0, m.PCGridSpacing = 1, m.PCNumX = 6, m.PCNumY = 1;
    m.NumWells = 1, m.WellX(1) = 0, m.WellY(1) = 0;
    const std::vector<double> exceedance = { 0.2, 0.9, 0.9, 0.5, 0.7, 0 };
    const struct {
        double spacing;
        std::vector<int> columns;
    } cases[] = {
        { 2, { 3, 5 } }, // column 2 is too near the well, column 4 too near column 3
        { 0, { 2, 3, 5, 4, 1 } }, // every node but the one that never reaches: by probability, ties in row order
        { 10, {} },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.spacing);
        const std::vector<DetectionWell> wells = rankDetectionWells(m, exceedance, c.spacing);
        ASSERT_EQ(wells.size(), c.columns.size());
        for (std::size_t i = 0; i < wells.size(); ++i) {
            EXPECT_EQ(wells[i].column, c.columns[i]);
            EXPECT_EQ(wells[i].x, c.columns[i] - 1);
            EXPECT_EQ(wells[i].probability, exceedance[std::size_t(c.columns[i] - 1)]);
            EXPECT_EQ(wells[i].nearestWellDistance, c.columns[i] - 1.0);
        }
    }
    EXPECT_EQ(detectionWellsCsv(rankDetectionWells(m, exceedance, 2)),
        "rank,x,y,probability,nearest_well_distance\r\n1,2,0,0.9,2\r\n2,4,0,0.7,4\r\n");
}

TEST(DetectionWells, RedundancyIsTheLossOfTheNetworksProbability)
{
    ProjectModel m;
    m.NumWells = 3;
    m.WellID(1) = QStringLiteral("A"), m.WellID(2) = QStringLiteral("B,2"), m.WellID(3) = QStringLiteral("C");
    // Sets 0 and 1 are seen twice over, set 2 by C alone, set 3 by nobody.
    const std::vector<std::vector<std::uint8_t>> seen = { { 1, 0, 0, 0 }, { 1, 1, 0, 0 }, { 0, 0, 1, 0 } };
    double network = 0;
    const std::vector<WellRedundancy> wells = wellRedundancy(m, seen, 4, network);
    EXPECT_EQ(network, 0.75);
    ASSERT_EQ(wells.size(), 3u);
    const struct {
        int well;
        double without, loss;
    } expected[] = { { 1, 0.75, 0 }, { 2, 0.5, 0.25 }, { 3, 0.5, 0.25 } };
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(wells[i].well, expected[i].well);
        EXPECT_EQ(wells[i].probabilityWithout, expected[i].without);
        EXPECT_EQ(wells[i].loss, expected[i].loss);
    }
    EXPECT_EQ(
        redundantWellsCsv(wells), "well,probability_without,loss\r\nA,0.75,0\r\n\"B,2\",0.5,0.25\r\nC,0.5,0.25\r\n");
}

// A cancel at any poll leaves the study before as it was, and says so.
TEST_F(PlumeStudy, ACancelledStudyLeavesTheOneBefore)
{
    setRanges(m);
    ASSERT_TRUE(runPlumeUncertainty(s, { 20, 1, 1 }));
    const PlumeUncertaintyResult before = *s.part<PlumeUncertaintyStore>().last;
    for (int cancelAfter : { 0, 1 }) {
        SCOPED_TRACE(cancelAfter);
        t.frontend.messageLines.clear();
        t.frontend.cancelPolls = 0, t.frontend.cancelAfterPolls = cancelAfter;
        EXPECT_FALSE(runPlumeUncertainty(s, { 40, 2, 5 }));
        EXPECT_EQ(t.frontend.messageLines,
            QStringList { "Plume uncertainty study cancelled; the results are as they were." });
        ASSERT_TRUE(s.part<PlumeUncertaintyStore>().last);
        EXPECT_TRUE(sameGrids(*s.part<PlumeUncertaintyStore>().last, before));
        EXPECT_EQ(s.part<PlumeUncertaintyStore>().last->settings.runs, 20);
    }
    EXPECT_FALSE(t.frontend.busy);
}

TEST_F(PlumeStudy, ACompletedStudySaysWhatItDidAndRefusesAProjectWithoutAPlume)
{
    m.ConcUnits = QStringLiteral("ug/L");
    t.frontend.messageLines.clear();
    ASSERT_TRUE(runPlumeUncertainty(s, { 3, 9, 1 }));
    ASSERT_FALSE(t.frontend.messageLines.isEmpty());
    EXPECT_EQ(t.frontend.messageLines[0],
        "Plume uncertainty: 3 parameter sets (seed 9) of 4 sample dates on 31 x 17 nodes; threshold 1 ug/L; the "
        "wells see the plume in 100 % of the sets.");
    const PlumeUncertaintyResult &r = *s.part<PlumeUncertaintyStore>().last;
    EXPECT_EQ(t.frontend.messageLines.size(), qsizetype(1 + r.detectionWells.size()));
    EXPECT_EQ(r.wellSpacing, 20) << "ten grid spacings without minimum-distance levels";

    s.clearParts();
    EXPECT_FALSE(s.part<PlumeUncertaintyStore>().last) << "a cleared project drops the study";
    m.ANDone = false;
    t.frontend.expectErrors = true;
    EXPECT_FALSE(runPlumeUncertainty(s, { 3, 9, 1 }));
    const QStringList errors = t.frontend.boxTexts(MsgIcon::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("There is no plume to study: the project has no analytical results. Run the "
                                     "analytical solution first.\n"))
        << errors[0].toStdString();
}

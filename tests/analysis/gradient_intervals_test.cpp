#include "analysis/gradient_intervals.h"
#include "analysis/student_t.h"
#include "input/water_level_reader.h"

#include <Eigen/Dense>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace qel;
using regress::WellLevel;

namespace {

// Standard errors of a and b from the uncentred three-column design, solved by Householder QR:
// cov = s^2 (R^T R)^-1. Shares nothing with the centred normal equations of the code.
std::pair<double, double> qrStandardErrors(const std::vector<WellLevel> &wells)
{
    const Eigen::Index n = Eigen::Index(wells.size());
    Eigen::MatrixXd x(n, 3);
    Eigen::VectorXd h(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        x.row(i) << wells[std::size_t(i)].x, wells[std::size_t(i)].y, 1;
        h(i) = wells[std::size_t(i)].level;
    }
    const Eigen::HouseholderQR<Eigen::MatrixXd> qr(x);
    const Eigen::Vector3d beta = qr.solve(h);
    const double s2 = (x * beta - h).squaredNorm() / double(n - 3);
    const Eigen::Matrix3d r = qr.matrixQR().topRows(3).triangularView<Eigen::Upper>();
    const Eigen::Matrix3d rInverse = r.inverse();
    const Eigen::Matrix3d covariance = s2 * rInverse * rInverse.transpose();
    return { std::sqrt(covariance(0, 0)), std::sqrt(covariance(1, 1)) };
}

// A tilted plane with a fixed pattern of deviations, so that the residuals are not zero.
std::vector<WellLevel> plane(double a, double b, double c, const std::vector<std::pair<double, double>> &points,
    double noise, double x0 = 0, double y0 = 0)
{
    std::vector<WellLevel> wells;
    int k = 0;
    for (const auto &[x, y] : points) {
        ++k;
        const double deviation = noise * std::sin(1.7 * k + 0.3 * k * k);
        wells.push_back({ x0 + x, y0 + y, a * x + b * y + c + deviation });
    }
    return wells;
}

const std::vector<std::pair<double, double>> Square4 = { { 0, 0 }, { 100, 0 }, { 0, 100 }, { 100, 100 } };
const std::vector<std::pair<double, double>> Scatter9 = { { 0, 0 }, { 250, 30 }, { 40, 310 }, { 400, 420 },
    { 120, 160 }, { 330, 210 }, { 510, 60 }, { 70, 520 }, { 260, 480 } };

} // namespace

TEST(StudentT, QuantilesMatchTheTables)
{
    const struct {
        double p;
        int dof;
        double t;
    } cases[] = {
        { 0.975, 1, 12.706204736174703 },
        { 0.975, 2, 4.302652729749464 },
        { 0.975, 5, 2.570581835636314 },
        { 0.975, 10, 2.228138851986274 },
        { 0.975, 30, 2.042272456301238 },
        { 0.95, 1, 6.313751514675043 },
        { 0.95, 10, 1.812461122811676 },
        { 0.995, 5, 4.032142983557536 },
        { 0.9, 3, 1.637744353696210 },
        { 0.975, 1000, 1.962339 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "p " << c.p << ", dof " << c.dof);
        const double tolerance = c.dof == 1000 ? 1e-6 : 1e-10 * c.t;
        EXPECT_NEAR(studentTQuantile(c.p, c.dof), c.t, tolerance);
        EXPECT_NEAR(studentTQuantile(1 - c.p, c.dof), -c.t, tolerance) << "the distribution is symmetric";
    }
    EXPECT_EQ(studentTQuantile(0.5, 7), 0);
}

TEST(StudentT, IncompleteBetaSpecialCases)
{
    for (double x : { 0.0, 0.1, 0.37, 0.5, 0.9, 1.0 }) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(regularizedIncompleteBeta(x, 1, 1), x, 1e-14);
        EXPECT_NEAR(regularizedIncompleteBeta(x, 3, 1), x * x * x, 1e-14);
        EXPECT_NEAR(regularizedIncompleteBeta(x, 1, 2), 1 - (1 - x) * (1 - x), 1e-14);
        EXPECT_NEAR(regularizedIncompleteBeta(x, 2.5, 4) + regularizedIncompleteBeta(1 - x, 4, 2.5), 1, 1e-13);
    }
    EXPECT_NEAR(regularizedIncompleteBeta(0.5, 7.5, 7.5), 0.5, 1e-14);
}

TEST(StudentT, BadArgumentsAreError5)
{
    for (const auto &[p, dof] : { std::pair { 0.975, 0 }, { 0.0, 5 }, { 1.0, 5 }, { std::nan(""), 5 } }) {
        try {
            studentTQuantile(p, dof);
            ADD_FAILURE() << "p " << p << ", dof " << dof << " was accepted";
        } catch (const QelError &e) {
            EXPECT_EQ(e.number(), ErrInvalidCall);
        }
    }
}

TEST(GradientIntervals, StandardErrorsEqualAnIndependentLeastSquaresSolve)
{
    const struct {
        const char *name;
        std::vector<WellLevel> wells;
    } cases[] = {
        { "four wells, one degree of freedom", plane(-0.002, 0.001, 50, Square4, 0.01) },
        { "nine scattered wells", plane(0.0031, -0.0047, 98, Scatter9, 0.02) },
        { "nearly flat, noisy", plane(1e-6, -2e-6, 10, Scatter9, 0.05) },
        { "steep", plane(0.8, 0.35, -3, Scatter9, 0.4) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const GradientInterval g = gradientInterval(c.wells);
        ASSERT_TRUE(g.hasInterval) << g.note.toStdString();
        const auto [seA, seB] = qrStandardErrors(c.wells);
        EXPECT_NEAR(g.seA, seA, 1e-9 * seA);
        EXPECT_NEAR(g.seB, seB, 1e-9 * seB);
        // Magnitude and direction are the regression's own, bit for bit.
        const regress::PlaneFit fit = regress::fitPlane(c.wells);
        EXPECT_EQ(g.n, int(c.wells.size()));
        EXPECT_EQ(g.a, fit.a);
        EXPECT_EQ(g.b, fit.b);
        EXPECT_EQ(g.magnitude, fit.magnitude);
        EXPECT_EQ(g.direction, fit.direction);
    }
}

// Site coordinates in the hundreds of thousands: the same slopes and errors as near the origin.
TEST(GradientIntervals, SurveyCoordinatesGiveTheSameErrors)
{
    const GradientInterval near = gradientInterval(plane(0.0031, -0.0047, 98, Scatter9, 0.02));
    const GradientInterval far = gradientInterval(plane(0.0031, -0.0047, 98, Scatter9, 0.02, 512000, 4310000));
    EXPECT_NEAR(far.seA, near.seA, 1e-6 * near.seA);
    EXPECT_NEAR(far.seB, near.seB, 1e-6 * near.seB);
    EXPECT_NEAR(far.magnitudeHalfWidth, near.magnitudeHalfWidth, 1e-6 * near.magnitudeHalfWidth);
}

// The delta method's half-widths against a Jacobian taken by central differences of the
// magnitude and azimuth functions themselves.
TEST(GradientIntervals, DeltaMethodHalfWidths)
{
    const std::vector<WellLevel> wells = plane(0.0031, -0.0047, 98, Scatter9, 0.02);
    const GradientInterval g = gradientInterval(wells);
    const double t = studentTQuantile(0.975, int(wells.size()) - 3);
    const double step = 1e-9;
    const auto jacobian = [&](auto f) {
        return Eigen::Vector2d((f(g.a + step, g.b) - f(g.a - step, g.b)) / (2 * step),
            (f(g.a, g.b + step) - f(g.a, g.b - step)) / (2 * step));
    };
    Eigen::Matrix2d cov;
    cov << g.seA * g.seA, g.covAB, g.covAB, g.seB * g.seB;
    const Eigen::Vector2d dm = jacobian([](double a, double b) { return std::hypot(a, b); });
    const Eigen::Vector2d dd = jacobian([](double a, double b) { return regress::flowAzimuth(a, b); });
    EXPECT_NEAR(g.magnitudeHalfWidth, t * std::sqrt(dm.dot(cov * dm)), 1e-5 * g.magnitudeHalfWidth);
    EXPECT_NEAR(g.directionHalfWidth, t * std::sqrt(dd.dot(cov * dd)), 1e-5 * g.directionHalfWidth);
    EXPECT_DOUBLE_EQ(g.magnitudeLow, g.magnitude - g.magnitudeHalfWidth);
    EXPECT_DOUBLE_EQ(g.magnitudeHigh, g.magnitude + g.magnitudeHalfWidth);
    EXPECT_DOUBLE_EQ(*g.directionLow, g.direction - g.directionHalfWidth);
}

TEST(GradientIntervals, DirectionAcrossDueSouthWraps)
{
    // Flow due south (levels rise northwards) with enough noise for a few degrees of interval.
    const GradientInterval g = gradientInterval(plane(0, 0.002, 40, Scatter9, 0.05));
    ASSERT_TRUE(g.directionLow && g.directionHigh);
    EXPECT_GT(g.directionHalfWidth, 1);
    EXPECT_GT(*g.directionLow, 0) << "just west of south, clockwise";
    EXPECT_LT(*g.directionHigh, 0) << "just east of south, past 180";
    EXPECT_NEAR(std::fmod(*g.directionHigh - *g.directionLow + 720, 360), 2 * g.directionHalfWidth, 1e-9)
        << "the interval runs clockwise from low to high";
}

TEST(GradientIntervals, DatesWithoutAnInterval)
{
    const struct {
        const char *name;
        std::vector<WellLevel> wells;
        bool fitted;
        bool hasInterval;
        bool hasDirection;
    } cases[] = {
        { "two wells", { { 0, 0, 1 }, { 1, 0, 2 } }, false, false, false },
        { "three wells fit exactly", { { 0, 0, 1 }, { 10, 0, 2 }, { 0, 10, 3 } }, true, false, false },
        { "four wells on one line", { { 0, 0, 1 }, { 1, 1, 2 }, { 2, 2, 3 }, { 3, 3, 3.5 } }, false, false, false },
        { "a flat plane", { { 0, 0, 5 }, { 10, 0, 5 }, { 0, 10, 5 }, { 10, 10, 5 } }, true, false, false },
        // A slope of 1e-4 under residuals of 1 (the twist x y is orthogonal to the plane).
        { "a gradient lost in the noise",
            { { 0, 0, 1 }, { 100, 0, -1 + 0.01 }, { 0, 100, -1 }, { 100, 100, 1 + 0.01 } }, true, true, false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const GradientInterval g = gradientInterval(c.wells);
        EXPECT_EQ(g.n, int(c.wells.size()));
        EXPECT_EQ(g.fitted, c.fitted);
        EXPECT_EQ(g.hasInterval, c.hasInterval);
        EXPECT_EQ(g.directionLow.has_value(), c.hasDirection);
        EXPECT_EQ(g.note.isEmpty(), c.hasDirection) << g.note.toStdString();
    }
}

TEST(GradientIntervals, WrapDegrees)
{
    const std::pair<double, double> cases[] = { { 0, 0 }, { 180, 180 }, { -180, 180 }, { 181, -179 }, { -181, 179 },
        { 540, 180 }, { 725, 5 }, { -725, -5 } };
    for (const auto &[in, out] : cases)
        EXPECT_DOUBLE_EQ(wrapDegrees(in), out) << in;
}

// The levels are those of the regression input: an unlocated well and a missing level stay out,
// the csv leaves the fields of a date without an interval empty.
TEST(GradientIntervals, ModelLevelsAndCsv)
{
    auto m = std::make_unique<ProjectModel>();
    m->NumWLWells = 6;
    m->NumSamples = 2;
    m->SampleDate(1) = QDate(2023, 3, 15);
    m->SampleDate(2) = QDate(2023, 6, 14);
    const double xy[6][2] = { { 0, 0 }, { 100, 0 }, { 0, 100 }, { 100, 100 }, { 50, 40 }, { 30, 80 } };
    for (int j = 1; j <= 6; ++j) {
        m->WLWellID(j) = QStringLiteral("MW-%1").arg(j);
        m->WLWellX(j) = xy[j - 1][0];
        m->WLWellY(j) = xy[j - 1][1];
        m->WLData(j, 1) = 10 + 0.01 * xy[j - 1][0] + 0.001 * j * j;
        m->WLData(j, 2) = j <= 3 ? 20 - 0.02 * xy[j - 1][1] : MissingLevel;
    }
    m->WLWellUnlocated(6) = 1;
    const std::vector<std::vector<WellLevel>> levels = regressionLevels(*m);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0].size(), 5u) << "the unlocated well stays out";
    EXPECT_EQ(levels[1].size(), 3u) << "missing levels stay out";

    const std::vector<GradientInterval> intervals = gradientIntervals(*m);
    ASSERT_EQ(intervals.size(), 2u);
    const QList<QByteArray> lines = gradientIntervalsCsv(*m, intervals).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0],
        "date,n,a,b,se_a,se_b,magnitude,magnitude_low,magnitude_high,direction,direction_low,direction_high\r");
    EXPECT_TRUE(lines[3].isEmpty()) << "every line ends in CR LF";
    const QList<QByteArray> first = lines[1].chopped(1).split(',');
    const QList<QByteArray> second = lines[2].chopped(1).split(',');
    ASSERT_EQ(first.size(), 12);
    ASSERT_EQ(second.size(), 12);
    EXPECT_EQ(first[1], "5");
    for (const QByteArray &field : first)
        EXPECT_FALSE(field.isEmpty());
    EXPECT_EQ(second[1], "3");
    EXPECT_NEAR(second[3].toDouble(), -0.02, 1e-12);
    EXPECT_NEAR(second[6].toDouble(), 0.02, 1e-12);
    EXPECT_NEAR(second[9].toDouble(), 0, 1e-9) << "flow due north";
    for (int f : { 4, 5, 7, 8, 10, 11 })
        EXPECT_TRUE(second[f].isEmpty()) << f;
}

// `qel --batch alpha-site.prj --gradient-intervals FILE.csv` with the real program: the csv agrees
// with the regress program's own results and with a least-squares solve of its input made here.
#include "core/number_text.h"
#include "regress/regress_input.h"
#include "support/qel_process.h"
#include "support/test_session.h"

#include <Eigen/Dense>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct Fit {
    double a, b, seA, seB;
};

// The uncentred three-column least squares of one date of the regression input, by QR.
Fit solve(const regress::RegressInput &input, std::size_t date)
{
    std::vector<const regress::RegressWell *> wells;
    for (const regress::RegressWell &w : input.wells)
        if (w.levels[date] != -9999)
            wells.push_back(&w);
    const Eigen::Index n = Eigen::Index(wells.size());
    // Shifted by the first well: survey coordinates would cost the uncentred solve its digits.
    const double x0 = wells[0]->x, y0 = wells[0]->y;
    Eigen::MatrixXd x(n, 3);
    Eigen::VectorXd h(n);
    for (Eigen::Index i = 0; i < n; ++i) {
        x.row(i) << wells[std::size_t(i)]->x - x0, wells[std::size_t(i)]->y - y0, 1;
        h(i) = wells[std::size_t(i)]->levels[date];
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(x);
    const Eigen::Vector3d beta = qr.solve(h);
    const Eigen::Matrix3d covariance = (x * beta - h).squaredNorm() / double(n - 3) * (x.transpose() * x).inverse();
    return { beta(0), beta(1), std::sqrt(covariance(0, 0)), std::sqrt(covariance(1, 1)) };
}

} // namespace

TEST(GradientIntervalsBatch, ExampleSiteCsv)
{
    const TestSession t;
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    const QString csv = site + QStringLiteral("intervals.csv");
    const QelRun run = runQel(t.home(), { "--batch", site + "alpha-site.prj", "--gradient-intervals", csv });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Saved the gradient intervals of 8 sample dates")));

    const regress::ParseResult parsed = regress::parseRegressInput(readBytes(site + "regress_input.dat"));
    ASSERT_TRUE(parsed.input) << parsed.problem.toStdString();
    const regress::RegressInput &input = *parsed.input;
    QList<QByteArray> regressLines = readBytes(site + "regress.out").split('\n');
    QList<QByteArray> lines = readBytes(csv).split('\n');
    ASSERT_EQ(lines.size(), input.dates.size() + 2);
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_EQ(lines[0],
        "date,n,a,b,se_a,se_b,magnitude,magnitude_low,magnitude_high,direction,direction_low,direction_high\r");
    for (qsizetype d = 0; d < input.dates.size(); ++d) {
        SCOPED_TRACE(input.dates[d].toStdString());
        ASSERT_TRUE(lines[d + 1].endsWith('\r'));
        const QStringList f = QString::fromUtf8(lines[d + 1].chopped(1)).split(u',');
        ASSERT_EQ(f.size(), 12);
        EXPECT_EQ(f[0], input.dates[d]) << "the date as the regression input writes it";
        // The gradient and the direction are the regress program's, in the csv's number text.
        const QStringList exact = QString::fromLatin1(regressLines[d + 1].mid(86)).split(u' ', Qt::SkipEmptyParts);
        ASSERT_EQ(exact.size(), 6);
        EXPECT_EQ(f[2], numberText(exact[0].toDouble()));
        EXPECT_EQ(f[3], numberText(exact[1].toDouble()));
        EXPECT_EQ(f[6], numberText(exact[4].toDouble()));
        EXPECT_EQ(f[9], numberText(exact[5].toDouble()));

        const Fit fit = solve(input, std::size_t(d));
        EXPECT_NEAR(f[4].toDouble(), fit.seA, 1e-9 * fit.seA);
        EXPECT_NEAR(f[5].toDouble(), fit.seB, 1e-9 * fit.seB);
        EXPECT_LT(f[7].toDouble(), f[6].toDouble());
        EXPECT_GT(f[8].toDouble(), f[6].toDouble());
        EXPECT_LT(f[10].toDouble(), f[9].toDouble());
        EXPECT_GT(f[11].toDouble(), f[9].toDouble());
    }
}

TEST(GradientIntervalsBatch, NoRegressionNoFile)
{
    const TestSession t;
    const QString site = copyExample(t.home(), QStringLiteral("site"), VectorExampleFiles);
    QByteArray project = readBytes(site + "alpha-site.prj");
    project.replace("RGDone=True", "RGDone=False");
    writeBytes(site + "no-regression.prj", project);
    const QString csv = site + QStringLiteral("intervals.csv");
    const QelRun run = runQel(t.home(), { "--batch", site + "no-regression.prj", "--gradient-intervals", csv });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("the project has no regression results"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(csv));
}

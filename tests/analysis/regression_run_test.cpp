#include "analysis/regression_run.h"
#include "core/date_text.h"
#include "support/test_session.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// Wells on the plane level = -0.01 x - 0.02 y + 100, the second date a metre higher and one
// well not measured on it.
void fillPlane(ProjectModel &m)
{
    const double wells[][2] = { { 0, 0 }, { 100, 0 }, { 0, 100 }, { 100, 100 }, { 50, 30 } };
    m.NumWLWells = 5, m.NumSamples = 2;
    m.SampleDate(1) = QDate(2023, 3, 15), m.SampleDate(2) = QDate(2023, 6, 14);
    for (int j = 1; j <= 5; ++j) {
        const double x = wells[j - 1][0], y = wells[j - 1][1];
        m.WLWellID(j) = QStringLiteral("MW-%1").arg(j), m.WLWellX(j) = x, m.WLWellY(j) = y;
        m.WLData(j, 1) = 100 - 0.01 * x - 0.02 * y;
        m.WLData(j, 2) = j == 3 ? -9999 : 101 - 0.01 * x - 0.02 * y;
    }
}

// A result line: characters 1-21 are not read; the six fields are 10 characters wide, one blank
// apart; anything after them follows the last field.
QByteArray line(const char *label, QStringList fields, const char *after = "")
{
    for (QString &f : fields)
        f = f.rightJustified(10);
    return QString::fromLatin1(label).leftJustified(21).toLatin1() + fields.join(u' ').toLatin1() + after + "\r\n";
}

class Regression : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("QEL_REGRESS", QByteArray(QEL_BINARY_DIR "/bin/regress"));
        t.makeProjectFolder();
        fillPlane(s.model);
    }
    void TearDown() override { qunsetenv("QEL_REGRESS"); }

    TestSession t;
    Session &s = *t.session;
};

} // namespace

// Written byte for byte as regress expects it; regress reads the example's file in the example replay.
TEST(RegressionInput, TheFileByteForByte)
{
    ProjectModel m;
    m.NumWLWells = 2, m.NumSamples = 1, m.SampleDate(1) = QDate(2024, 3, 15);
    m.WLWellID(1) = QStringLiteral(" MW 1 "), m.WLWellX(1) = 1250.5, m.WLWellY(1) = 0.00001, m.WLData(1, 1) = 101;
    m.WLWellID(2) = QStringLiteral("MW-2"), m.WLWellX(2) = 1e15, m.WLWellY(2) = -3, m.WLData(2, 1) = 99.25;
    std::optional<QString> stop;
    const QByteArray date = shortDateText(m.SampleDate(1)).toUtf8();
    EXPECT_EQ(regressionInputBytes(m, stop),
        " 2  1 \r\n'" + date + "' \r\n' MW 1 '  1250.5  1E-05  101  \r\n'MW-2'  1E+15  -3  99.25  \r\n");
    EXPECT_FALSE(stop);

    // A well the well list does not know keeps its levels out of the fit.
    m.WLWellUnlocated(2) = 1;
    EXPECT_TRUE(regressionInputBytes(m, stop).endsWith("'MW-2'  1E+15  -3  -9999  \r\n"));
}

TEST(RegressionInput, ABlankDateOrIdentifierStopsTheFile)
{
    ProjectModel m;
    fillPlane(m);
    m.WLWellID(2) = QStringLiteral("   ");
    std::optional<QString> stop;
    regressionInputBytes(m, stop);
    EXPECT_EQ(stop, QStringLiteral("Well ID is blank for well number 2. Regression stopped."));

    m.SampleDate(2) = QDate();
    regressionInputBytes(m, stop);
    EXPECT_EQ(stop, QStringLiteral("Date field is blank for sample number 2. Regression stopped."));
}

TEST(RegressionResults, FixedColumnsTheDExponentAndShortLines)
{
    ProjectModel m;
    m.NumSamples = 2;
    m.Xcoeff(3) = 7;
    const QByteArray out = "header\r\n"
        + line("   1 '15 Mar 2023'", { "0.1234D-02", "-0.02", "100.5", "0.99", "0.02", "26.5" })
        + line("   2 'short'", { "-1.5" });
    readRegressionResults(m, out);
    EXPECT_DOUBLE_EQ(m.Xcoeff(1), 0.001234);
    // Ycoeff(2) lies wholly past the end of its line; Xcoeff(3) is beyond NumSamples.
    EXPECT_EQ(std::tuple(m.Ycoeff(1), m.Const(1), m.Direction(1), m.Xcoeff(2), m.Ycoeff(2), m.Xcoeff(3)),
        std::tuple(-0.02, 100.5, 26.5, -1.5, 0.0, 7.0));

    m.NumSamples = 3;
    EXPECT_EQ(thrownBy([&] { readRegressionResults(m, out); }).number(), ErrPastEndOfFile)
        << "a missing result line is an error";
}

// The fit of every date, a well without a level left out, is compared with golden files in
// tests/app/example_replay_test.cpp.

// Wells of a survey-sized site, x near 500 000 and y near 4 500 000 m. The corners of a square are
// a centimetre off a plane in a saddle pattern, which no plane follows (its sums against 1, x and y
// are 0), so the least-squares fit is that plane: the level it gives anywhere on the site must be
// the plane's to the millimetre.
TEST_F(Regression, SurveySizedCoordinatesKeepTheFittedLevelToTheMillimetre)
{
    const auto plane = [](double x, double y) { return 100 - 0.00748563217 * (x - 5e5) + 0.0109681123 * (y - 4.5e6); };
    const double wells[][3] = { { 500012.5, 4500031.25, 0.01 }, { 500512.5, 4500031.25, -0.01 },
        { 500012.5, 4500531.25, -0.01 }, { 500512.5, 4500531.25, 0.01 }, { 500262.5, 4500281.25, 0 } };
    ProjectModel &m = s.model;
    m.NumWLWells = 5, m.NumSamples = 1;
    for (int j = 1; j <= 5; ++j) {
        const auto &w = wells[j - 1];
        m.WLWellID(j) = QStringLiteral("W%1").arg(j), m.WLWellX(j) = w[0], m.WLWellY(j) = w[1];
        m.WLData(j, 1) = plane(w[0], w[1]) + w[2];
    }
    RunRegress(s);
    ASSERT_TRUE(m.RGDone) << s.ErrorText.toStdString();
    for (const auto &at : { std::pair(500262.5, 4500281.25), std::pair(5e5, 4.5e6), std::pair(500500.0, 4500500.0) }) {
        const double fitted = m.Xcoeff(1) * at.first + m.Ycoeff(1) * at.second + m.Const(1);
        EXPECT_NEAR(fitted, plane(at.first, at.second), 0.001) << at.first << ", " << at.second;
    }
}

// A finished run says in the Message window what the fits found; both dates share one plane.
TEST_F(Regression, AFinishedRunSaysWhatTheFitsFound)
{
    RunRegress(s);
    ASSERT_TRUE(s.model.RGDone) << s.ErrorText.toStdString();
    EXPECT_EQ(t.frontend.messageLines.value(0).toStdString(),
        QStringLiteral("Regression of 2 sample dates: hydraulic gradient 0.0224, flow towards 26.57 degrees "
                       "(clockwise from north).")
            .toStdString());
}

// Missing inputs stop before any file is written and leave the result as it was; a program that
// fails clears it. The missing inputs come first, while no input file has been written yet.
TEST_F(Regression, FailuresAreReportedAndClearTheResult)
{
    const struct {
        const char *name;
        const char *program; // in place of ours, or nullptr
        int wells, samples;
        const char *start;
        bool resultKept;
    } cases[] = {
        { "no wells", nullptr, 0, 2,
            "Number of wells for water levels data is ZERO! Have you gone through Water Levels input data?.", true },
        { "no samples", nullptr, 5, 0,
            "Number of water level samples is ZERO! Have you gone through Water Levels input data?.", true },
        { "program missing", "/nonexistent/regress", 5, 2, "QEL(RunRegress): 53: \n", false },
        { "program fails", "/bin/false", 5, 2, "QEL(RunRegress): 5: \nThe regression program failed", false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.program) {
            qputenv("QEL_REGRESS", c.program);
        }
        s.model.NumWLWells = int16(c.wells), s.model.NumSamples = int16(c.samples), s.model.RGDone = true;
        t.frontend.boxes.clear();
        t.frontend.expectErrors = true;
        RunRegress(s);
        EXPECT_EQ(s.model.RGDone, c.resultKept);
        ASSERT_EQ(t.frontend.boxes.size(), 1u);
        EXPECT_TRUE(t.frontend.boxes[0].text.startsWith(QLatin1String(c.start)))
            << t.frontend.boxes[0].text.toStdString();
        if (c.resultKept) {
            EXPECT_FALSE(QFile::exists(s.model.ProjectDir + QStringLiteral("regress_input.dat")));
        }
    }
}

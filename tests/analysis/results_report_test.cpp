#include "analysis/results_report.h"
#include "core/clear_all.h"
#include "core/date_text.h"
#include "support/test_session.h"
#include "support/write_limit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

using namespace qel;
using namespace qel::test;

namespace {

// Two dates on a 3 x 2 grid with hand-set concentrations; the average is theirs.
void fillRun(TestSession &t)
{
    ProjectModel &m = t.session->model;
    t.makeProjectFolder();
    m.ProjectFile = m.ProjectDir + QStringLiteral("site.prj");
    m.BaseMapType = QStringLiteral("vector"), m.BaseMapFile = m.ProjectDir + QStringLiteral("site-plan.dxf");
    m.WEDataFile = m.ProjectDir + QStringLiteral("wells.csv"), m.WLDataFile = QStringLiteral("levels.csv");
    m.NumSamples = 2;
    m.SampleDate(1) = QDate(2023, 3, 15), m.SampleDate(2) = QDate(2023, 10, 4);
    m.DistUnits = QStringLiteral("m"), m.TimeUnits = QStringLiteral("d"), m.ConcUnits = QStringLiteral("ug/L");
    m.PCLeft = 0, m.PCRight = 20, m.PCBottom = -10, m.PCTop = 0, m.PCGridSpacing = 10, m.PCNumX = 3, m.PCNumY = 2;
    m.K = 5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = 1, m.RetFactor = 1.5, m.Decay = true, m.HalfLife = 730;
    m.Time = 3650, m.Swidth = 20, m.C0 = 1000, m.Xsource = 0.5, m.Ysource = -2.25;
    m.Conc.allocate(23, 22, 4);
    const double first[2][3] = { { 0, 0.0001234, 987.654 }, { 1e15, 0.5, 0 } };
    const double second[2][3] = { { 0, 0, 0 }, { 0, 0, 1.5 } };
    for (int iy = 1; iy <= 2; ++iy) {
        for (int ix = 1; ix <= 3; ++ix) {
            m.Conc(ix, iy, 1) = first[iy - 1][ix - 1];
            m.Conc(ix, iy, 2) = second[iy - 1][ix - 1];
            m.Conc(ix, iy, 3) = (first[iy - 1][ix - 1] + second[iy - 1][ix - 1]) / 2;
        }
    }
}

// The run date is "dd-mmm-yyyy" in English whatever the language; the sample dates are in the
// system's short form, whatever machine runs the test.
QByteArray golden(const TestSession &t, const char *today)
{
    QByteArray bytes = readBytes(QStringLiteral(QEL_TEST_DATA "/analysis/small-report.out"));
    bytes.replace("@TODAY@", today);
    bytes.replace("@DATE1@", shortDateText(QDate(2023, 3, 15)).toUtf8());
    bytes.replace("@DATE2@", shortDateText(QDate(2023, 10, 4)).toUtf8());
    bytes.replace("@DIR@", (t.home() + QStringLiteral("site/")).toUtf8());
    return bytes;
}

class ResultsReport : public ::testing::Test {
protected:
    void SetUp() override { fillRun(t); }

    TestSession t;
    Session &s = *t.session;
    ProjectModel &m = s.model;
};

} // namespace

TEST_F(ResultsReport, TheReportByteForByte)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "Dez." would be German
    const QDate today(2024, 12, 5);
    EXPECT_EQ(resultsReportBytes(s, today), golden(t, "05-Dec-2024"));
    QLocale::setDefault(before);
}

// The fields are written without printf for speed; they must be printf's text to the byte, at
// rounding ties, at exponents of three digits, at ordinary values and at zeros.
TEST_F(ResultsReport, FieldsAreThoseOfPrintf)
{
    m.PCNumX = 400, m.PCNumY = 50;
    m.Conc.allocate(400, 50, 4);
    std::vector<double> values = { 9.9995E-05, 0.00099995, 1, 9.9995, 9.99949999, 1.0005, 0.5, 1e100, 1.2345e-150,
        9.9995e99, 1e-5, 123456789, 1e15, 5e-324, 1e300, -1.5, -0.0, std::nan(""), INFINITY };
    for (int k = -30; k <= 30; ++k) { // the decimal exponent changes at the powers of ten
        const double power = std::pow(10.0, k);
        values.insert(values.end(),
            { power, std::nextafter(power, 0.0), std::nextafter(power, INFINITY), 9.9995 * power, 9.9994999 * power,
                -power });
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> exponent(-300, 300), tie(1000, 9999);
    while (values.size() < 400 * 50) {
        const int k = exponent(random);
        values.push_back(mantissa(random) * std::pow(10.0, k));
        values.push_back((tie(random) + 0.5) * std::pow(10.0, k - 3)); // near a rounding tie
    }
    // The last rows: runs of zeros at the ends, whose text is copied whole, with negative zeros
    // in and next to them, and a row of nothing but zeros.
    const auto at = [&](int row, int ix) -> double & { return values[std::size_t((row - 1) * 400 + ix)]; };
    for (int ix = 0; ix < 400; ++ix) {
        at(50, ix) = 0;
        if (ix < 150 || ix >= 390)
            at(49, ix) = 0;
        if (ix < 10 || ix > 395)
            at(48, ix) = ix == 0 || ix == 9 || ix == 399 ? -0.0 : 0.0;
    }
    QByteArray expected;
    for (int iy = 1; iy <= 50; ++iy) {
        for (int ix = 1; ix <= 400; ++ix) {
            const double v = values[std::size_t((iy - 1) * 400 + ix - 1)];
            m.Conc(ix, iy, 1) = v;
            char field[32];
            expected.append(field, std::snprintf(field, sizeof field, " %.3E", v));
        }
        expected += "\r\n";
    }
    const QByteArray report = resultsReportBytes(s, QDate(2024, 3, 5));
    const QByteArray got = report.mid(report.indexOf("\r\n\r\n", report.indexOf("Sample date")) + 4, expected.size());
    qsizetype same = 0;
    while (same < expected.size() && got[same] == expected[same])
        ++same;
    EXPECT_EQ(same, expected.size()) << "printf " << expected.mid(same - 20, 40).toStdString() << "\nwritten "
                                     << got.mid(same - 20, 40).toStdString();
}

// The walk exports the report through the dialog; here a cancelled dialog, and a failure that is
// found after megabytes went to disk (the average is missing), which leaves the old report whole.
TEST_F(ResultsReport, ExportAsksForTheFileAndKeepsTheOldReportOnFailure)
{
    t.frontend.queueCancelledFile();
    ExportAnalyticalResults(s);
    EXPECT_FALSE(s.model.ERDone);
    EXPECT_TRUE(t.frontend.boxes.empty()) << "a cancelled dialog says nothing";

    t.frontend.expectErrors = true;
    const QString path = writeBytes(s.model.ProjectDir + QStringLiteral("QELResults.out"), "an older report\r\n");
    s.model.NumSamples = 3, s.model.PCNumX = s.model.PCNumY = 400;
    s.model.Conc.allocate(400, 400, 3);
    t.frontend.queueFile(path);
    t.frontend.answers.push_back(MsgAnswer::Yes); // to replacing it
    t.frontend.expectErrors = true;
    ExportAnalyticalResults(s);
    EXPECT_FALSE(s.model.ERDone);
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(
        t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(ExportAnalyticalResults): 9: \n")));
    EXPECT_EQ(readBytes(path), "an older report\r\n");
    EXPECT_EQ(QDir(s.model.ProjectDir).entryList(QDir::Files), QStringList { "QELResults.out" });
}

// A disk that fills up in the header, in the first grid or in a later one (the grids go to the
// file from several threads) leaves the old report to the byte and nothing else in the folder.
TEST_F(ResultsReport, AFullDiskLeavesTheOldReport)
{
    const QString path = writeBytes(s.model.ProjectDir + QStringLiteral("QELResults.out"), "an older report\r\n");
    s.model.NumSamples = 3, s.model.PCNumX = s.model.PCNumY = 400;
    s.model.Conc.allocate(400, 400, 4);
    for (const rlim_t room : { rlim_t(100), rlim_t(600) << 10, rlim_t(5) << 20 }) {
        SCOPED_TRACE(room);
        t.frontend.expectErrors = true;
        t.frontend.boxes.clear();
        {
            const WriteLimit full(room);
            EXPECT_FALSE(writeResultsReport(s, path));
        }
        EXPECT_FALSE(s.model.ERDone);
        ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
        EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(
            QStringLiteral("QEL(ExportAnalyticalResults): 75: \nPath/File access error")));
        EXPECT_EQ(readBytes(path), "an older report\r\n");
        EXPECT_EQ(QDir(s.model.ProjectDir).entryList(QDir::Files), QStringList { "QELResults.out" });
    }
}

// A cancel while the grids are written drops the new file: the old report stays to the byte, and
// so does the step's flag.
TEST_F(ResultsReport, ACancelledReportLeavesTheOldOne)
{
    const QString path = writeBytes(s.model.ProjectDir + QStringLiteral("QELResults.out"), "an older report\r\n");
    for (int cancelAfter : { 0, 3 }) {
        SCOPED_TRACE(cancelAfter);
        t.frontend.cancelPolls = 0, t.frontend.cancelAfterPolls = cancelAfter;
        t.frontend.messageLines.clear();
        EXPECT_FALSE(writeResultsReport(s, path));
        EXPECT_EQ(t.frontend.cancelPolls, cancelAfter + 1);
        EXPECT_FALSE(s.model.ERDone);
        EXPECT_EQ(readBytes(path), "an older report\r\n");
        EXPECT_EQ(QDir(s.model.ProjectDir).entryList(QDir::Files), QStringList { "QELResults.out" });
        EXPECT_EQ(t.frontend.messageLines, QStringList { "Results report cancelled; " + path + " is as it was." });
    }
    t.frontend.cancelAfterPolls = -1;
    EXPECT_TRUE(writeResultsReport(s, path));
    EXPECT_NE(readBytes(path), "an older report\r\n");
    EXPECT_EQ(t.frontend.panelStatus, "Saved model results: " + path) << "not the last progress text";
}

// Where nobody watches (a batch run), the replay's report is written behind the steps after it:
// nothing is said and no flag set until it is finished, and then just what the step says when it
// writes the report itself, whether the report was written, failed after megabytes (the average
// is missing), or the project was cleared before it was finished.
TEST_F(ResultsReport, AReportBehindTheStepsEndsAsTheStepWould)
{
    t.frontend.unattended = true;
    const QString path = s.model.ProjectDir + QStringLiteral("QELResults.out");
    const QString today = QLocale::c().toString(QDate::currentDate(), QStringLiteral("dd-MMM-yyyy"));
    const QByteArray whole = golden(t, today.toLatin1().constData());
    const struct {
        const char *name;
        bool averageMissing, clearedFirst;
    } cases[] = { { "written", false, false }, { "failed", true, false }, { "cleared first", false, true } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fillRun(t);
        s.model.ERDone = false;
        writeBytes(path, "an older report\r\n");
        if (c.averageMissing) {
            s.model.NumSamples = 3, s.model.PCNumX = s.model.PCNumY = 400;
            s.model.Conc.allocate(400, 400, 3);
        }
        t.frontend.messageLines.clear();
        t.frontend.boxes.clear();
        t.frontend.expectErrors = c.averageMissing;
        t.frontend.queueFile(path);
        t.frontend.answers.push_back(MsgAnswer::Yes); // to replacing it
        replayResultsReport(s);
        EXPECT_FALSE(s.model.ERDone);
        EXPECT_TRUE(t.frontend.messageLines.isEmpty());
        if (c.clearedFirst) {
            ClearAll(s);
            EXPECT_TRUE(s.model.Conc.isEmpty());
        }
        finishResultsReport(s);
        finishResultsReport(s); // once finished, there is nothing more to say
        if (c.averageMissing) {
            EXPECT_FALSE(s.model.ERDone);
            ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
            EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(
                QStringLiteral("QEL(ExportAnalyticalResults): 9: \n")));
            EXPECT_EQ(readBytes(path), "an older report\r\n");
        } else {
            EXPECT_TRUE(t.frontend.messageLines.contains("Saved model results: " + path));
            EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 0);
            EXPECT_EQ(readBytes(path), whole);
        }
        EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList { "QELResults.out" });
    }
}

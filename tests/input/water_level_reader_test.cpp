#include "core/date_text.h"
#include "core/number_text.h"
#include "input/water_level_reader.h"
#include "support/test_session.h"

#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

class WaterLevelReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProjectModel &m = s.model;
        t.makeProjectFolder();
        m.ProjectDirAssigned = true;
        const char *ids[] = { "MW-1", "MW-2", "MW-3" };
        for (int k = 1; k <= 3; ++k)
            m.WellID(k) = QLatin1String(ids[k - 1]), m.WellX(k) = 100.0 * k, m.WellY(k) = 1000.0 - 10 * k;
        m.NumWells = 3;
    }

    void useTable(const QByteArray &rows)
    {
        t.writeFile(QStringLiteral("site/levels.csv"), rows);
        ProjectModel &m = s.model;
        m.WLDataFormat = QStringLiteral("Text"), m.WLFileExt = QStringLiteral("csv"), m.WLDataPath.clear();
        m.WLDataFile = QStringLiteral("levels.csv"), m.WLDataTable = QStringLiteral("levels");
    }

    QStringList warnings() const { return t.frontend.boxTexts(MsgIcon::Warning); }

    TestSession t;
    Session &s = *t.session;
    WaterLevelWizard w;
};

// A table of dates rows and wells columns, every level 100.
QByteArray grid(int dates, int wells)
{
    QByteArray rows = "Date";
    for (int j = 1; j <= wells; ++j)
        rows += ",W" + QByteArray::number(j);
    rows += "\r\n";
    for (int i = 0; i < dates; ++i) {
        rows += QDate(2020, 1, 1).addDays(i).toString(Qt::ISODate).toUtf8();
        for (int j = 1; j <= wells; ++j)
            rows += ",100";
        rows += "\r\n";
    }
    return rows;
}

} // namespace

TEST_F(WaterLevelReader, ReadsDatesLevelsAndCoordinates)
{
    useTable("Date,mw-2,MW-1,MW-3\r\n2023-03-15,100,101.5,-9999\r\n2023-06-14,112.5,100.25,104\r\n");
    EXPECT_TRUE(ReadData(s, w));
    ProjectModel &m = s.model;
    ASSERT_EQ(std::tuple(m.NumSamples, m.NumWLWells), std::tuple(2, 3));
    EXPECT_EQ(std::tuple(m.SampleDate(1), m.SampleDate(2)), std::tuple(QDate(2023, 3, 15), QDate(2023, 6, 14)));
    // matched ignoring case
    EXPECT_EQ(std::tuple(m.WLWellID(1), m.WLWellX(1), m.WLWellY(2)), std::tuple(QStringLiteral("mw-2"), 200.0, 990.0));
    EXPECT_EQ(std::tuple(m.WLData(2, 1), m.WLData(3, 1), m.WLData(1, 2)), std::tuple(101.5, -9999.0, 112.5));
    // -9999 is not a level: the range is 100..112.5 and 12.5 / 5 rounds to the even 2
    EXPECT_EQ(std::tuple(m.WLMin, m.WLMax, m.WLInt), std::tuple(100.0, 112.5, 2.0));
    // the plot limits enclose the wells
    EXPECT_EQ(std::tuple(m.PLLeft, m.PLRight, m.PLBottom, m.PLTop), std::tuple(100.0, 300.0, 970.0, 990.0));
    EXPECT_TRUE(m.WLDone);
    EXPECT_TRUE(warnings().isEmpty());
}

// Each column's well is the first of the locations list whose name it matches ignoring case,
// letters beyond ASCII included.
TEST_F(WaterLevelReader, ColumnsFindTheFirstWellOfTheirNameIgnoringCase)
{
    ProjectModel &m = s.model;
    const char16_t *ids[] = { u"MW-1", u"Brunnen \u00C4", u"mw-1", u"\u03A3-7", u"B\u00FCro" };
    for (int k = 1; k <= 5; ++k)
        m.WellID(k) = QString::fromUtf16(ids[k - 1]), m.WellX(k) = 10.0 * k, m.WellY(k) = 0;
    m.NumWells = 5;
    useTable(QStringLiteral("Date,mw-1,brunnen \u00E4,\u03C3-7,\u03C2-7,B\u00DCRO,Lost\r\n2023-03-15,1,2,3,4,5,6\r\n")
                 .toUtf8());
    ReadData(s, w);
    ASSERT_EQ(m.NumWLWells, 6);
    const double expected[] = { 10, 20, 40, 40, 50, 0 };
    for (int j = 1; j <= 6; ++j)
        EXPECT_EQ(m.WLWellX(j), expected[j - 1]) << m.WLWellID(j).toStdString();
    ASSERT_FALSE(warnings().isEmpty()); // then the two columns of the well Σ-7
    EXPECT_EQ(warnings()[0], QStringLiteral("Water level data well 'Lost' is not found in the well locations list!"));
}

TEST_F(WaterLevelReader, UnknownWellsWarnNullCellsFailTheRead)
{
    t.frontend.expectErrors = true;
    s.model.WLWellX(2) = 42; // left from an earlier read
    useTable("Date,MW-1,Lost,MW-3\r\n2023-03-15,100,101,\r\n2023-06-14,100,101,102\r\n");
    EXPECT_FALSE(ReadData(s, w));
    const ProjectModel &m = s.model;
    EXPECT_EQ(warnings(), QStringList({ "Water level data well 'Lost' is not found in the well locations list!" }));
    EXPECT_EQ(std::tuple(m.WLWellX(2), m.WLWellUnlocated(2), m.WLWellUnlocated(1)), std::tuple(0.0, 1, 0));
    // the rest of the sheet is read
    EXPECT_EQ(std::tuple(m.WLData(2, 2), m.WLData(3, 1), m.WLData(3, 2)), std::tuple(101.0, MissingLevel, 102.0));
    const QString log = t.readLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Wldata: Null Water level value encountered for Well # 3 date ")
        + shortDateText(QDate(2023, 3, 15)) + QStringLiteral("\r\n")));
    EXPECT_EQ(std::tuple(s.errorsReported, m.WLDone), std::tuple(1, false));

    // One well in two columns is shown with both.
    useTable("Date,MW-1,MW-3,mw-1\r\n2023-03-15,100,101,102\r\n");
    EXPECT_TRUE(ReadData(s, w));
    EXPECT_EQ(warnings().value(1),
        "These wells have more than one water level column (letter case ignored): 'MW-1' (columns 2, 4).\nEach "
        "column is read as a well of its own.");
}

TEST_F(WaterLevelReader, BadCellsAreReported)
{
    t.frontend.expectErrors = true;
    struct Case {
        QByteArray rows;
        QString logged; // a line the log holds, or the start of ErrorText
    };
    const Case cases[] = {
        { "Date,MW-1\r\n2023-03-15,ND\r\n", "Wldata: Invalid Water level value \"ND\" for Well # 1 date " },
        // A table of one column, which GDAL's csv reader refuses, reaches the reader's own check.
        { "Date\r\n2023-03-15\r\n", "QEL(Wldata:ReadData): 3274: \nThe table levels holds no well columns" },
    };
    for (const Case &c : cases) {
        useTable(c.rows);
        EXPECT_FALSE(ReadData(s, w)) << c.rows.constData();
        EXPECT_TRUE(t.readLog().contains(c.logged)) << c.logged.toStdString();
        EXPECT_FALSE(s.model.WLDone);
    }
}

TEST_F(WaterLevelReader, DateAndWellLimits)
{
    struct Case {
        int dates, wells;
        QString warning; // empty: read
    };
    const Case cases[] = {
        { 60, 2, {} },
        { 61, 2,
            "Number of dates (61) exceeds the maximum (60) allocated in QEL!\nPlease reduce number of sample dates, or "
            "contact QEL techsupport." },
        { 1, 1000, {} },
        { 1, 1001,
            "Number of wells (1001) exceeds the maximum (1000) allocated in QEL!\nPlease reduce number of wells, or "
            "contact QEL techsupport." },
    };
    for (const Case &c : cases) {
        s.model.NumSamples = 7, s.model.WLDone = false;
        t.frontend.boxes.clear();
        useTable(grid(c.dates, c.wells));
        EXPECT_EQ(ReadData(s, w), c.warning.isEmpty()) << c.dates << " " << c.wells;
        if (c.warning.isEmpty()) {
            EXPECT_EQ(std::tuple(s.model.NumSamples, s.model.NumWLWells, s.model.SampleDate(c.dates)),
                std::tuple(c.dates, c.wells, QDate(2020, 1, 1).addDays(c.dates - 1)));
        } else {
            EXPECT_EQ(warnings(), QStringList({ c.warning }));
            EXPECT_EQ(s.model.NumSamples, 7); // nothing read
        }
    }
}

// Counts typed beyond the limits warn; ones that are no count at all are ignored. Either way
// the last good count stays. The wells box works alike; the window test types into both.
TEST_F(WaterLevelReader, CountBoxes)
{
    w.step = 3, w.eventSource = EventSource::User;
    setNumDatesText(s, w, QStringLiteral("12 dates"));
    for (const char *refused : { "0", "abc", "61" })
        setNumDatesText(s, w, QLatin1String(refused));
    EXPECT_EQ(w.numSamples, 12);
    EXPECT_EQ(warnings().size(), 1) << "61; 0 and abc are no counts";
}

// A plain number in the date column may be a date cell that lost its format or something else
// typed there: it is read as a serial day, every one is logged and the first is shown. (Date
// cells of a workbook are dates without a word: the new project walk reads them.)
TEST_F(WaterLevelReader, NumbersInTheDateColumnAreDoubtful)
{
    useTable("Date,MW-1\r\n43904,100\r\n43905.5,101\r\n");
    EXPECT_TRUE(ReadData(s, w));
    EXPECT_EQ(
        std::tuple(s.model.SampleDate(1), s.model.SampleDate(2)), std::tuple(QDate(2020, 3, 14), QDate(2020, 3, 15)));
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings()[0].startsWith(QStringLiteral(
        "The date cell A2 (record 1 of levels) holds the number 43904, not a date; it is read as the spreadsheet "
        "serial day 2020-03-14.\n")));
}

// A read that fails half way (a date that is not one) leaves every water-level field as it was.
TEST_F(WaterLevelReader, AFailedReadChangesNothing)
{
    t.frontend.expectErrors = true;
    const auto levelFields = [](const ProjectModel &m) {
        QStringList f { QString::number(m.NumSamples), QString::number(m.NumWLWells), numberText(m.WLMin),
            numberText(m.WLMax), numberText(m.WLInt), numberText(m.PLLeft), numberText(m.PLRight),
            numberText(m.PLBottom), numberText(m.PLTop) };
        for (int j = 1; j <= 3; ++j) {
            f << m.WLWellID(j) << numberText(m.WLWellX(j)) << numberText(m.WLWellY(j))
              << QString::number(m.WLWellUnlocated(j));
            for (int i = 1; i <= 3; ++i)
                f << m.SampleDate(i).toString(Qt::ISODate) << numberText(m.WLData(j, i));
        }
        return f;
    };
    useTable("Date,MW-1,MW-2\r\n2023-03-15,100,101\r\n2023-06-14,102,103\r\n");
    ASSERT_TRUE(ReadData(s, w));
    const QStringList before = levelFields(s.model);
    useTable("Date,MW-3,Lost,MW-1\r\n2024-01-01,5,6,7\r\n2024-02-01,8,9,10\r\nlater,1,2,3\r\n");
    EXPECT_FALSE(ReadData(s, w));
    EXPECT_EQ(s.errorsReported, 1);
    EXPECT_EQ(levelFields(s.model), before);
    w.table.reset(); // "Finished Editing" reads the sheet again
    w.numSamples = 3, w.numWLWells = 3;
    Finished(s, w);
    EXPECT_EQ(std::tuple(s.errorsReported, levelFields(s.model)), std::tuple(2, before));
}

// Numeric dates are read in the order the whole column shows, whatever the machine's locale; a
// column that needs both orders is refused at its first date that disagrees, after any date
// above it that is none at all. Only an undecided column takes the system's order, and says so.
TEST_F(WaterLevelReader, NumericDatesFollowTheirColumn)
{
    t.frontend.expectErrors = true;
    const QString system = dayMonthText(systemDayMonth()),
                  systemForm = QLocale::system().dateFormat(QLocale::ShortFormat);
    const QDate ambiguousFirst = systemDayMonth() == DayMonth::DayFirst ? QDate(2023, 4, 3) : QDate(2023, 3, 4);
    struct Case {
        QByteArray dates; // one a row
        std::vector<QDate> read; // empty: refused
        QString logged; // a line of the log
    };
    const Case cases[] = {
        { "3/4/2023\r\n3/15/2023", { QDate(2023, 3, 4), QDate(2023, 3, 15) },
            "Wldata: Dates read month first, as A3 \"3/15/2023\" shows.\r\n" },
        { "15.3.2023\r\n4.5.2023", { QDate(2023, 3, 15), QDate(2023, 5, 4) },
            "Wldata: Dates read day first, as A2 \"15.3.2023\" shows.\r\n" },
        { "3/4/2023\r\n5/6/23", { ambiguousFirst, ambiguousFirst.addMonths(2).addDays(2) },
            "Wldata: Dates read " + system + " as the system's short form (" + systemForm
                + ") has them: no date of the column has a day above 12.\r\n" },
        { "3/15/2023\r\n4/4/2023\r\n13/3/2023", {},
            "\nThe date cell A4 (record 3 of levels) reads \"13/3/2023\" day first, but A2 \"3/15/2023\" above it "
            "reads month first. Write every date of the column in one order, or as yyyy-mm-dd.\r\n" },
        { "3/15/2023\r\nlater\r\n13/3/2023", {}, "The date cell A3 (record 2 of levels) is not a date: \"later\"" },
        { "15-Mar-2023\r\n\"June 14, 2023\"\r\n2023-09-13",
            { QDate(2023, 3, 15), QDate(2023, 6, 14), QDate(2023, 9, 13) },
            "Wldata: Read water level data for 1 wells and 3 dates." },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dates.constData());
        s.model.WLDone = false, s.model.SampleDate(1) = QDate(2000, 1, 1);
        QByteArray rows = "Date,MW-1\r\n";
        for (const QByteArray &date : c.dates.split('\n'))
            rows += date.trimmed() + ",100\r\n";
        useTable(rows);
        const QString logBefore = t.readLog();
        EXPECT_EQ(ReadData(s, w), !c.read.empty());
        for (std::size_t i = 0; i < c.read.size(); ++i)
            EXPECT_EQ(s.model.SampleDate(int(i) + 1), c.read[i]) << i;
        if (c.read.empty()) {
            EXPECT_EQ(s.model.SampleDate(1), QDate(2000, 1, 1)) << "a refused read changes nothing";
        }
        const QString logged = t.readLog().mid(logBefore.size());
        EXPECT_TRUE(logged.contains(c.logged)) << logged.toStdString();
    }
}

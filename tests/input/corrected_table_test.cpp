#include "core/project_file.h"
#include "core/project_open.h"
#include "input/corrected_table.h"
#include "input/water_level_reader.h"
#include "input/well_reader.h"
#include "support/test_session.h"
#include "views/workflow_replay.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

const QByteArray OriginalWells = "WellID,X,Y\r\nMW-1,40.73,369.16\r\n\"MW \"\"A\"\", east\",148.58,n/a\r\n";

// A project in site/ whose wells come from site/wells.csv, walked to the data step of the wells
// wizard; the Y of the second well is no number, which the reader makes 0 for now.
struct WellsAtDataStep {
    explicit WellsAtDataStep(bool projectFile = true)
    {
        ProjectModel &m = s.model;
        t.makeProjectFolder();
        original = t.writeFile(QStringLiteral("site/wells.csv"), OriginalWells);
        m.ProjectDirAssigned = projectFile;
        m.ProjectFile = projectFile ? m.ProjectDir + QStringLiteral("site.prj") : QString();
        m.WEDataFormat = QStringLiteral("Text"), m.WEFileExt = QStringLiteral("csv");
        m.WEDataFile = QStringLiteral("wells.csv"), m.WEDataTable = QStringLiteral("wells");
        m.WellIDField = QStringLiteral("WellID"), m.XField = QStringLiteral("X"), m.YField = QStringLiteral("Y");
        openWellsWizard(s, w);
        for (int step = 1; step <= 3; ++step) {
            if (step == 3)
                wellsReadDataClicked(s, w);
            wellsNext(s, w);
        }
        EXPECT_EQ(std::tuple(w.step, m.WEDone), std::tuple(4, true));
        t.frontend.boxes.clear(); // the reader's warning of "n/a"
    }
    int questions() const { return int(t.frontend.boxTexts(MsgIcon::Question).size()); }

    TestSession t;
    Session &s = *t.session;
    WellsWizard w;
    QString original;
};

} // namespace

// Texts and numbers come back from the project's own reader as they went in: quoted where they
// hold a separator, a quote, a line break or edge blanks, numbers with every digit they need.
TEST(CorrectedTable, TextsAndNumbersReadBackTheSame)
{
    const QStringList names = { "MW,1", "say \"hi\"", "two\nlines", " lead", "a;b\tc", "   ", "Brunnen \u00dc-7" };
    const TableCell numbers[] = { TableCell::number(0.1 + 0.2), TableCell::number(7, "007"), TableCell::number(5e-324),
        TableCell::number(1.7976931348623157e308), TableCell::number(-4201876.5), TableCell::number(1.0 / 3),
        TableCell::number(1e20) };
    std::vector<std::vector<TableCell>> records;
    for (int i = 0; i < names.size(); ++i)
        records.push_back({ TableCell::text(names[i]), numbers[i] });
    TestSession t;
    const QByteArray bytes = correctedCsv(Table(QStringLiteral("t"), { "Name", "Level, m" }, records));
    EXPECT_TRUE(bytes.startsWith("Name,\"Level, m\"\r\n\"MW,1\",0.30000000000000004\r\n\"say \"\"hi\"\"\",007\r\n"));
    writeCorrectedCsv(t.home() + QStringLiteral("t.csv"), bytes);
    const Table back = openTable(t.home() + QStringLiteral("t.csv"), QStringLiteral("Text"), QStringLiteral("t"));
    ASSERT_EQ(std::tuple(back.recordCount(), back.fieldNames().value(1)), std::tuple(names.size(), "Level, m"));
    for (int r = 0; r < names.size(); ++r)
        EXPECT_EQ(std::tuple(back.cell(r, 0).toText(), back.cell(r, 1).isNumber(), back.cell(r, 1).toNumber()),
            std::tuple(names[r], true, numbers[r].toNumber()));
    EXPECT_EQ(back.cell(1, 1).toText(), QStringLiteral("007"));
}

// The sample dates are written as yyyy-mm-dd whatever they were (date cells, serial days, text in
// the system's short form), so the reader gets every date and level again under any locale.
TEST(CorrectedTable, WaterLevelsReadBackTheSame)
{
    const std::vector<TableCell> dates
        = { TableCell::date(QDate(2019, 12, 31)), TableCell::number(43904), TableCell::text("2022/01/31"),
              TableCell::text(QLocale::system().toString(QDate(2023, 3, 15), QLocale::ShortFormat)) };
    std::vector<std::vector<TableCell>> records;
    for (int i = 0; i < 4; ++i)
        records.push_back({ dates[std::size_t(i)], TableCell::number(100.0 / (i + 3)), TableCell::number(-9999),
            TableCell::number(98.1 + i / 7.0) });
    const Table table(QStringLiteral("levels"), { "Date", "MW-1", "MW 2, deep", "mw-3" }, records);
    TestSession t;
    ProjectModel &m = t.session->model;
    m.ProjectDirAssigned = true;
    writeCorrectedCsv(t.makeProjectFolder() + QStringLiteral("l.csv"), correctedCsv(table, 0));
    for (int k = 1; k <= 3; ++k)
        m.WellID(k) = table.fieldNames()[k];
    m.NumWells = 3;
    m.WLDataFormat = QStringLiteral("Text"), m.WLDataFile = QStringLiteral("l.csv"),
    m.WLDataTable = QStringLiteral("l");
    WaterLevelWizard w;
    ASSERT_TRUE(ReadData(*t.session, w));
    ASSERT_EQ(std::tuple(int(m.NumSamples), int(m.NumWLWells)), std::tuple(4, 3));
    EXPECT_TRUE(t.frontend.boxes.empty()) << "no serial-day warning: the dates are dates now";
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(m.SampleDate(i), cellDate(dates[std::size_t(i - 1)], systemDayMonth()).value_or(QDate())) << i;
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(m.WLData(j, i), table.cell(i - 1, j).toNumber()) << i << " " << j;
    }
    EXPECT_EQ(waterLevelWizardKind().dateColumn, 0);
}

// Numeric date texts are written in the order their column shows, never the machine's; one that
// needs the other order keeps its text, so that the reader refuses the column again.
TEST(CorrectedTable, NumericDatesKeepTheirColumnsOrder)
{
    const struct {
        std::vector<const char *> dates;
        QByteArray csv;
    } cases[] = {
        { { "3/4/2023", "3/15/2023" }, "Date,MW-1\r\n2023-03-04,1\r\n2023-03-15,1\r\n" },
        { { "3/4/2023", "15/3/2023" }, "Date,MW-1\r\n2023-04-03,1\r\n2023-03-15,1\r\n" },
        { { "3/15/2023", "13/3/2023" }, "Date,MW-1\r\n2023-03-15,1\r\n13/3/2023,1\r\n" },
    };
    for (const auto &c : cases) {
        std::vector<std::vector<TableCell>> records;
        for (const char *date : c.dates)
            records.push_back({ TableCell::text(date), TableCell::number(1) });
        EXPECT_EQ(correctedCsv(Table(QStringLiteral("levels"), { "Date", "MW-1" }, records), 0), c.csv);
    }
}

TEST(CorrectedTable, NamesNeverTakeAnExistingFile)
{
    TestSession t;
    EXPECT_EQ(correctedCsvName(t.home(), QStringLiteral("wells.xlsx")), QStringLiteral("wells-corrected.csv"));
    t.writeFile(QStringLiteral("wells-corrected.csv"), "x");
    EXPECT_EQ(correctedCsvName(t.home(), QStringLiteral("wells.xlsx")), QStringLiteral("wells-corrected-2.csv"));
    t.writeFile(QStringLiteral("wells-corrected-2.csv"), "x");
    EXPECT_EQ(
        correctedCsvName(t.home(), QStringLiteral("wells-corrected-2.csv")), QStringLiteral("wells-corrected-3.csv"));
    EXPECT_EQ(thrownBy([&] { writeCorrectedCsv(t.home() + QStringLiteral("no/such/folder/a.csv"), "x"); }).number(),
        ErrPathFileAccess);
}

// Finish after a correction asks once; Yes saves the csv beside the project and points the
// project at it, No keeps today's in-memory correction, Cancel goes back to the data step. Nothing
// is asked when no cell changed (or got the text it had), and never in the batch run mode.
TEST(CorrectedTable, FinishOffersToKeepTheCorrections)
{
    const struct {
        const char *typed; // into the first X cell; null: nothing typed
        bool batch;
        std::optional<MsgAnswer> answer; // none: no question
        bool saved, closed;
    } cases[] = {
        { "7.25", false, MsgAnswer::Yes, true, true },
        { "7.25", false, MsgAnswer::No, false, true },
        { "7.25", false, MsgAnswer::Cancel, false, false },
        { nullptr, false, std::nullopt, false, true },
        { "40.73", false, std::nullopt, false, true },
        { "7.25", true, std::nullopt, false, true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(
            testing::Message() << (c.typed ? c.typed : "-") << c.batch << int(c.answer.value_or(MsgAnswer::Ok)));
        WellsAtDataStep d;
        ProjectModel &m = d.s.model;
        if (c.typed)
            wizardCellEdited(d.s, d.w, 0, 1, QLatin1String(c.typed));
        wellsFinishedEditingClicked(d.s, d.w);
        m.RunMode = c.batch ? QStringLiteral("Batch") : QString();
        if (c.answer)
            d.t.frontend.answers = { *c.answer };
        wellsNext(d.s, d.w);
        EXPECT_EQ(std::tuple(d.questions(), d.w.closed), std::tuple(c.answer ? 1 : 0, c.closed));
        EXPECT_EQ(m.WellX(1), c.typed ? QString::fromLatin1(c.typed).toDouble() : 40.73);
        EXPECT_EQ(readBytes(d.original), OriginalWells);
        EXPECT_EQ(QFileInfo::exists(m.ProjectDir + QStringLiteral("wells-corrected.csv")), c.saved);
        EXPECT_EQ(m.WEDataFile, c.saved ? QStringLiteral("wells-corrected.csv") : QStringLiteral("wells.csv"));
    }

    // A new read of the file drops the corrections with the table they were made in.
    WellsAtDataStep d;
    wizardCellEdited(d.s, d.w, 0, 1, QStringLiteral("7.25"));
    wellsReadDataClicked(d.s, d.w);
    wellsNext(d.s, d.w);
    EXPECT_EQ(std::tuple(d.questions(), d.w.closed), std::tuple(0, true));
}

// The saved project reads the corrections again; what the person did not touch is as the file
// has it, so the reader's "for now" replacement of a bad value is shown again.
TEST(CorrectedTable, AReopenedProjectReadsTheCorrections)
{
    WellsAtDataStep d;
    wizardCellEdited(d.s, d.w, 0, 1, QStringLiteral("7.25"));
    wizardCellEdited(d.s, d.w, 0, 0, QStringLiteral("MW-1, \"north\""));
    d.t.frontend.answers = { MsgAnswer::Yes };
    wellsNext(d.s, d.w);
    EXPECT_TRUE(d.t.readLog().contains(QStringLiteral(
        "Wells: Save corrected table? [Yes]\r\nWells: Corrected table saved as wells-corrected.csv in "
        "the project folder; wells.csv is unchanged.\r\nWells: Well data file: wells-corrected.csv\r\n")));
    const ProjectModel &was = d.s.model;
    EXPECT_EQ(QStringList({ was.WEDataFormat, was.WEFileExt, was.WEDataPath, was.WEDataTable }),
        QStringList({ "Text", "csv", "", "wells-corrected" }));
    ASSERT_TRUE(SaveProjectFile(d.s));

    TestSession again;
    installWorkflowReplay(*again.session);
    ASSERT_TRUE(openProject(*again.session, d.s.model.ProjectFile)); // a question here would fail the test
    const ProjectModel &m = again.session->model;
    ASSERT_EQ(m.NumWells, 2);
    EXPECT_EQ(std::tuple(m.WellID(1), m.WellX(1), m.WellID(2), m.WellX(2)),
        std::tuple(QStringLiteral("MW-1, \"north\""), 7.25, QStringLiteral("MW \"A\", east"), 148.58));
    EXPECT_EQ(again.frontend.boxTexts(MsgIcon::Warning),
        QStringList({ "Y coordinate value \"n/a\"\n is invalid for record number 2. Changed to 0.0 for now." }));
    EXPECT_EQ(readBytes(d.original), OriginalWells);
}

// A project without a file is saved first (Save As), then the table beside it.
TEST(CorrectedTable, AProjectWithoutAFileIsSavedFirst)
{
    WellsAtDataStep d(false);
    const QString folder = d.t.home() + QStringLiteral("saved/");
    QDir().mkpath(folder);
    wizardCellEdited(d.s, d.w, 0, 1, QStringLiteral("7.25"));
    d.t.frontend.answers = { MsgAnswer::Yes };
    d.t.frontend.queueFile(folder + QStringLiteral("p.prj"));
    wellsNext(d.s, d.w);
    EXPECT_TRUE(d.t.frontend.boxTexts(MsgIcon::Question).value(0).contains(u"The project has no file yet"));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("p.prj")));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("wells-corrected.csv")));
    EXPECT_EQ(std::tuple(d.w.closed, d.s.model.WEDataFile), std::tuple(true, QStringLiteral("wells-corrected.csv")));
}

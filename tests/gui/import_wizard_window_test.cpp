#include "gui/gui_input.h"
#include "gui/help/help_window.h"
#include "gui/import/import_wizard_window.h"
#include "gui/workbench_fixture.h"
#include "input/well_reader.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::ImportWizardWindow;

// What differs between the walks through the two wizards.
struct Walk {
    const char *menu;
    const char *form;
    const char *file; // in examples/, copied to the project's data folder
    const char *folder;
    Step outlineStep;
};

const Walk Wells { "mnuEditWellLocations", "frmWells", "wells.csv", "imgWEDataFile", Step::WellLocations };
const Walk Levels { "mnuEditWaterLevelData", "frmWldata", "levels.csv", "imgWLDataFile", Step::WaterLevels };

class ImportWizardWindowTest : public WorkbenchTest {
protected:
    ImportWizardWindowTest()
    {
        useProjectFolder();
        copyExample(session->model.ProjectDir, QStringLiteral("data"), { "wells.csv", "levels.csv" });
        makeWorkbench();
    }

    ImportWizardWindow *open(const Walk &walk)
    {
        return wizard = openFrom<ImportWizardWindow>(QLatin1String(walk.menu));
    }
    QPushButton *next() const { return control<QPushButton>("cmdNext"); }
    QPushButton *back() const { return control<QPushButton>("cmdBack"); }
    QTableWidget *grid() const { return control<QTableWidget>("DBGrid1"); }
    QString hint() const { return control<QLabel>("lblHint")->text(); }

    // Picks the file through the folder button, as the person does in the file dialog.
    void chooseFile(const Walk &walk)
    {
        control<QListWidget>("lstFileFormats")->setCurrentRow(SetFileFormats(QStringLiteral("Text")));
        frontend.queueFile(session->model.ProjectDir + QStringLiteral("data/") + QLatin1String(walk.file));
        click(walk.folder);
    }

    // The window shows what the core holds: page, navigation and hint.
    void expectShowsCore(int step) const
    {
        SCOPED_TRACE(step);
        const ImportWizard &w = wizard->wizard();
        EXPECT_EQ(w.step, step);
        EXPECT_EQ(control<QStackedWidget>("fraSteps")->currentIndex(), step - 1);
        EXPECT_EQ(back()->isEnabled(), w.backEnabled);
        EXPECT_EQ(next()->isEnabled(), w.nextEnabled);
        EXPECT_EQ(next()->text(), w.nextCaption);
        EXPECT_EQ(hint(), w.hint);
        EXPECT_EQ(control<QPushButton>("cmdReadData")->isEnabled(), w.readDataEnabled);
    }

    ImportWizardWindow *wizard = nullptr;
};

// The wells the water levels are matched against, read as the wells wizard reads them.
void readExampleWells(Session &session)
{
    ProjectModel &m = session.model;
    m.WEDataFormat = QStringLiteral("Text");
    m.WEDataPath = QStringLiteral("data/");
    m.WEDataFile = QStringLiteral("wells.csv");
    m.WEDataTable = QStringLiteral("wells");
    m.WellIDField = QStringLiteral("WellID"), m.XField = QStringLiteral("X"), m.YField = QStringLiteral("Y");
    WellsWizard reader;
    ASSERT_TRUE(ReadData(session, reader));
}

// The walk through the Excel sheets is the new project walk's; here the csv files and what each page
// shows against what the core holds.
TEST_F(ImportWizardWindowTest, BothWizardsWalkThroughTheirFourSteps)
{
    for (const Walk *walk : { &Wells, &Levels }) {
        SCOPED_TRACE(walk->form);
        const bool wells = walk == &Wells;
        if (!wells)
            readExampleWells(*session);
        frontend.boxes.clear();
        ASSERT_NE(open(*walk), nullptr);
        expectShowsCore(1);

        // 2: file and format
        click("cmdNext");
        EXPECT_FALSE(next()->isEnabled()) << "no file yet";
        expectShowsCore(2);
        chooseFile(*walk);
        expectShowsCore(2);

        // 3: sheet and fields
        click("cmdNext");
        EXPECT_EQ(control<QComboBox>("cboDataTable")->currentText(), QFileInfo(QLatin1String(walk->file)).baseName());
        EXPECT_FALSE(next()->isEnabled()) << "until the data is read";
        expectShowsCore(3);
        click("cmdReadData");
        expectShowsCore(3);

        // 4: the data
        click("cmdNext");
        EXPECT_EQ(grid()->rowCount(), wells ? 25 : 8);
        EXPECT_EQ(grid()->columnCount(), wells ? 3 : 26);
        EXPECT_EQ(grid()->item(0, 1)->text(), wells ? QStringLiteral("40.73") : QStringLiteral("101.74"));
        expectShowsCore(4);

        // Finish closes the wizard with the data in the model and the outline entry ticked.
        click("cmdNext");
        settle();
        EXPECT_EQ(window->findChildForm(QLatin1String(walk->form)), nullptr);
        EXPECT_EQ(session->outline.state(walk->outlineStep), CheckState::All);
        const ProjectModel &m = session->model;
        if (wells) {
            EXPECT_EQ(m.WellX(25), 349.63);
        } else {
            EXPECT_EQ(m.WLData(1, 1), 101.74);
            EXPECT_EQ(m.SampleDate(8), QDate(2024, 12, 11));
        }
        EXPECT_TRUE(frontend.boxes.empty()) << frontend.boxes.front().text.toStdString();
        EXPECT_EQ(session->errorsReported, 0);
    }
}

TEST_F(ImportWizardWindowTest, AProjectWithoutAFileIsOfferedOneAndTheWizardOpensAnyway)
{
    session->model.ProjectDirAssigned = false;
    frontend.answers = { MsgAnswer::Cancel };
    ASSERT_NE(open(Wells), nullptr);
    EXPECT_EQ(frontend.boxes.size(), 1u);
    expectShowsCore(1);
}

TEST_F(ImportWizardWindowTest, FileStepHints)
{
    // A stored file that has gone: the hint says so and there is no way on.
    ProjectModel &m = session->model;
    m.WEDataFormat = QStringLiteral("Text");
    m.WEDataPath = QStringLiteral("data/");
    m.WEDataFile = QStringLiteral("gone.csv");
    ASSERT_NE(open(Wells), nullptr);
    click("cmdNext");
    EXPECT_EQ(control<QLineEdit>("txtWEDataFile")->text(), QStringLiteral("data/gone.csv"));
    EXPECT_EQ(hint(), QStringLiteral("Error finding the file!"));
    EXPECT_FALSE(next()->isEnabled());
    expectShowsCore(2);
    // Help opens the step's own topic.
    control<QAbstractButton>("cmdHelp")->click(); // no events: the help window must not take the focus
    auto *help = window->findChild<gui::HelpWindow *>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->currentTopic(), QStringLiteral("wells-2-file.html"));
    help->close();

    // Another format drops the file; the file box's focus says what to choose.
    control<QListWidget>("lstFileFormats")->setCurrentRow(0);
    EXPECT_TRUE(control<QLineEdit>("txtWEDataFile")->text().isEmpty());
    EXPECT_TRUE(m.WEDataFile.isEmpty());
    control<QLineEdit>("txtWEDataFile")->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(hint(), QStringLiteral("Select the data file containing monitoring wells."));

    click("cmdBack");
    expectShowsCore(1);
    click("cmdCancel");
    settle();
    EXPECT_EQ(window->findChildForm(QStringLiteral("frmWells")), nullptr);
    EXPECT_TRUE(newLogLines().contains(QStringLiteral("Wells: [Cancel]")));
}

// The grid edits the table in memory; "Finished Editing" reads it again, and "Map Wells" draws it.
TEST_F(ImportWizardWindowTest, GridEditsFinishedEditingAndMapWells)
{
    ProjectModel &m = session->model;
    m.BMDone = true;
    m.MapReady = true;
    m.MapTextSize = 10;
    ASSERT_NE(open(Wells), nullptr);
    click("cmdNext");
    chooseFile(Wells);
    click("cmdNext");
    click("cmdReadData");
    click("cmdNext");
    expectShowsCore(4);
    EXPECT_TRUE(control<QPushButton>("cmdMapWells")->isEnabled());

    grid()->item(0, 1)->setText(QStringLiteral("7.50"));
    click("cmdFinished");
    EXPECT_EQ(m.WellX(1), 7.5);
    EXPECT_TRUE(hint().isEmpty());

    // The warnings are the reader's; the grid shows what the table holds.
    grid()->item(1, 2)->setText(QStringLiteral("north"));
    click("cmdFinished");
    EXPECT_EQ(grid()->item(1, 2)->text(), QStringLiteral("0")) << "the grid shows the table's 0";
    EXPECT_EQ(m.WellY(2), 0.0);
    expectShowsCore(4);

    click("cmdMapWells");
    EXPECT_EQ(session->errorsReported, 0);
    EXPECT_EQ(drawingOf(*session).drawing(WellsDrawing).entities.size(), 50u); // a point and a label per well
    EXPECT_TRUE(m.WEmapped);
}

TEST_F(ImportWizardWindowTest, CountBoxesRefuseMoreThanTheLimits)
{
    readExampleWells(*session);
    ASSERT_NE(open(Levels), nullptr);
    click("cmdNext");
    chooseFile(Levels);
    click("cmdNext");
    // The limits and their texts are the reader's; each box reaches them key by key.
    for (const auto &[name, typed] : { std::pair("txtWLNumDates", "61"), std::pair("txtWLNumWells", "1001") }) {
        SCOPED_TRACE(name);
        frontend.boxes.clear();
        auto *box = control<QLineEdit>(QLatin1String(name));
        box->clear();
        typeKeys(box, QLatin1String(typed));
        EXPECT_EQ(frontend.boxTexts(MsgIcon::Warning).size(), 1) << "the last key goes beyond the limit";
        EXPECT_EQ(box->text(), QLatin1String(typed)) << "the box keeps what was typed";
        expectShowsCore(3);
    }
    // Reading the sheet writes its own counts into the boxes again.
    click("cmdReadData");
    EXPECT_EQ(control<QLineEdit>("txtWLNumDates")->text(), QStringLiteral("8"));
    EXPECT_EQ(session->model.NumSamples, 8);
}

} // namespace
} // namespace qel::test

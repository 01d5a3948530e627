#include "gui/gui_input.h"
#include "gui/help/help_window.h"
#include "gui/import/import_wizard_window.h"
#include "gui/workbench_fixture.h"
#include "input/well_reader.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <QApplication>
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

// What differs between the two wizards.
struct Walk {
    const char *menu;
    const char *file; // in examples/, copied to the project's data folder
    const char *folder;
};

const Walk Wells { "mnuEditWellLocations", "wells.csv", "imgWEDataFile" };
const Walk Levels { "mnuEditWaterLevelData", "levels.csv", "imgWLDataFile" };

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
    EXPECT_TRUE(m.WEDataFile.isEmpty());
    control<QLineEdit>("txtWEDataFile")->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(hint(), QStringLiteral("Select the data file containing monitoring wells."));

    click("cmdBack");
    expectShowsCore(1);
    click("cmdCancel");
    settle();
    EXPECT_EQ(window->findChildForm(QStringLiteral("frmWells")), nullptr);
}

// The grid edits the table in memory; "Finished Editing" reads it again. Map Wells is the new
// project walk's.
TEST_F(ImportWizardWindowTest, GridEditsAreReadAgainByFinishedEditing)
{
    ProjectModel &m = session->model;
    ASSERT_NE(open(Wells), nullptr);
    click("cmdNext");
    chooseFile(Wells);
    click("cmdNext");
    click("cmdReadData");
    click("cmdNext");
    expectShowsCore(4);
    grid()->item(0, 1)->setText(QStringLiteral("7.50"));
    click("cmdFinished");
    EXPECT_EQ(m.WellX(1), 7.5);
    EXPECT_TRUE(hint().isEmpty());
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

// A corrected level is offered to be kept at Finish: Cancel stays on the data step, Yes writes
// the table beside the project, which reads it from then on; the person's file stays as it was.
TEST_F(ImportWizardWindowTest, FinishOffersToKeepCorrectedLevels)
{
    readExampleWells(*session);
    ProjectModel &m = session->model;
    const QString original = m.ProjectDir + QStringLiteral("data/levels.csv");
    const QString corrected = m.ProjectDir + QStringLiteral("levels-corrected.csv");
    ASSERT_NE(open(Levels), nullptr);
    click("cmdNext");
    chooseFile(Levels);
    click("cmdNext");
    click("cmdReadData");
    click("cmdNext");
    grid()->item(0, 1)->setText(QStringLiteral("99.99"));
    click("cmdFinished");
    for (const MsgAnswer answer : { MsgAnswer::Cancel, MsgAnswer::Yes }) {
        SCOPED_TRACE(int(answer));
        frontend.answers = { answer };
        click("cmdNext");
        EXPECT_TRUE(frontend.answers.empty()) << "one question";
        EXPECT_EQ(m.WLData(1, 1), 99.99);
        EXPECT_EQ(readBytes(original), readBytes(ExampleDir + QStringLiteral("levels.csv")));
        EXPECT_EQ(QFileInfo::exists(corrected), answer == MsgAnswer::Yes);
    }
    settle();
    EXPECT_EQ(window->findChildForm(QStringLiteral("frmWldata")), nullptr);
    EXPECT_EQ(std::tuple(m.WLDataPath, m.WLDataFile, m.WLDataTable),
        std::tuple(QString(), QStringLiteral("levels-corrected.csv"), QStringLiteral("levels-corrected")));
    EXPECT_EQ(openTable(corrected, m.WLDataFormat, m.WLDataTable).cell(0, 1).toNumber(), 99.99);
}

} // namespace
} // namespace qel::test

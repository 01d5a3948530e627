#include "core/startup.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

using namespace qel;
using namespace qel::test;

namespace {

class NewUserScenario : public WorkbenchTest {
protected:
    template<typename T> T *control(const char *name)
    {
        // The active dialog's controls: a closed one lingers until its deferred delete.
        gui::ChildForm *form = window->activeChildForm();
        T *found = form ? form->findChild<T *>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void choose(const char *box, const char *text)
    {
        auto *combo = control<QComboBox>(box);
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(text)));
    }
    void type(int parameter, const char *text)
    {
        auto *box = control<QLineEdit>(qPrintable(QStringLiteral("txtParameter%1").arg(parameter)));
        box->setText(QString::fromLatin1(text));
        Q_EMIT box->returnPressed();
    }
    void restartWorkbench()
    {
        window->close();
        frontend.window = nullptr;
        window.reset();
        terminateSession(*session);
        session = std::make_unique<Session>(frontend, dir.path());
        startUp(*session);
        makeWindow(gui::workbenchWindowFactories());
    }
};

// Every step of the outline reaches a command of the workbench: a built command runs, and one not
// built yet says so; none does nothing without a word.
TEST_F(NewUserScenario, EveryOutlineStepReachesACommand)
{
    makeWindow(gui::workbenchWindowFactories());
    for (const WorkflowStep &step : workflowSteps()) {
        SCOPED_TRACE(step.caption);
        if (!step.command) {
            EXPECT_FALSE(step.parent) << "only the headings have no command";
            continue;
        }
        ASSERT_TRUE(step.parent);
        EXPECT_FALSE(workflowStep(*step.parent).parent) << "a step sits under a heading";
        const Command command = *step.command;
        if (command != Command::ViewRegressionOutput) { // the one step with no menu entry
            EXPECT_NE(window->commands().firstAction(command), nullptr) << "the command has a menu entry";
        }
        frontend.boxes.clear();
        session->model.ProjectDirAssigned = true;
        frontend.fileAnswers = { {} }; // a step that asks for a file is cancelled
        window->runOutlineStep(step.step);
        const QStringList told = frontend.boxTexts(MsgIcon::Information);
        const bool notBuilt = window->commands().handler(command) == nullptr;
        EXPECT_EQ(told.contains(QString::fromLatin1(step.caption)
                      + QStringLiteral(": this step is not available in this version of QEL.")),
            notBuilt);
    }
}

} // namespace

TEST_F(NewUserScenario, UnitsAndTransportDataSurviveSavingQuittingAndReopening)
{
    makeWindow(gui::workbenchWindowFactories());
    window->command(QStringLiteral("mnuEditUnits"))->trigger();
    choose("cboDistUnits", "m");
    choose("cboTimeUnits", "d");
    choose("cboConcUnits", "ug/L");
    control<QPushButton>("cmdClose")->click();
    EXPECT_EQ(session->outline.state(Step::SetUnits), CheckState::All);

    window->command(QStringLiteral("mnuEditTransportData"))->trigger();
    const char *values[] = { "5", "0.3", "10", "1", "1.5", nullptr, "3650", "20", "1000" };
    for (int i = 0; i < 9; ++i)
        if (values[i])
            type(i, values[i]);
    control<QCheckBox>("chkDecay")->click();
    type(5, "730");
    control<QPushButton>("cmdClose")->click();
    EXPECT_TRUE(frontend.boxes.empty()) << frontend.boxes.front().text.toStdString();
    EXPECT_EQ(session->outline.state(Step::ModelData), CheckState::All);

    const QString project = home() + QStringLiteral("Data/alpha.prj");
    frontend.queueFile(project);
    window->command(QStringLiteral("mnuFileSaveAs"))->trigger();
    ASSERT_TRUE(QFile::exists(project));
    EXPECT_FALSE(session->model.ProjectChanged);

    restartWorkbench();
    frontend.queueFile(project);
    window->command(QStringLiteral("mnuFileOpen"))->trigger();

    const ProjectModel &m = session->model;
    EXPECT_EQ(m.ProjectStatus, QStringLiteral("Read"));
    EXPECT_EQ(m.DistUnits, QStringLiteral("m"));
    EXPECT_EQ(m.ConcUnits, QStringLiteral("ug/L"));
    EXPECT_EQ(m.K, 5.0);
    EXPECT_EQ(m.Porosity, 0.3);
    EXPECT_TRUE(m.Decay);
    EXPECT_EQ(m.HalfLife, 730.0);
    EXPECT_EQ(m.C0, 1000.0);
    EXPECT_EQ(session->outline.state(Step::SetUnits), CheckState::All);
    EXPECT_EQ(session->outline.state(Step::ModelData), CheckState::All);
    EXPECT_EQ(session->outline.state(Step::WellLocations), CheckState::None);
    EXPECT_TRUE(frontend.boxes.empty());
}

// The preconditions are tested in core; here that the outline's map steps reach them.
TEST_F(NewUserScenario, MapStepsSayWhatIsMissing)
{
    makeWindow(gui::workbenchWindowFactories());
    const struct {
        bool unitsSet;
        Step step;
        const char *text;
    } cases[] = { { false, Step::MapScale, "Set units first." }, { true, Step::MapScale, "Open basemap first." },
        { true, Step::PlotLimits, "Base map is not properly opened. Please check and try again." } };
    for (const auto &c : cases) {
        session->model.UNDone = c.unitsSet;
        frontend.boxes.clear();
        window->runOutlineStep(c.step);
        EXPECT_EQ(frontend.boxTexts(MsgIcon::Information), QStringList { QString::fromLatin1(c.text) });
    }
}

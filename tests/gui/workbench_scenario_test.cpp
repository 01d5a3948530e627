#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"

#include <QAction>

using namespace qel;
using namespace qel::test;

namespace {

class NewUserScenario : public WorkbenchTest { };

// Every step of the outline reaches a command of the workbench: a built command runs, and one not
// built yet says so; none does nothing without a word.
TEST_F(NewUserScenario, EveryOutlineStepReachesACommand)
{
    frontend.expectErrors = true;
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

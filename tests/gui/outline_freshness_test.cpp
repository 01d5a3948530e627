#include "core/step_dependencies.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench_fixture.h"

#include <gtest/gtest.h>

namespace qel::test {
namespace {

class OutlineFreshnessTest : public WorkbenchTest {
protected:
    OutlineFreshnessTest() { makeWorkbench(); }
    QTreeWidgetItem *node(Step step) const { return window->outlineWindow()->tree()->node(int(step)); }
    bool shownOutOfDate(Step step) const { return node(step)->data(0, gui::CheckTree::OutOfDateRole).toBool(); }
};

// The outline marks a done step whose input changed, until the step runs again; the check state
// the project file stores stays "All" throughout.
TEST_F(OutlineFreshnessTest, AChangedInputMarksTheStepsItFeeds)
{
    ProjectModel &m = session->model;
    m.K = 1;
    for (Step step : { Step::ModelData, Step::RunRegression, Step::RunAnalytical, Step::ViewPlumeContours })
        session->checkNode(step);
    for (Step step : { Step::RunRegression, Step::RunAnalytical, Step::ViewPlumeContours })
        EXPECT_FALSE(shownOutOfDate(step));

    m.K = 2;
    session->checkNode(Step::ModelData); // the transport dialog's OK
    EXPECT_FALSE(shownOutOfDate(Step::ModelData));
    EXPECT_FALSE(shownOutOfDate(Step::RunRegression));
    EXPECT_TRUE(shownOutOfDate(Step::RunAnalytical));
    EXPECT_TRUE(shownOutOfDate(Step::ViewPlumeContours));
    EXPECT_TRUE(node(Step::RunAnalytical)->toolTip(0).startsWith(QStringLiteral("Out of date")));
    EXPECT_EQ(session->outline.state(Step::RunAnalytical), CheckState::All);
    EXPECT_EQ(node(Step::RunAnalytical)->data(0, gui::CheckTree::StateRole).toString(), QStringLiteral("All"));

    session->checkNode(Step::RunAnalytical);
    EXPECT_FALSE(shownOutOfDate(Step::RunAnalytical));
    EXPECT_TRUE(node(Step::RunAnalytical)->toolTip(0).isEmpty());
    EXPECT_TRUE(shownOutOfDate(Step::ViewPlumeContours)) << "drawn from the run before";
}

} // namespace
} // namespace qel::test

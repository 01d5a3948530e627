#include "gui/gui_input.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::CheckTree;

// Presses the row beside its check image, where a click runs the step or toggles the layer.
template<typename Key> void press(CheckTree *tree, Key key)
{
    QTreeWidgetItem *item = tree->node(int(key));
    ASSERT_NE(item, nullptr) << int(key);
    const QPoint at(tree->checkImageRect(item).right() + 30, tree->visualItemRect(item).center().y());
    ASSERT_EQ(tree->itemAt(at), item);
    clickAt(tree->viewport(), at);
}

template<typename Key> void typeKey(CheckTree *tree, Key key, int code, const QString &text)
{
    tree->setCurrentItem(tree->node(int(key)));
    pressKey(tree, code, text);
}

template<typename Key> QString shownState(CheckTree *tree, Key key)
{
    return tree->node(int(key))->data(0, CheckTree::StateRole).toString();
}

class OutlineWindowTest : public WorkbenchTest { };

TEST_F(OutlineWindowTest, PressingAStepRunsIt)
{
    int unitsOpened = 0;
    gui::WindowFactories factories;
    factories.units = [&unitsOpened](Session &s, QWidget *) -> gui::ChildForm * {
        ++unitsOpened;
        return new FakeForm(s, QStringLiteral("frmUnits"), 3100);
    };
    gui::MainWindow &w = makeWindow(std::move(factories));
    CheckTree *tree = w.outlineWindow()->tree();

    press(tree, Step::SetUnits);
    press(tree, Step::SetUnits);
    press(tree, Step::WellLocations); // not built yet: it says so

    EXPECT_EQ(unitsOpened, 1) << "a second press brings the open dialog to the front";
    EXPECT_NE(w.findChildForm(QStringLiteral("frmUnits")), nullptr);
    EXPECT_EQ(session->outline.state(Step::SetUnits), CheckState::None);
    const QString notYet = QStringLiteral("1.4 Well locations: this step is not available in this version of QEL.");
    EXPECT_EQ(frontend.boxTexts(MsgIcon::Information), QStringList { notYet });
    EXPECT_EQ(newLogLines(),
        (QStringList { "[x] 1.1 Set units", "[x] 1.1 Set units", "[x] 1.4 Well locations", "Msg: " + notYet }));
}

// The other preconditions and their texts are tested in core; here that an outline step reaches one.
TEST_F(OutlineWindowTest, AMapStepSaysWhatIsMissing)
{
    makeWindow(gui::workbenchWindowFactories());
    session->model.UNDone = true;
    window->runOutlineStep(Step::PlotLimits);
    EXPECT_EQ(frontend.boxTexts(MsgIcon::Information),
        QStringList { QStringLiteral("Base map is not properly opened. Please check and try again.") });
    EXPECT_EQ(window->findChildForm(QStringLiteral("frmPlotLmts")), nullptr);
}

class LayerWindowTest : public WorkbenchTest { };

// The toggling rules are the layer tree's (tested in core); here presses and keys reach them.
TEST_F(LayerWindowTest, PressesAndKeysToggleEnabledLayersOnly)
{
    frontend.expectErrors = true;
    gui::MainWindow &w = makeWindow();
    CheckTree *tree = w.layerWindow()->tree();
    press(tree, LayerKey::Wells);
    typeKey(tree, LayerKey::Plumes, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(session->layers.node(LayerKey::Wells).state, CheckState::None);
    EXPECT_EQ(session->layers.node(LayerKey::Plumes).state, CheckState::None);

    session->layers.enable(LayerKey::Wells);
    w.refreshLayers();
    press(tree, LayerKey::Wells);
    EXPECT_EQ(session->layers.node(LayerKey::Wells).state, CheckState::All);
    EXPECT_EQ(shownState(tree, LayerKey::Wells), QStringLiteral("All"));
    typeKey(tree, LayerKey::Wells, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(session->layers.node(LayerKey::Wells).state, CheckState::None);
}

} // namespace
} // namespace qel::test

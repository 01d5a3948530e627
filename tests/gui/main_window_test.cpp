#include "core/reporting.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/message_window.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench/qt_frontend.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"
#include "support/test_session.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::MainWindow;

class MainWindowTest : public WorkbenchTest { };

// A command whose window was not given, or not built yet, stays disabled even when a procedure
// enables it; the others follow the procedures.
TEST_F(MainWindowTest, OnlyCommandsThatCanRunAreEnabled)
{
    for (const bool workbench : { false, true }) {
        SCOPED_TRACE(workbench ? "workbench" : "no windows given");
        MainWindow &w = makeWindow(workbench ? gui::workbenchWindowFactories() : gui::WindowFactories {});
        for (int i = 0; i <= int(Command::ZoomAll); ++i) {
            const Command command = Command(i);
            w.setCommandEnabled(command, true);
            const bool handled = w.commands().handler(command) != nullptr;
            for (const QAction *action : w.commands().actions(command))
                EXPECT_EQ(action->isEnabled(), handled) << action->objectName().toStdString();
        }
        EXPECT_EQ(w.commands().handler(Command::EditUnits) != nullptr, workbench);
    }
}

TEST_F(MainWindowTest, ToolbarButtonsLogTheirKeyAndRunTheMenuCommand)
{
    MainWindow &w = makeWindow();
    frontend.answers = { MsgAnswer::Cancel }; // the "Assign Project File" explanation
    w.command("tbNew")->trigger();

    EXPECT_EQ(newLogLines().mid(0, 3), (QStringList { "Toolbar: [New]", "File > New", "ClearAll:" }));
}

TEST_F(MainWindowTest, OpeningAProjectInASingleProjectSessionDisablesNewAndOpen)
{
    MainWindow &w = makeWindow();
    session->app.MultipleProjects = false;
    const QString project = home() + QStringLiteral("Data/alpha.prj");
    frontend.queueFile(project);
    w.command("mnuFileSaveAs")->trigger();
    ASSERT_TRUE(QFile::exists(project));
    EXPECT_FALSE(session->model.ProjectChanged);
    frontend.queueFile(project);

    w.command("mnuFileOpen")->trigger();

    for (const char *name : { "mnuFileNew", "tbNew", "mnuFileOpen", "tbOpen" })
        EXPECT_FALSE(w.command(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(w.command("mnuFileSave")->isEnabled());
    EXPECT_EQ(w.statusPanel(StatusPanel::File)->text(), QStringLiteral("alpha.prj"));
}

// The toolbar's Save is the one button that is not its menu entry: after a failed open it asks for
// a name. The prompts of the File menu are tested in core; the generic button path by tbNew above.
TEST_F(MainWindowTest, ToolbarSaveAfterAFailedOpenAsksForANameAndKeepsTheFile)
{
    MainWindow &w = makeWindow();
    const QByteArray cut = newProjectBytes().left(200);
    const QString broken = writeBytes(home() + QStringLiteral("Data/broken.prj"), cut);
    frontend.queueFile(broken);
    w.command("mnuFileOpen")->trigger();
    EXPECT_EQ(session->model.ProjectStatus, QStringLiteral("New"));
    frontend.fileRequests.clear();
    frontend.queueCancelledFile();
    w.command("tbSave")->trigger();
    ASSERT_EQ(frontend.fileRequests.size(), 1u);
    EXPECT_TRUE(frontend.fileRequests[0].initialName.isEmpty());
    EXPECT_EQ(readBytes(broken), cut);
}

TEST_F(MainWindowTest, ClearAllEmptiesTheStatusPanelsAndDisablesTheClipboardCommands)
{
    MainWindow &w = makeWindow();
    w.setStatusPanel(StatusPanel::File, QStringLiteral("a.prj"));
    w.setStatusPanel(StatusPanel::Status, QStringLiteral("Working"));
    Message(*session, QStringLiteral("a line"));
    session->model.UNDone = true;
    session->checkNode(Step::SetUnits);
    const auto shownUnits = [&w] {
        return w.outlineWindow()->tree()->node(int(Step::SetUnits))->data(0, gui::CheckTree::StateRole).toString();
    };
    EXPECT_EQ(shownUnits(), QStringLiteral("All")) << "a step a procedure checks shows at once";

    w.command("mnuEditClear")->trigger();

    EXPECT_TRUE(w.statusPanel(StatusPanel::File)->text().isEmpty());
    EXPECT_TRUE(w.statusPanel(StatusPanel::Status)->text().isEmpty());
    EXPECT_TRUE(w.messageWindow()->text()->toPlainText().isEmpty());
    EXPECT_FALSE(w.command("mnuEditCut")->isEnabled());
    EXPECT_FALSE(w.command("tbPaste")->isEnabled());
    EXPECT_EQ(shownUnits(), QStringLiteral("None"));
}

// The answers are tested in core; the window adds closing itself, asking once even after
// File > Exit asked, and the unload lines.
TEST_F(MainWindowTest, ClosingAsksOnceAndWritesTheUnloadLines)
{
    const struct {
        bool viaExit;
        std::optional<MsgAnswer> answer;
        bool closes;
    } cases[] = { { false, MsgAnswer::Cancel, false }, { false, MsgAnswer::No, true }, { false, std::nullopt, true },
        { true, MsgAnswer::No, true } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.viaExit ? "File > Exit" : "close");
        MainWindow &w = makeWindow();
        session->model.ProjectChanged = c.answer.has_value();
        frontend.boxes.clear();
        if (c.answer)
            frontend.answers = { *c.answer };

        if (c.viaExit)
            w.command("mnuFileExit")->trigger();
        EXPECT_EQ(c.viaExit ? !w.isVisible() : w.close(), c.closes);

        const QStringList log = newLogLines();
        EXPECT_EQ(log.value(0), c.viaExit ? "File > Exit" : "[Form queryunload] Mode=1");
        EXPECT_TRUE(log.contains("[Form queryunload] Mode=1"));
        EXPECT_EQ(frontend.boxes.size(), c.answer ? 1u : 0u);
        if (c.closes)
            EXPECT_EQ(log.mid(log.size() - 2), (QStringList { "[Form unload]", "QEL session unloaded." }));
        else
            EXPECT_FALSE(log.contains(QStringLiteral("[Form unload]")));
    }
}

TEST_F(MainWindowTest, WindowPlacementRoundTripsThroughTheSettingsStore)
{
    MainWindow &first = makeWindow();
    first.showNormal();
    first.setPlacement({ 2000, 1500, 12000, 9000 });
    const QRect geometry(first.pos(), first.size());
    ASSERT_TRUE(first.close());

    QSettings stored(settingsFile(), QSettings::IniFormat);
    const gui::WindowPlacement p = MainWindow::storedPlacement(stored);
    EXPECT_NEAR(p.left, 2000, 15);
    EXPECT_NEAR(p.top, 1500, 15);
    EXPECT_NEAR(p.width, 12000, 15);
    EXPECT_NEAR(p.height, 9000, 15);

    MainWindow &second = makeWindow();
    EXPECT_EQ(QRect(second.pos(), second.size()).topLeft(), geometry.topLeft());
    EXPECT_EQ(second.size(), geometry.size());

    // Never smaller than the minimum size.
    second.setPlacement({ 0, 0, 1000, 1000 });
    EXPECT_GE(second.placement().width, 9000 - 15);
    EXPECT_GE(second.placement().height, 8000 - 15);
}

TEST_F(MainWindowTest, PlacementIsNotStoredForAMaximisedWindowNorRestoredFromFarLeft)
{
    MainWindow &w = makeWindow();
    w.showMaximized();
    ASSERT_TRUE(w.close());
    EXPECT_FALSE(QSettings(settingsFile(), QSettings::IniFormat).contains("Settings/MainLeft"));

    settings->setValue("Settings/MainLeft", -30000);
    settings->setValue("Settings/MainWidth", 20000);
    MainWindow &far = makeWindow();
    EXPECT_GT(far.pos().x(), -1000);
    EXPECT_EQ(MainWindow::storedPlacement(*settings).left, -30000);
}

TEST_F(MainWindowTest, ChildWindowsOpenOnceAndTile)
{
    MainWindow &w = makeWindow();
    auto *first = new FakeForm(*session, QStringLiteral("frmOptions"), 1900);
    QMdiSubWindow *frame = w.showChild(first);
    auto *second = new FakeForm(*session, QStringLiteral("frmOptions"), 1900);
    EXPECT_EQ(w.showChild(second), frame);
    QApplication::processEvents();
    EXPECT_EQ(w.findChildForm("frmOptions"), first);
    EXPECT_EQ(w.mdiArea()->subWindowList().size(), 4); // outline, layers, message, options

    // Tiled one above the other, then side by side: the windows fill the area exactly.
    const QRect area = w.mdiArea()->viewport()->rect();
    for (const bool horizontal : { true, false }) {
        w.command(horizontal ? "mnuWindowTileHorizontal" : "mnuWindowTileVertical")->trigger();
        int sum = 0;
        for (QMdiSubWindow *window : w.mdiArea()->subWindowList()) {
            EXPECT_EQ(horizontal ? window->width() : window->height(), horizontal ? area.width() : area.height());
            sum += horizontal ? window->height() : window->width();
        }
        EXPECT_EQ(sum, horizontal ? area.height() : area.width());
    }
    EXPECT_TRUE(newLogLines().contains(QStringLiteral("Window > Tile Vertical")));
}

TEST_F(MainWindowTest, ClipboardCommandsWorkOnTheListedWindowsOnly)
{
    MainWindow &w = makeWindow();
    for (const auto &[name, copies] : { std::pair { "frmOptions", true }, { "frmUnits", false } }) {
        SCOPED_TRACE(name);
        auto *form = new FakeForm(*session, QString::fromLatin1(name), 1900);
        w.showChild(form);
        auto *field = form->findChild<QLineEdit *>("txtField");
        field->setText(QStringLiteral("copied text"));
        field->setFocus();
        field->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QApplication::processEvents();

        EXPECT_EQ(w.command("mnuEditCopy")->isEnabled(), copies);
        w.command("mnuEditCopy")->trigger();
        if (copies) {
            EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("copied text"));
            w.command("mnuEditCut")->trigger();
            EXPECT_TRUE(field->text().isEmpty());
        }
        form->closeForm();
        QApplication::processEvents();
    }
}

TEST_F(MainWindowTest, FormattingButtonsFollowTheDocumentWindow)
{
    MainWindow &w = makeWindow();
    w.showChild(new FakeForm(*session, QStringLiteral("frmDoc"), 1050));
    EXPECT_TRUE(w.formatAction("Center")->isEnabled());
    EXPECT_TRUE(w.command("mnuEditPaste")->isEnabled());
    w.showChild(w.outlineWindow());
    EXPECT_FALSE(w.formatAction("Center")->isEnabled());
}

TEST_F(MainWindowTest, HelpCurrentTopicUsesTheActiveWindowsTopic)
{
    QList<int> topics;
    gui::WindowFactories factories;
    factories.help = [&topics](Session &, QWidget *, int context) { topics << context; };
    MainWindow &w = makeWindow(std::move(factories));
    w.showChild(w.layerWindow());
    w.command("mnuHelpCurrentTopic")->trigger();
    w.command("mnuHelpContents")->trigger();
    EXPECT_EQ(topics, (QList<int> { 1020, 1000 }));
    EXPECT_EQ(session->app.HelpContext, 1020);
}

TEST_F(MainWindowTest, MapTitleRenamesTheMapWindow)
{
    MainWindow &w = makeWindow();
    auto *map = new FakeForm(*session, QStringLiteral("frmMap"), 5100);
    w.showChild(map);
    frontend.inputAnswers = { QString() };
    w.command("mnuMapSetTitle")->trigger();
    EXPECT_EQ(map->windowTitle(), QStringLiteral("Map Window"));
}

TEST(QtFrontendFilters, ProcedureFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(gui::qtNameFilters(QStringLiteral("Project file (*.prj)|*.prj|All Files (*.*)|*.*")),
        (QStringList { "Project file (*.prj)", "All Files (*)" }));
    EXPECT_EQ(gui::qtNameFilters(QStringLiteral("Raster image (*.bmp;*.tif)|*.bmp;*.tif|AutoCAD drawing file "
                                                "(*.dwg)|*.dwg|WMF file|*.wmf")),
        (QStringList { "Raster image (*.bmp *.tif)", "AutoCAD drawing file (*.dwg)", "WMF file (*.wmf)" }));
}

} // namespace
} // namespace qel::test

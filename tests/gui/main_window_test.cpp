#include "gui/workbench_fixture.h"
#include "support/test_session.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::MainWindow;

class MainWindowTest : public WorkbenchTest { };

TEST_F(MainWindowTest, ToolbarButtonsLogTheirKeyAndRunTheMenuCommand)
{
    MainWindow &w = makeWindow();
    frontend.answers = { MsgAnswer::Cancel }; // the "Assign Project File" explanation
    w.command("tbNew")->trigger();

    EXPECT_EQ(newLogLines().mid(0, 3), (QStringList { "Toolbar: [New]", "File > New", "ClearAll:" }));
}

// The toolbar's Save is the one button that is not its menu entry: after a failed open it asks for
// a name. The prompts of the File menu are tested in core; the generic button path by tbNew above.
TEST_F(MainWindowTest, ToolbarSaveAfterAFailedOpenAsksForANameAndKeepsTheFile)
{
    frontend.expectErrors = true;
    MainWindow &w = makeWindow();
    const QByteArray cut = newProjectBytes().left(200);
    const QString broken = writeBytes(home() + QStringLiteral("Data/broken.prj"), cut);
    frontend.queueFile(broken);
    w.command("mnuFileOpen")->trigger();
    frontend.fileRequests.clear();
    frontend.queueCancelledFile();
    w.command("tbSave")->trigger();
    ASSERT_EQ(frontend.fileRequests.size(), 1u);
    EXPECT_TRUE(frontend.fileRequests[0].initialName.isEmpty());
    EXPECT_EQ(readBytes(broken), cut);
}

// Cancel keeps the window, No and an unchanged project close it (Yes, which saves first, is tested
// in core); closing asks once even after File > Exit asked, and writes the unload lines.
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

} // namespace
} // namespace qel::test

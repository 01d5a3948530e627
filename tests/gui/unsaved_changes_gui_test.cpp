#include "gui/dialogs/source_dialog.h"
#include "gui/dialogs/transport_dialog.h"
#include "gui/gui_input.h"
#include "gui/workbench_fixture.h"
#include "support/test_session.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

class UnsavedChangesTest : public WorkbenchTest {
public:
    UnsavedChangesTest()
    {
        makeWorkbench();
        ProjectModel &m = session->model;
        m.DistUnits = QStringLiteral("ft"), m.TimeUnits = QStringLiteral("d"), m.ConcUnits = QStringLiteral("mg/L");
        m.PCRight = m.MapRight = 2000, m.PCTop = m.MapTop = 1000;
    }
    void openTransport() { show(new gui::TransportDialog(*session)); }
    void openSource() { show(new gui::SourceDialog(*session)); }
    void show(gui::ChildForm *dialog)
    {
        window->showChild(dialog);
        form = dialog;
        QApplication::processEvents();
    }
    void closeFrame() const
    {
        qobject_cast<QMdiSubWindow *>(form->parentWidget())->close();
        settle();
    }
};

// The frame's close runs Close: the box still being typed in is checked and stored, the log line
// written and the step checked; a value Close refuses keeps the dialog open just the same.
TEST_F(UnsavedChangesTest, ADialogClosedByItsFrameKeepsWhatCloseKeeps)
{
    const struct {
        void (UnsavedChangesTest::*open)();
        const char *box, *typed;
        double ProjectModel::*field;
        double stored; // what the field holds afterwards
        bool closes;
        const char *logLine;
        Step step;
    } cases[] = {
        { &UnsavedChangesTest::openTransport, "txtParameter0", "2.5", &ProjectModel::K, 2.5, true, "TransData: [Close]",
            Step::ModelData },
        { &UnsavedChangesTest::openTransport, "txtParameter0", "0", &ProjectModel::K, 0, false, nullptr,
            Step::ModelData },
        { &UnsavedChangesTest::openSource, "txtXsource", "1234.5", &ProjectModel::Xsource, 1234.5, true,
            "Source: [Close]", Step::SourceLocation },
        { &UnsavedChangesTest::openSource, "txtXsource", "2500", &ProjectModel::Xsource, 0, false, nullptr,
            Step::SourceLocation },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        session->model.*c.field = 0;
        session->outline.uncheck(c.step);
        (this->*c.open)();
        session->model.ProjectChanged = false;
        logMark = readBytes(home() + QStringLiteral("QEL.LOG")).size();
        frontend.boxes.clear();
        retypeBox(control<QLineEdit>(QLatin1String(c.box)), QLatin1String(c.typed));
        closeFrame();
        EXPECT_EQ(session->model.*c.field, c.stored);
        EXPECT_EQ(form.isNull(), c.closes);
        EXPECT_EQ(frontend.boxTexts(MsgIcon::Warning).size(), c.closes ? 0 : 1);
        EXPECT_EQ(session->model.ProjectChanged, c.closes);
        EXPECT_EQ(session->outline.state(c.step), c.closes ? CheckState::All : CheckState::None);
        if (c.logLine) {
            EXPECT_TRUE(newLogLines().contains(QLatin1String(c.logLine)));
        }
        if (form) {
            delete form->parentWidget();
            settle();
        }
    }
}

// A transport value typed and kept is an unsaved change: Exit asks, and Cancel keeps the workbench.
TEST_F(UnsavedChangesTest, ATransportEditThenExitAsksToSave)
{
    openTransport();
    retypeBox(control<QLineEdit>(QStringLiteral("txtParameter6")), QStringLiteral("365"));
    click(QStringLiteral("cmdClose"));
    frontend.boxes.clear();
    frontend.answers = { MsgAnswer::Cancel };
    window->command("mnuFileExit")->trigger();
    ASSERT_EQ(frontend.boxes.size(), 1u);
    EXPECT_EQ(frontend.boxes[0].title, QStringLiteral("Save data?"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(session->model.Time, 365);
}

// Edit > Clear with unsaved changes asks as Close does; No keeps the project.
TEST_F(UnsavedChangesTest, ClearWithChangesAsksAndNoKeepsTheProject)
{
    session->model.MapTitle = QStringLiteral("Site A");
    session->model.ProjectChanged = true;
    frontend.answers = { MsgAnswer::No };
    window->command("mnuEditClear")->trigger();
    ASSERT_EQ(frontend.boxes.size(), 1u);
    EXPECT_EQ(
        frontend.boxes[0].text, QStringLiteral("Are you sure you want to ignore current data, and clear the project?"));
    EXPECT_EQ(session->model.MapTitle, QStringLiteral("Site A"));
    EXPECT_TRUE(newLogLines().contains(QStringLiteral("Ignore current data and clear the project? [No]")));
}

} // namespace
} // namespace qel::test

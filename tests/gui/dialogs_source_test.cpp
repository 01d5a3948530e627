#include "core/help_topics.h"
#include "gui/common/refused_box.h"
#include "gui/dialogs/source_dialog.h"
#include "gui/gui_input.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"
#include "support/test_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace qel;
using qel::gui::SourceDialog;
using qel::test::TestSession;

namespace {

struct SourceDialogTest : ::testing::Test {
    TestSession ts;
    QPointer<SourceDialog> dialog;

    void TearDown() override { delete dialog.data(); }
    void open()
    {
        ProjectModel &m = ts.session->model;
        m.DistUnits = QStringLiteral("ft");
        m.PCLeft = 0, m.PCRight = 2000, m.PCBottom = 0, m.PCTop = 1000;
        m.MapRight = 2000, m.MapTop = 1000;
        m.ProjectDir = ts.home() + QStringLiteral("site/");
        QDir().mkpath(m.ProjectDir);
        dialog = new SourceDialog(*ts.session);
        dialog->show();
        QApplication::setActiveWindow(dialog);
    }
    template<typename W> W *child(const char *name)
    {
        auto *w = dialog->findChild<W *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit *box(const char *name) { return child<QLineEdit>(name); }
    void click(const char *name)
    {
        child<QPushButton>(name)->click();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void type(const char *name, const QString &text) { qel::test::retypeBox(box(name), text); }
    // Tab on to another control and let the focus settle.
    void leave() { qel::test::leaveTo(child<QPushButton>("cmdHelp")); }
};

} // namespace

TEST_F(SourceDialogTest, TypedCoordinatesAreCheckedOnLeavingAndDrawnWhenBothAreIn)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Source Location"));
    EXPECT_EQ(child<QLabel>("lblPrompt")->text(),
        QStringLiteral("Click the center of the source location on the base map or enter its X,Y values below."));
    EXPECT_EQ(child<QLabel>("lblDistUnits")->text(), QStringLiteral("ft"));
    EXPECT_EQ(box("txtXsource")->text(), QString());
    EXPECT_FALSE(child<QCheckBox>("chkRoundXY")->isChecked());
    EXPECT_FALSE(box("txtRoundXY")->isEnabled());
    EXPECT_EQ(box("txtRoundXY")->text(), QString()) << "not filled from RoundXY";

    type("txtXsource", QStringLiteral("2000.5"));
    leave();
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning),
        QStringList { QStringLiteral("Specify source within Left and Right boundary (0, 2000)!") });
    EXPECT_EQ(QApplication::focusWidget(), box("txtXsource"));
    EXPECT_TRUE(gui::isRefused(box("txtXsource")));
    // Closing waits for a refused value without repeating the warning.
    click("cmdClose");
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning).size(), 1);

    type("txtXsource", QStringLiteral("1234.5"));
    leave();
    EXPECT_EQ(ts.session->model.Xsource, 1234.5) << "typed values are not rounded";
    EXPECT_FALSE(gui::isRefused(box("txtXsource")));
    EXPECT_FALSE(ts.session->model.SLmapped);
    type("txtYsource", QStringLiteral("600"));
    leave();
    EXPECT_EQ(ts.session->model.Ysource, 600);
    EXPECT_TRUE(ts.session->model.SLmapped);
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning).size(), 1);
}

TEST_F(SourceDialogTest, PickRoundingAndItsStep)
{
    open();
    ts.session->model.RoundXY = 10;
    ts.frontend.pickAnswers.push_back(QPointF(1234.5, 987.6));
    click("cmdSelectSource");
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("1230"));
    EXPECT_EQ(box("txtYsource")->text(), QStringLiteral("980"));
    EXPECT_TRUE(ts.session->model.SLmapped);

    ts.frontend.pickAnswers.push_back(std::nullopt);
    click("cmdSelectSource");
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("1230"));

    // Ticking with an empty step asks for one; an accepted step rounds the picked point again.
    auto *check = child<QCheckBox>("chkRoundXY");
    check->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(box("txtRoundXY")->isEnabled());
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning),
        QStringList { QStringLiteral("Source location rounding: Negative or zero value  invalid. Please change it.") });
    EXPECT_EQ(QApplication::focusWidget(), box("txtRoundXY"));
    type("txtRoundXY", QStringLiteral("100"));
    leave();
    EXPECT_EQ(ts.session->model.RoundXY, 100);
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("1200"));
    EXPECT_EQ(box("txtYsource")->text(), QStringLiteral("900"));

    // A zero step: answering Yes clears the option and lets the box go.
    type("txtRoundXY", QStringLiteral("0"));
    ts.frontend.answers.push_back(MsgAnswer::Yes);
    leave();
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(box("txtRoundXY")->isEnabled());
    EXPECT_EQ(ts.session->model.RoundXY, 100);
    EXPECT_TRUE(ts.frontend.answers.empty());
}

TEST_F(SourceDialogTest, OpensWithTheStoredSourceAndCloses)
{
    ts.session->model.Xsource = 250.5;
    ts.session->model.Ysource = 0;
    open();
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("250.5"));
    EXPECT_EQ(box("txtYsource")->text(), QStringLiteral("0"));
    int topic = 0;
    dialog->setHelpHook([&](int context) { topic = context; });
    click("cmdHelp");
    EXPECT_EQ(topic, HelpTopic::SourceLocation);
    EXPECT_TRUE(QFile::exists(QStringLiteral(QEL_SOURCE_DIR "/docs/help/") + helpTopicFile(topic)));

    click("cmdMapSource");
    EXPECT_TRUE(ts.session->model.SLmapped);
    ts.session->setStatus(QStringLiteral("working"));
    click("cmdClose");
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(ts.session->model.SLDone);
    EXPECT_EQ(ts.session->outline.state(Step::SourceLocation), CheckState::All);
    EXPECT_TRUE(ts.readLog().endsWith(QStringLiteral("Source: [Close]\r\n")));
    EXPECT_EQ(ts.frontend.panelStatus, QString());
}

namespace qel::test {

class SourceCommandTest : public WorkbenchTest { };

TEST_F(SourceCommandTest, EditSourceLocationOpensTheDialogOnce)
{
    gui::MainWindow &w = makeWindow(gui::workbenchWindowFactories());
    w.command(QStringLiteral("mnuEditSourceLocation"))->trigger();
    w.command(QStringLiteral("mnuEditSourceLocation"))->trigger();
    ASSERT_NE(w.findChildForm(QStringLiteral("frmSource")), nullptr);
    EXPECT_EQ(w.findChildren<SourceDialog *>().size(), 1);
    EXPECT_EQ(newLogLines(), (QStringList { "Edit > Source Location", "Edit > Source Location" }));
}

} // namespace qel::test

#include "core/help_topics.h"
#include "gui/dialogs/plot_limits_dialog.h"
#include "gui/gui_input.h"
#include "gui/workbench/workbench_windows.h"
#include "support/test_session.h"
#include "workbench_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace qel;
using qel::gui::PlotLimitsDialog;
using qel::test::TestSession;

namespace {

struct PlotLimitsDialogTest : ::testing::Test {
    TestSession ts;
    ProjectModel &m = ts.session->model;
    QPointer<PlotLimitsDialog> dialog;

    void TearDown() override { delete dialog.data(); }
    void open()
    {
        m.DistUnits = QStringLiteral("ft");
        m.BaseMapLeft = 0, m.BaseMapRight = 1000, m.BaseMapBottom = 0, m.BaseMapTop = 800;
        dialog = new PlotLimitsDialog(*ts.session);
        dialog->show();
        QApplication::setActiveWindow(dialog);
    }
    template<typename W> W *child(const QString &name)
    {
        auto *w = dialog->findChild<W *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit *box(const char *name) { return child<QLineEdit>(QString::fromLatin1(name)); }
    QPushButton *button(const char *name) { return child<QPushButton>(QString::fromLatin1(name)); }
    // Brings the box's tab to the front, focuses it and replaces its text by typing.
    void type(const char *name, const QString &text)
    {
        QLineEdit *edit = box(name);
        qel::test::showTabOf(edit);
        qel::test::retypeBox(edit, text);
    }
    // Tab on to another control and let the focus settle.
    void leave() { qel::test::leaveTo(button("cmdHelp")); }
    static bool looksRefused(const QLineEdit *edit)
    {
        const QColor text = edit->palette().color(QPalette::Text);
        return edit->font().bold() && text.red() > 150 && text.green() < 90;
    }
};

} // namespace

TEST_F(PlotLimitsDialogTest, RefusalWarnsTurnsRedAndKeepsTheFocus)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Plot Limits"));
    EXPECT_EQ(box("txtMLRight")->text(), QStringLiteral("1000"));
    EXPECT_EQ(box("txtPLLeft")->text(), QString());
    EXPECT_EQ(child<QLabel>(QStringLiteral("lblGridSpacingUnit"))->text(), QStringLiteral("ft"));

    type("txtMLLeft", QStringLiteral("-5"));
    leave();
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning),
        QStringList { QStringLiteral("Left map extent (-5) must be greater than maximum left extent (0)!") });
    EXPECT_EQ(m.MapLeft, 0);
    EXPECT_TRUE(looksRefused(box("txtMLLeft")));
    EXPECT_EQ(QApplication::focusWidget(), box("txtMLLeft"));
    // Nothing else can be done while the refused value stands, and no second warning comes.
    child<QCheckBox>(QStringLiteral("chkSameLimits"))->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(m.SameLimits);
    EXPECT_EQ(QApplication::focusWidget(), box("txtMLLeft"));
    EXPECT_EQ(ts.frontend.boxTexts(MsgIcon::Warning).size(), 1);

    type("txtMLLeft", QStringLiteral("25"));
    leave();
    EXPECT_EQ(m.MapLeft, 25);
    EXPECT_FALSE(looksRefused(box("txtMLLeft")));
    EXPECT_EQ(QApplication::focusWidget(), button("cmdHelp"));

    // A refused box on another tab brings its tab back to the front.
    type("txtPLRight", QStringLiteral("2000"));
    child<QTabWidget>(QStringLiteral("tabPlotLimits"))->setCurrentIndex(0);
    leave();
    EXPECT_EQ(child<QTabWidget>(QStringLiteral("tabPlotLimits"))->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), box("txtPLRight"));
}

TEST_F(PlotLimitsDialogTest, OkAndDrawWaitForAConsistentSet)
{
    open();
    int topic = 0;
    dialog->setHelpHook([&](int context) { topic = context; });
    button("cmdHelp")->click();
    EXPECT_EQ(topic, HelpTopic::PlotLimits);

    const auto enabled = [this] {
        EXPECT_EQ(button("cmdOK")->isEnabled(), button("cmdMapLimits")->isEnabled());
        return button("cmdOK")->isEnabled();
    };
    EXPECT_FALSE(enabled());
    // The grid follows the plot limits while the box is ticked.
    EXPECT_TRUE(child<QCheckBox>(QStringLiteral("chkSameLimits"))->isChecked());
    EXPECT_FALSE(box("txtPCLeft")->isEnabled());
    const std::pair<const char *, const char *> limits[]
        = { { "txtPLLeft", "100" }, { "txtPLRight", "905" }, { "txtPLTop", "700" }, { "txtPLBottom", "100" } };
    for (const auto &[name, text] : limits) {
        type(name, QString::fromLatin1(text));
        leave();
        EXPECT_FALSE(enabled()) << name;
    }
    EXPECT_EQ(box("txtPCRight")->text(), QStringLiteral("905"));
    type("txtPCGridSpacing", QStringLiteral("10"));
    leave();
    EXPECT_TRUE(enabled());
    EXPECT_EQ(box("txtPCNumX")->text(), QStringLiteral("81"));
    EXPECT_EQ(box("txtPCNumY")->text(), QStringLiteral("61"));
    EXPECT_EQ(box("txtPCRight")->text(), QStringLiteral("900"));

    type("txtPCNumY", QStringLiteral("9"));
    leave();
    EXPECT_FALSE(enabled()) << "nine rows are no grid";
    type("txtPCNumY", QStringLiteral("61"));
    leave();
    ASSERT_TRUE(enabled());

    ts.session->setStatus(QStringLiteral("working"));
    button("cmdOK")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(m.PLDone);
    EXPECT_EQ(m.PCNumX, 81);
    EXPECT_EQ(ts.session->outline.state(Step::PlotLimits), CheckState::All);
    EXPECT_EQ(ts.frontend.panelStatus, QString());
    EXPECT_TRUE(ts.frontend.boxes.empty());
}

class PlotLimitsCommandTest : public qel::test::WorkbenchTest { };

TEST_F(PlotLimitsCommandTest, TheOutlineEntryOpensTheDialogOnceTheMapIsReady)
{
    makeWindow(gui::workbenchWindowFactories());
    window->runOutlineStep(Step::PlotLimits);
    EXPECT_EQ(window->findChildForm(QStringLiteral("frmPlotLmts")), nullptr);
    EXPECT_EQ(frontend.boxTexts(MsgIcon::Information).size(), 1);
    session->model.MapReady = true;
    window->runOutlineStep(Step::PlotLimits);
    EXPECT_NE(window->findChildForm(QStringLiteral("frmPlotLmts")), nullptr);
}

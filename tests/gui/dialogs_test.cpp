#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/plot_limits_dialog.h"
#include "gui/dialogs/source_dialog.h"
#include "gui/dialogs/transport_dialog.h"
#include "gui/gui_input.h"
#include "gui/workbench_fixture.h"
#include "support/test_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

// The input dialogs on their own, as the workbench shows them. Opening, OK and Close along the
// outline are the new project walk's; here the refusals and the rules for the buttons.
struct DialogTest : ::testing::Test {
    TestSession ts;
    ProjectModel &m = ts.session->model;
    QPointer<gui::ChildForm> dialog;

    DialogTest()
    {
        m.DistUnits = QStringLiteral("ft"), m.TimeUnits = QStringLiteral("d"), m.ConcUnits = QStringLiteral("mg/L");
        ts.makeProjectFolder();
    }
    void TearDown() override { delete dialog.data(); }

    template<typename D> D *show()
    {
        delete dialog.data();
        auto *opened = new D(*ts.session);
        dialog = opened;
        opened->show();
        QApplication::setActiveWindow(opened);
        return opened;
    }
    // A map of 1000 x 800 ft with no plot limits yet.
    void openPlotLimits()
    {
        m.BaseMapLeft = 0, m.BaseMapRight = 1000, m.BaseMapBottom = 0, m.BaseMapTop = 800;
        show<gui::PlotLimitsDialog>();
    }
    // A contour grid of 2000 x 1000 ft.
    void openSource()
    {
        m.PCLeft = 0, m.PCRight = 2000, m.PCBottom = 0, m.PCTop = 1000;
        m.MapRight = 2000, m.MapTop = 1000;
        show<gui::SourceDialog>();
    }
    void openTransport() { show<gui::TransportDialog>(); }

    template<typename W> W *child(const QString &name) const
    {
        W *w = dialog ? dialog->findChild<W *>(name) : nullptr;
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit *box(const QString &name) const { return child<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(QLatin1String(name)); }
    void click(const char *name) const
    {
        button(name)->click();
        settle();
    }
    // Types over the box on whichever tab holds it.
    void type(const QString &name, const QString &text) const
    {
        showTabOf(box(name));
        retypeBox(box(name), text);
    }
    // Tabs on to another control and lets the focus settle.
    void leave() const { leaveTo(button("cmdHelp")); }
    void enter(const QString &name, const QString &text) const
    {
        type(name, text);
        leave();
    }
    QStringList warnings() const { return ts.frontend.boxTexts(MsgIcon::Warning); }
};

// One row per dialog; every parameter's text is checked by the core rule tests, and each box's field
// by the new project walk's saved project.
TEST_F(DialogTest, ARefusedValueWarnsIsMarkedKeepsTheFocusAndIsNotStored)
{
    const struct {
        void (DialogTest::*open)();
        const char *box, *typed, *warning, *good;
        double ProjectModel::*field;
    } cases[] = {
        { &DialogTest::openTransport, "txtParameter0", "0", "Hydraulic conductivity must not be <= 0!", "1",
            &ProjectModel::K },
        { &DialogTest::openPlotLimits, "txtMLLeft", "-5",
            "Left map extent (-5) must be greater than maximum left extent (0)!", "25", &ProjectModel::MapLeft },
        { &DialogTest::openSource, "txtXsource", "2000.5", "Specify source within Left and Right boundary (0, 2000)!",
            "1234.5", &ProjectModel::Xsource }, // typed values are not rounded
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box);
        const QString name = QLatin1String(c.box);
        (this->*c.open)();
        ts.frontend.boxes.clear();
        m.*c.field = 0.25;
        enter(name, QLatin1String(c.typed));
        EXPECT_EQ(warnings(), QStringList { QLatin1String(c.warning) });
        EXPECT_EQ(m.*c.field, 0.25);
        EXPECT_TRUE(looksRefused(box(name)));
        EXPECT_EQ(QApplication::focusWidget(), box(name));

        enter(name, QLatin1String(c.good));
        EXPECT_EQ(m.*c.field, QString::fromLatin1(c.good).toDouble());
        EXPECT_FALSE(looksRefused(box(name)));
        EXPECT_EQ(QApplication::focusWidget(), button("cmdHelp"));
        EXPECT_EQ(warnings().size(), 1);
    }
}

// Close waits for a refused value without warning again; once corrected it closes.
TEST_F(DialogTest, CloseWaitsForARefusedValueThenCloses)
{
    const struct {
        void (DialogTest::*open)();
        const char *box, *typed, *good;
        bool leaveFirst; // or the focus still in the box, as after a keyboard shortcut
    } cases[] = {
        { &DialogTest::openSource, "txtXsource", "-1", "10", true },
        { &DialogTest::openTransport, "txtParameter6", "-4", "3650", false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box);
        (this->*c.open)();
        ts.frontend.boxes.clear();
        type(QLatin1String(c.box), QLatin1String(c.typed));
        if (c.leaveFirst)
            leave();
        click("cmdClose");
        ASSERT_FALSE(dialog.isNull());
        click("cmdClose");
        ASSERT_FALSE(dialog.isNull());
        EXPECT_EQ(warnings().size(), 1);
        EXPECT_FALSE(m.TDDone || m.SLDone);

        type(QLatin1String(c.box), QLatin1String(c.good));
        click("cmdClose");
        EXPECT_TRUE(dialog.isNull());
        m.TDDone = m.SLDone = false;
    }
    EXPECT_EQ(m.Time, 3650);
}

// The derived counts, the snapped edges and what makes a consistent set are the core rules'; here
// the boxes reach them, the derived boxes refresh, and OK and Draw follow the check.
TEST_F(DialogTest, PlotLimitsOkAndDrawWaitForAConsistentSet)
{
    openPlotLimits();
    const auto enabled = [this] {
        EXPECT_EQ(button("cmdOK")->isEnabled(), button("cmdMapLimits")->isEnabled());
        return button("cmdOK")->isEnabled();
    };
    const std::pair<const char *, const char *> limits[]
        = { { "txtPLLeft", "100" }, { "txtPLRight", "905" }, { "txtPLTop", "700" }, { "txtPLBottom", "100" } };
    for (const auto &[name, text] : limits)
        enter(QLatin1String(name), QLatin1String(text));
    EXPECT_FALSE(enabled()) << "no grid spacing yet";
    enter("txtPCGridSpacing", QStringLiteral("10"));
    ASSERT_TRUE(enabled());
    EXPECT_EQ(box("txtPCNumX")->text(), QStringLiteral("81"));
    EXPECT_EQ(box("txtPCRight")->text(), QStringLiteral("900"));

    click("cmdOK");
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(m.PCNumX, 81);
    EXPECT_TRUE(ts.frontend.boxes.empty());
}

// The refusal texts are the core rule's; here the box shows what stays in force, and an overflow
// is one error box, not a warning as well.
TEST_F(DialogTest, OptionsRoundingStepRefused)
{
    ts.frontend.expectErrors = true;
    m.RoundXY = 0.01;
    show<gui::OptionsDialog>();
    const auto typeRoundXY = [this](const QString &text) {
        box("txtRoundXY")->setText(text);
        Q_EMIT box("txtRoundXY")->editingFinished();
    };
    typeRoundXY(QStringLiteral("-5"));
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_EQ(box("txtRoundXY")->text(), QStringLiteral("0.01"));

    typeRoundXY(QStringLiteral("1e999"));
    ASSERT_EQ(ts.frontend.boxes.size(), 2u);
    EXPECT_EQ(ts.frontend.boxes[1].icon, MsgIcon::Error);
    EXPECT_TRUE(ts.frontend.boxes[1].text.startsWith(QStringLiteral("QEL(Options:RoundXY): 6: \nOverflow\n\n")));
    EXPECT_DOUBLE_EQ(m.RoundXY, 0.01);
}

TEST_F(DialogTest, OptionsMultipleProjectsEnablesNewAndOpenAtOnce)
{
    ts.session->app.MultipleProjects = false;
    ts.frontend.disabledCommands = { Command::FileNew, Command::FileOpen };
    show<gui::OptionsDialog>();
    auto *check = child<QCheckBox>("chkMultipleProjects");
    check->click();
    EXPECT_TRUE(ts.session->app.MultipleProjects);
    EXPECT_TRUE(ts.frontend.disabledCommands.isEmpty());
    check->click();
    EXPECT_FALSE(ts.session->app.MultipleProjects);
    // Disabling waits for the next project to be opened.
    EXPECT_TRUE(ts.frontend.disabledCommands.isEmpty());
}

} // namespace
} // namespace qel::test

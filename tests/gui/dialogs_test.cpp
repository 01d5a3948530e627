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
#include <QTabWidget>

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

// Close waits for a refused value without warning again; once corrected it closes and clears the
// status line.
TEST_F(DialogTest, CloseWaitsForARefusedValueThenCloses)
{
    const struct {
        void (DialogTest::*open)();
        const char *box, *typed, *good;
        bool leaveFirst; // or the focus still in the box, as after a keyboard shortcut
        const char *logged;
    } cases[] = {
        { &DialogTest::openSource, "txtXsource", "-1", "10", true, "Source: [Close]\r\n" },
        { &DialogTest::openTransport, "txtParameter6", "-4", "3650", false, "TransData: [Close]\r\n" },
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
        ts.session->setStatus(QStringLiteral("working"));
        click("cmdClose");
        EXPECT_TRUE(dialog.isNull());
        EXPECT_TRUE(ts.readLog().endsWith(QLatin1String(c.logged)));
        EXPECT_EQ(ts.frontend.panelStatus, QString());
        m.TDDone = m.SLDone = false;
    }
    EXPECT_EQ(m.Time, 3650);
}

TEST_F(DialogTest, SourceIsDrawnWhenBothCoordinatesAreIn)
{
    openSource();
    enter("txtXsource", QStringLiteral("1234.5"));
    enter("txtYsource", QStringLiteral("600"));
    EXPECT_EQ(m.Ysource, 600);
    EXPECT_TRUE(m.SLmapped);

    // A stored source is shown and drawn on request.
    m.Xsource = 250.5, m.Ysource = 0, m.SLmapped = false;
    openSource();
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("250.5"));
    EXPECT_EQ(box("txtYsource")->text(), QStringLiteral("0"));
    click("cmdMapSource");
    EXPECT_TRUE(m.SLmapped);
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(DialogTest, SourcePickRoundingAndItsStep)
{
    openSource();
    m.RoundXY = 10;
    ts.frontend.pickAnswers.push_back(QPointF(1234.5, 987.6));
    click("cmdSelectSource");
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("1230"));
    EXPECT_EQ(box("txtYsource")->text(), QStringLiteral("980"));
    EXPECT_TRUE(m.SLmapped);

    // Ticking with an empty step asks for one; an accepted step rounds the picked point again.
    auto *check = child<QCheckBox>("chkRoundXY");
    check->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(box("txtRoundXY")->isEnabled());
    EXPECT_EQ(warnings(),
        QStringList { QStringLiteral("Source location rounding: Negative or zero value  invalid. Please change it.") });
    EXPECT_EQ(QApplication::focusWidget(), box("txtRoundXY"));
    enter("txtRoundXY", QStringLiteral("100"));
    EXPECT_EQ(m.RoundXY, 100);
    EXPECT_EQ(box("txtXsource")->text(), QStringLiteral("1200"));

    // A zero step: answering Yes clears the option and lets the box go.
    type("txtRoundXY", QStringLiteral("0"));
    ts.frontend.answers.push_back(MsgAnswer::Yes);
    leave();
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(box("txtRoundXY")->isEnabled());
    EXPECT_EQ(m.RoundXY, 100);
    EXPECT_TRUE(ts.frontend.answers.empty());
}

// A refused box on another tab brings its tab back to the front.
TEST_F(DialogTest, PlotLimitsRefusalBringsItsTabBack)
{
    openPlotLimits();
    type("txtPLRight", QStringLiteral("2000"));
    child<QTabWidget>("tabPlotLimits")->setCurrentIndex(0);
    leave();
    EXPECT_EQ(child<QTabWidget>("tabPlotLimits")->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), box("txtPLRight"));
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
    EXPECT_FALSE(box("txtPCLeft")->isEnabled()) << "the grid follows the plot limits while ticked";
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
TEST_F(DialogTest, OptionsRoundingStepRefusedOrTaken)
{
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

    typeRoundXY(QStringLiteral("0.5"));
    EXPECT_DOUBLE_EQ(m.RoundXY, 0.5);
    EXPECT_EQ(ts.frontend.boxes.size(), 2u);
}

TEST_F(DialogTest, OptionsMultipleProjectsEnablesNewAndOpenAtOnceAndCloseLogs)
{
    ts.session->app.MultipleProjects = false;
    ts.frontend.disabledCommands = { Command::FileNew, Command::FileOpen };
    show<gui::OptionsDialog>();
    auto *check = child<QCheckBox>("chkMultipleProjects");
    EXPECT_FALSE(check->isChecked()) << "the setting in force";
    check->click();
    EXPECT_TRUE(ts.session->app.MultipleProjects);
    EXPECT_TRUE(ts.frontend.disabledCommands.isEmpty());
    check->click();
    EXPECT_FALSE(ts.session->app.MultipleProjects);
    // Disabling waits for the next project to be opened.
    EXPECT_TRUE(ts.frontend.disabledCommands.isEmpty());

    click("cmdClose");
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(ts.readLog().endsWith(QStringLiteral(
        "Options: MultipleProjects enabled\r\nOptions: MultipleProjects disabled\r\nOptions: [Close]\r\n")));
}

} // namespace
} // namespace qel::test

#include "core/help_topics.h"
#include "gui/dialogs/units_dialog.h"
#include "support/test_session.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace qel;
using qel::gui::UnitsDialog;
using qel::test::TestSession;

namespace {

struct UnitsDialogTest : ::testing::Test {
    TestSession ts;
    QPointer<UnitsDialog> dialog;

    void open()
    {
        dialog = new UnitsDialog(*ts.session);
        dialog->show();
    }
    void TearDown() override { delete dialog.data(); }

    QComboBox *combo(const char *name) { return dialog->findChild<QComboBox *>(QString::fromLatin1(name)); }
    QPushButton *button(const char *name) { return dialog->findChild<QPushButton *>(QString::fromLatin1(name)); }
    void choose(const char *name, const char *text)
    {
        QComboBox *box = combo(name);
        ASSERT_NE(box, nullptr) << name;
        const int index = box->findText(QString::fromUtf8(text));
        ASSERT_GE(index, 0) << text;
        box->setCurrentIndex(index);
    }
    int logCount(const char *line) const { return int(ts.readLog().count(QString::fromUtf8(line))); }
};

} // namespace

TEST_F(UnitsDialogTest, CloseOffersOnlyWhenAllThreeUnitsAreChosen)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Set Units"));
    for (const char *name : { "cboDistUnits", "cboTimeUnits", "cboConcUnits" }) {
        ASSERT_NE(combo(name), nullptr) << name;
        EXPECT_EQ(combo(name)->currentIndex(), -1) << name;
    }
    EXPECT_FALSE(button("cmdClose")->isEnabled());

    choose("cboDistUnits", "m");
    choose("cboConcUnits", "ug/L");
    EXPECT_FALSE(ts.session->model.UNDone);
    EXPECT_FALSE(button("cmdClose")->isEnabled());

    choose("cboTimeUnits", "yr");
    EXPECT_TRUE(ts.session->model.UNDone);
    EXPECT_TRUE(button("cmdClose")->isEnabled());
    EXPECT_EQ(ts.session->model.DistUnits, QStringLiteral("m"));
    EXPECT_EQ(ts.session->model.TimeUnits, QStringLiteral("yr"));
    EXPECT_EQ(ts.session->model.ConcUnits, QStringLiteral("ug/L"));
    EXPECT_EQ(logCount("Units: DistUnits = m\r\n"), 1);
    EXPECT_EQ(logCount("Units: TimeUnits = yr\r\n"), 1);
    EXPECT_EQ(logCount("Units: ConcUnits = ug/L\r\n"), 1);
}

TEST_F(UnitsDialogTest, OpeningShowsStoredUnitsWithoutLogging)
{
    ts.session->model.DistUnits = QStringLiteral("ft");
    ts.session->model.TimeUnits = QStringLiteral("d");
    ts.session->model.ConcUnits = QStringLiteral("mg/L");
    open();
    EXPECT_EQ(combo("cboDistUnits")->currentText(), QStringLiteral("ft"));
    EXPECT_EQ(combo("cboTimeUnits")->currentText(), QStringLiteral("d"));
    EXPECT_EQ(combo("cboConcUnits")->currentText(), QStringLiteral("mg/L"));
    EXPECT_TRUE(ts.session->model.UNDone);
    EXPECT_TRUE(button("cmdClose")->isEnabled());
    EXPECT_EQ(logCount("Units: "), 0);
    EXPECT_EQ(ts.session->FormTag, QStringLiteral("Units"));

    choose("cboDistUnits", "m");
    EXPECT_EQ(logCount("Units: DistUnits = m\r\n"), 1);
}

TEST_F(UnitsDialogTest, UnknownStoredUnitLeavesTheStepOpen)
{
    ts.session->model.DistUnits = QStringLiteral("km");
    ts.session->model.TimeUnits = QStringLiteral("d");
    ts.session->model.ConcUnits = QStringLiteral("mg/L");
    ts.session->model.UNDone = true;
    open();
    EXPECT_EQ(combo("cboDistUnits")->currentIndex(), -1);
    EXPECT_FALSE(ts.session->model.UNDone);
    EXPECT_FALSE(button("cmdClose")->isEnabled());
}

TEST_F(UnitsDialogTest, CloseChecksTheStepLogsAndCloses)
{
    open();
    choose("cboDistUnits", "m");
    choose("cboTimeUnits", "d");
    choose("cboConcUnits", "mg/L");
    ts.session->setStatus(QStringLiteral("working"));
    button("cmdClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(ts.session->outline.state(QStringLiteral("Set units")), CheckState::All);
    EXPECT_TRUE(ts.readLog().endsWith(QStringLiteral("Units: [Close]\r\n")));
    EXPECT_EQ(ts.frontend.panelStatus, QString());
}

TEST_F(UnitsDialogTest, HelpAndPrint)
{
    open();
    button("cmdHelp")->click(); // no hook: nothing happens
    int topic = 0;
    dialog->setHelpHook([&](int context) { topic = context; });
    button("cmdHelp")->click();
    EXPECT_EQ(topic, HelpTopic::Units);

    dialog->printForm();
    ASSERT_EQ(ts.frontend.boxes.size(), 1u);
    EXPECT_EQ(
        ts.frontend.boxes[0].text, QStringLiteral("QEL: You can only print document or chart window at this time."));
}

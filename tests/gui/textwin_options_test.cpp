#include "gui/dialogs/options_dialog.h"
#include "support/test_session.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::gui;
using namespace qel::test;

namespace {

template<typename T> T *child(QWidget *form, const char *name)
{
    T *widget = form->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

struct OptionsFixture : ::testing::Test {
    TestSession t;
    QPointer<OptionsDialog> dialog;

    void open() { dialog = new OptionsDialog(*t.session); }
    void TearDown() override { delete dialog.data(); }

    void typeRoundXY(const QString &text)
    {
        auto *field = child<QLineEdit>(dialog, "txtRoundXY");
        field->setText(text);
        Q_EMIT field->editingFinished();
    }
};

} // namespace

TEST_F(OptionsFixture, ShowsTheSettingsInForce)
{
    t.session->app.NotepadPath = QStringLiteral("/usr/bin/less");
    t.session->app.EditorPath = QStringLiteral("/usr/bin/gedit");
    t.session->app.MultipleProjects = false;
    t.session->model.RoundXY = 0.5;
    t.session->model.UNDone = true;
    t.session->model.DistUnits = QStringLiteral("ft");
    open();
    EXPECT_EQ(child<QLineEdit>(dialog, "txtNotepad")->text(), QStringLiteral("/usr/bin/less"));
    EXPECT_EQ(child<QLineEdit>(dialog, "txtWordpad")->text(), QStringLiteral("/usr/bin/gedit"));
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkMultipleProjects")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "txtRoundXY")->text(), QStringLiteral("0.5"));
    EXPECT_EQ(child<QLabel>(dialog, "lblDistUnits")->text(), QStringLiteral("ft"));
    EXPECT_TRUE(t.frontend.boxes.empty());

    // Distance units are shown only once the units step is done.
    delete dialog.data();
    t.session->model.UNDone = false;
    open();
    EXPECT_TRUE(child<QLabel>(dialog, "lblDistUnits")->text().isEmpty());
}

// The refusal texts are the core rule's; here the box shows what stays in force, and an overflow
// is one error box, not a warning as well.
TEST_F(OptionsFixture, RoundingStepRefusedOrTaken)
{
    t.session->model.RoundXY = 0.01;
    open();
    typeRoundXY(QStringLiteral("-5"));
    EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Warning).size(), 1);
    EXPECT_EQ(child<QLineEdit>(dialog, "txtRoundXY")->text(), QStringLiteral("0.01"));

    typeRoundXY(QStringLiteral("1e999"));
    ASSERT_EQ(t.frontend.boxes.size(), 2u);
    EXPECT_EQ(t.frontend.boxes[1].icon, MsgIcon::Error);
    EXPECT_TRUE(t.frontend.boxes[1].text.startsWith(QStringLiteral("QEL(Options:RoundXY): 6: \nOverflow\n\n")));
    EXPECT_DOUBLE_EQ(t.session->model.RoundXY, 0.01);

    typeRoundXY(QStringLiteral("0.5"));
    EXPECT_DOUBLE_EQ(t.session->model.RoundXY, 0.5);
    EXPECT_EQ(t.frontend.boxes.size(), 2u);
}

TEST_F(OptionsFixture, MultipleProjectsEnablesNewAndOpenAtOnceAndCloseLogs)
{
    t.session->app.MultipleProjects = false;
    t.frontend.disabledCommands = { Command::FileNew, Command::FileOpen };
    open();
    auto *check = child<QCheckBox>(dialog, "chkMultipleProjects");
    check->click();
    EXPECT_TRUE(t.session->app.MultipleProjects);
    EXPECT_TRUE(t.frontend.disabledCommands.isEmpty());
    check->click();
    EXPECT_FALSE(t.session->app.MultipleProjects);
    // Disabling waits for the next project to be opened.
    EXPECT_TRUE(t.frontend.disabledCommands.isEmpty());

    dialog->show();
    child<QPushButton>(dialog, "cmdClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(t.readLog().endsWith(QStringLiteral(
        "Options: MultipleProjects enabled\r\nOptions: MultipleProjects disabled\r\nOptions: [Close]\r\n")));
}

TEST_F(OptionsFixture, ProgramPathsThroughTheFileDialog)
{
    t.session->app.NotepadPath = QStringLiteral("/opt/viewer/bin/view");
    open();
    t.frontend.queueFile(QStringLiteral("/usr/bin/less"));
    child<QToolButton>(dialog, "imgNotepad")->click();
    ASSERT_EQ(t.frontend.fileRequests.size(), 1u);
    EXPECT_EQ(t.frontend.fileRequests[0].initialDir, QStringLiteral("/opt/viewer/bin/"));
    EXPECT_EQ(t.session->app.NotepadPath, QStringLiteral("/usr/bin/less"));
    EXPECT_EQ(child<QLineEdit>(dialog, "txtNotepad")->text(), QStringLiteral("/usr/bin/less"));

    t.frontend.queueCancelledFile();
    child<QToolButton>(dialog, "imgWordpad")->click();
    EXPECT_TRUE(t.session->app.EditorPath.isEmpty());
    t.frontend.queueFile(QStringLiteral("/usr/bin/gedit"));
    child<QToolButton>(dialog, "imgWordpad")->click();
    EXPECT_EQ(t.session->app.EditorPath, QStringLiteral("/usr/bin/gedit"));
    EXPECT_EQ(t.session->app.NotepadPath, QStringLiteral("/usr/bin/less"));
}

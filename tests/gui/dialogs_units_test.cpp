#include "core/help_topics.h"
#include "gui/dialogs/units_dialog.h"
#include "support/test_session.h"

#include <QComboBox>
#include <QCoreApplication>
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

    void TearDown() override { delete dialog.data(); }
    void open()
    {
        dialog = new UnitsDialog(*ts.session);
        dialog->show();
    }
    QPushButton *close() { return dialog->findChild<QPushButton *>(QStringLiteral("cmdClose")); }
    void choose(const char *name, const char *text)
    {
        auto *box = dialog->findChild<QComboBox *>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr) << name;
        ASSERT_GE(box->findText(QString::fromUtf8(text)), 0) << text;
        box->setCurrentIndex(box->findText(QString::fromUtf8(text)));
    }
    int logged(const char *line) const { return int(ts.readLog().count(QString::fromUtf8(line))); }
};

} // namespace

// The rules (what counts as done, what is logged, what Close checks) are tested in core; here that
// the boxes reach them and Close is offered and closes.
TEST_F(UnitsDialogTest, CloseOfferedOnceAllThreeAreChosen)
{
    ts.session->model.DistUnits = QStringLiteral("ft"); // shown when opening, not logged
    open();
    EXPECT_EQ(dialog->findChild<QComboBox *>(QStringLiteral("cboDistUnits"))->currentText(), QStringLiteral("ft"));
    EXPECT_EQ(dialog->findChild<QComboBox *>(QStringLiteral("cboTimeUnits"))->currentIndex(), -1);
    int topic = 0;
    dialog->setHelpHook([&](int context) { topic = context; });
    dialog->findChild<QPushButton *>(QStringLiteral("cmdHelp"))->click();
    EXPECT_EQ(topic, HelpTopic::Units);

    choose("cboConcUnits", "ug/L");
    EXPECT_FALSE(close()->isEnabled());
    choose("cboTimeUnits", "yr");
    EXPECT_TRUE(close()->isEnabled());
    EXPECT_EQ(ts.session->model.TimeUnits, QStringLiteral("yr"));
    EXPECT_EQ(logged("Units: TimeUnits = yr\r\n"), 1);
    EXPECT_EQ(logged("Units: DistUnits"), 0);

    close()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(ts.session->outline.state(Step::SetUnits), CheckState::All);
}

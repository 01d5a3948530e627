#include "gui/dialogs/plume_uncertainty_dialog.h"
#include "support/test_session.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

struct Boxes {
    const char *runs, *seed, *threshold;
};

QLineEdit *box(gui::PlumeUncertaintyDialog &d, const char *name)
{
    auto *edit = d.findChild<QLineEdit *>(QLatin1String(name));
    EXPECT_TRUE(edit) << name;
    return edit;
}

void type(gui::PlumeUncertaintyDialog &d, const Boxes &b)
{
    box(d, "txtRuns")->setText(QLatin1String(b.runs));
    box(d, "txtSeed")->setText(QLatin1String(b.seed));
    box(d, "txtThreshold")->setText(QLatin1String(b.threshold));
}

// The boxes start at the defaults, OK keeps the dialog open on a refused box and closes it on
// accepted ones with their settings.
TEST(PlumeUncertaintyDialog, StartsAtTheDefaultsAndChecksTheBoxesOnOk)
{
    TestSession t;
    ProjectModel &m = t.session->model;
    m.C0 = 400;
    m.PC.NumLevels = 1, m.PC.CMin(1) = 2.5;
    gui::PlumeUncertaintyDialog dialog(*t.session);
    EXPECT_EQ(box(dialog, "txtRuns")->text(), "500");
    EXPECT_EQ(box(dialog, "txtSeed")->text(), "1");
    EXPECT_EQ(box(dialog, "txtThreshold")->text(), "2.5");
    EXPECT_EQ(dialog.findChild<QLabel *>("lblThresholdDefault")->text(),
        "Default threshold: the lowest level of the plume contours.");

    const struct {
        Boxes boxes;
        const char *warning; // nullptr: accepted
    } cases[] = {
        { { "0", "1", "1" }, "The number of runs must be a whole number from 1 to 10000!" },
        { { "50", "one", "1" }, "The seed must be a whole number from 0 to 18446744073709551615!" },
        { { "50", "1", "0" }, "The threshold concentration must be a number > 0!" },
        { { "50", "7", "0.25" }, nullptr },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.boxes.runs + std::string(" ") + c.boxes.seed + " " + c.boxes.threshold);
        t.frontend.boxes.clear();
        dialog.setResult(QDialog::Rejected);
        type(dialog, c.boxes);
        dialog.cmdOK_Click();
        EXPECT_EQ(dialog.result(), c.warning ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Warning), c.warning ? QStringList { c.warning } : QStringList {});
    }
    ASSERT_TRUE(dialog.settings());
    EXPECT_EQ(std::tuple(dialog.settings()->runs, dialog.settings()->seed, dialog.settings()->threshold),
        std::tuple(50, std::uint64_t(7), 0.25));
}

TEST(PlumeUncertaintyDialog, TheCommandSaysWhatIsMissingBeforeAsking)
{
    TestSession t;
    t.frontend.expectErrors = true;
    gui::runPlumeUncertaintyClicked(*t.session, nullptr);
    const QStringList errors = t.frontend.boxTexts(MsgIcon::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("There is no plume to study: the project has no analytical results. Run the "
                                     "analytical solution first.\n"))
        << errors[0].toStdString();
}

} // namespace
} // namespace qel::test

#include "core/options_rules.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(OptionsRules, RoundingStep)
{
    const struct {
        const char *text;
        bool accepted;
        double roundXY; // in force afterwards, starting from 0.25
    } cases[] = { { "0.5", true, 0.5 }, { " 2.5 m", true, 2.5 }, { "1e-3", true, 0.001 }, { "0", false, 0.25 },
        { "-5", false, 0.25 }, { "abc", false, 0.25 }, { "", false, 0.25 } };
    for (const auto &c : cases) {
        TestSession t;
        t.session->model.RoundXY = 0.25;
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(acceptRoundXY(*t.session, text), c.accepted) << c.text;
        EXPECT_DOUBLE_EQ(t.session->model.RoundXY, c.roundXY) << c.text;
        // The warning's title and log line are ReportWarning's, checked with the reports.
        const QStringList refusal = { "Distance rounding: Negative or zero value " + text + " invalid." };
        EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Warning), c.accepted ? QStringList() : refusal) << c.text;
    }
}

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
        const QStringList warnings = t.frontend.boxTexts(MsgIcon::Warning);
        if (c.accepted) {
            EXPECT_TRUE(warnings.isEmpty()) << c.text;
        } else {
            const QString expected
                = QStringLiteral("Distance rounding: Negative or zero value ") + text + QStringLiteral(" invalid.");
            ASSERT_EQ(warnings.size(), 1) << c.text;
            EXPECT_EQ(warnings.first(), expected);
            EXPECT_EQ(t.frontend.boxes.back().title, QStringLiteral("Warning"));
            EXPECT_TRUE(t.readLog().contains(expected + QStringLiteral("\r\n"))) << c.text;
        }
    }
}

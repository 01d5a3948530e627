#include "core/errors.h"
#include "views/site_session.h"
#include "views/source_rules.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A session whose model grid spans x 100..1100 and y -50..950, on a map the source can be drawn on.
struct SourceSession : SiteSession {
    SourceSession()
    {
        m.PCLeft = 100, m.PCRight = 1100, m.PCBottom = -50, m.PCTop = 950;
        m.MapLeft = 0, m.MapRight = 2000, m.MapBottom = -100, m.MapTop = 1000;
    }
    QStringList warnings() const { return frontend.boxTexts(MsgIcon::Warning); }

    SourcePick pick;
};

const QString LeftRight = QStringLiteral("Specify source within Left and Right boundary (100, 1100)!");
const QString TopBottom = QStringLiteral("Specify source within Top and Bottom boundary (-50, 950)!");

} // namespace

TEST(SourceRules, TypedCoordinatesInsideTheGridAreStoredAsTyped)
{
    const struct {
        SourceAxis axis;
        const char *text;
        double stored; // 7, as before, when refused
        QStringList warnings;
    } cases[] = {
        { SourceAxis::X, "100", 100, {} },
        { SourceAxis::X, "1100", 1100, {} },
        { SourceAxis::X, "1234.56e-1 m", 123.456, {} }, // not rounded, whatever RoundXY is
        { SourceAxis::X, "99.999", 7, { LeftRight } },
        { SourceAxis::X, "1100.001", 7, { LeftRight } },
        { SourceAxis::X, "east", 7, { LeftRight } }, // no number reads as 0, left of the grid
        { SourceAxis::Y, "951", 7, { TopBottom } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        SourceSession s;
        s.m.RoundXY = 10;
        s.m.Xsource = s.m.Ysource = 7;
        s.pick.point = QPointF(500, 500);
        const bool accepted = validateSourceCoordinate(s.s, s.pick, c.axis, QString::fromUtf8(c.text), false);
        const double stored = c.axis == SourceAxis::X ? s.m.Xsource : s.m.Ysource;
        EXPECT_EQ(accepted, c.warnings.isEmpty());
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(s.warnings(), c.warnings);
        EXPECT_EQ(s.pick.point.has_value(), !accepted)
            << "a typed coordinate replaces the picked point, a refused one keeps it";
        EXPECT_FALSE(s.m.SLmapped) << "the other box is empty";
    }
}

TEST(SourceRules, EmptyBoxAndOverflow)
{
    SourceSession s;
    s.m.Xsource = 500;
    EXPECT_TRUE(validateSourceCoordinate(s.s, s.pick, SourceAxis::X, QStringLiteral("  "), true));
    EXPECT_EQ(s.m.Xsource, 500);
    EXPECT_FALSE(s.m.SLmapped);
    EXPECT_THROW(validateSourceCoordinate(s.s, s.pick, SourceAxis::X, QStringLiteral("1e999"), true), QelError);
    EXPECT_EQ(s.m.Xsource, 500);
    EXPECT_TRUE(s.warnings().isEmpty());
}

TEST(SourceRules, PickedPointsAreCutDownToTheStep)
{
    const struct {
        double x, y, step, rx, ry;
    } cases[] = {
        { -1234.5, -987.6, 10, -1230, -980 }, // towards zero, not down
        { 0, 987.6, 10, 0, 987.6 }, // a zero coordinate leaves both as picked
        { 1234.567, 0.129, 0.01, 1234.56, 0.12 },
        // Whole multiples stay, despite binary fractions, even in survey-sized coordinates.
        { 512345.67, 4500000.123, 0.001, 512345.67, 4500000.123 },
        { -512345.9996, 4500000.1239, 0.001, -512345.999, 4500000.123 },
    };
    for (const auto &c : cases) {
        const QPointF r = roundedSourcePoint(QPointF(c.x, c.y), c.step);
        EXPECT_DOUBLE_EQ(r.x(), c.rx) << c.x << " step " << c.step;
        EXPECT_DOUBLE_EQ(r.y(), c.ry) << c.y << " step " << c.step;
    }
}

// An aborted pick is followed through the dialog.
TEST(SourceRules, APickRoundedOutOfTheGridChangesNothing)
{
    SourceSession s;
    s.m.RoundXY = 30;
    s.m.Xsource = 300, s.m.Ysource = 400;
    s.pick.point = QPointF(305, 405);
    s.frontend.pickAnswers.push_back(QPointF(105, 500)); // inside, but rounded to 90
    EXPECT_FALSE(selectSource(s.s, s.pick));
    EXPECT_EQ(QPointF(s.m.Xsource, s.m.Ysource), QPointF(300, 400));
    EXPECT_EQ(s.pick.point, QPointF(305, 405));
    EXPECT_FALSE(s.m.SLmapped);
    EXPECT_EQ(s.warnings(), QStringList { LeftRight });
}

// Ticking with the box empty, and a zero, are followed through the dialog.
TEST(SourceRules, RoundingStepsAtOrBelowZeroAreRefused)
{
    for (const char *text : { "0", "-5 m" }) {
        SCOPED_TRACE(text);
        const QString warning = QStringLiteral("Source location rounding: Negative or zero value ") + text;
        SourceSession s;
        s.pick.point = QPointF(1234.5, 987.6);
        s.m.Xsource = 300;

        EXPECT_FALSE(tickRoundXY(s.s, s.pick, QString::fromUtf8(text)).accepted);
        EXPECT_EQ(s.warnings(), QStringList { warning + QStringLiteral(" invalid. Please change it.") });

        // Leaving the box asks whether to uncheck instead; Yes is followed through the dialog.
        s.frontend.boxes.clear();
        s.frontend.answers.push_back(MsgAnswer::No);
        const RoundingOutcome left = validateRoundXY(s.s, s.pick, QString::fromUtf8(text));
        EXPECT_FALSE(left.accepted || left.uncheck);
        ASSERT_EQ(s.frontend.boxes.size(), 2u);
        EXPECT_EQ(s.frontend.boxes[0].text, warning + QStringLiteral(" invalid."));
        EXPECT_EQ(s.frontend.boxes[1].buttons, MsgButtons::YesNo);
        EXPECT_EQ(s.m.RoundXY, 0.01);
        EXPECT_EQ(s.m.Xsource, 300);
    }
}

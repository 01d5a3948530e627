#include "core/units_rules.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using qel::test::TestSession;

TEST(UnitsRules, DoneExactlyWhenAllThreeHoldAListedUnit)
{
    const struct {
        const char *dist, *time, *conc;
        bool done;
    } cases[] = {
        { "m", "d", "mg/L", true }, { "ft", "yr", "ug/L", true }, { "", "d", "mg/L", false },
        { "m", "", "mg/L", false }, { "m", "d", "", false },
        { "km", "d", "mg/L", false }, // a unit no list offers, e.g. from a hand-edited file
    };
    for (const auto &c : cases) {
        ProjectModel model;
        model.UNDone = !c.done;
        model.DistUnits = QString::fromUtf8(c.dist);
        model.TimeUnits = QString::fromUtf8(c.time);
        model.ConcUnits = QString::fromUtf8(c.conc);
        EXPECT_EQ(unitsCheckStatus(model), c.done) << c.dist << " " << c.time << " " << c.conc;
        EXPECT_EQ(model.UNDone, c.done);
    }
}

// Closing checks the outline only when the set is complete, and the choice completing it marks the
// step done.
TEST(UnitsRules, ChoicesAndClose)
{
    for (bool complete : { false, true }) {
        SCOPED_TRACE(complete);
        TestSession ts;
        Session &s = *ts.session;
        s.model.DistUnits = QStringLiteral("m");
        s.model.TimeUnits = QStringLiteral("d");
        if (complete) {
            EXPECT_TRUE(chooseUnit(s, UnitKind::Concentration, QStringLiteral("ug/L"), false));
            EXPECT_TRUE(s.model.UNDone);
        }
        s.model.ProjectChanged = false; // the close is what marks it
        closeUnits(s);
        EXPECT_EQ(s.outline.state(Step::SetUnits), complete ? CheckState::All : CheckState::None);
        EXPECT_EQ(s.model.ProjectChanged, complete);
    }
}

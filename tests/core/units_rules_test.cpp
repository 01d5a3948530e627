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

TEST(UnitsRules, OnlyChoicesOfThePersonAreLogged)
{
    const struct {
        UnitKind kind;
        const char *text;
        const char *line;
    } cases[] = {
        { UnitKind::Distance, "m", "Units: DistUnits = m\r\n" },
        { UnitKind::Time, "yr", "Units: TimeUnits = yr\r\n" },
        { UnitKind::Concentration, "ug/L", "Units: ConcUnits = ug/L\r\n" },
    };
    TestSession ts;
    Session &s = *ts.session;
    for (const auto &c : cases) {
        chooseUnit(s, c.kind, QString::fromUtf8(c.text), false);
        EXPECT_EQ(s.model.*unitChoice(c.kind).field, QString::fromUtf8(c.text));
        EXPECT_FALSE(ts.readLog().contains(QString::fromUtf8(c.line)));
        chooseUnit(s, c.kind, QString::fromUtf8(c.text), true);
        EXPECT_EQ(ts.readLog().count(QString::fromUtf8(c.line)), 1);
    }
    EXPECT_TRUE(s.model.UNDone);
}

TEST(UnitsRules, CloseChecksTheOutlineOnlyWhenComplete)
{
    for (bool complete : { false, true }) {
        TestSession ts;
        Session &s = *ts.session;
        s.model.DistUnits = QStringLiteral("m");
        s.model.TimeUnits = QStringLiteral("d");
        if (complete)
            s.model.ConcUnits = QStringLiteral("mg/L");
        unitsCheckStatus(s.model);
        s.setStatus(QStringLiteral("busy"));
        closeUnits(s);
        EXPECT_EQ(s.outline.state(Step::SetUnits), complete ? CheckState::All : CheckState::None);
        EXPECT_EQ(s.model.ProjectChanged, complete);
        EXPECT_TRUE(ts.readLog().endsWith(QStringLiteral("Units: [Close]\r\n")));
        EXPECT_EQ(ts.frontend.panelStatus, QString());
    }
}

#include "core/number_text.h"
#include "views/contour_view.h"
#include "views/site_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// Two samples on a 2 x 2 grid, with the ranges the runs left.
struct ViewSite : SiteSession {
    ViewSite()
    {
        m.NumSamples = 2;
        m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
        m.ConcMin = 0, m.ConcMax = 988.8;
        m.MinDistMin = 0, m.MinDistMax = 150.456;
        m.WOLFMin = 0, m.WOLFMax = 2.5e6;
        m.PCLeft = 0, m.PCTop = 10, m.PCGridSpacing = 10, m.PCNumX = 2, m.PCNumY = 2;
        m.Conc.allocate(2, 2, 3);
        m.RoundXY = 0.1;
    }
    ContourView &view(const ContourViewLogic &logic) { return m.*(logic.info().view); }
    bool done(const ContourViewLogic &logic) { return m.*(logic.info().done); }
};

} // namespace

TEST(ContourView, GenerationLinearAndLogarithmic)
{
    const struct {
        const char *what;
        ContourKind kind;
        double min, max;
        int levels;
        bool log;
        std::vector<std::pair<double, double>> bounds;
        std::vector<int> colours; // by default, counting down to 1 at the top level
    } cases[] = {
        // A plume from 0, whose first bound becomes 0.001, is generated through the window.
        { "minimum distances keep a lower bound of 0", ContourKind::MinDist, 0, 10, 2, false, { { 0, 5 }, { 5, 10 } },
            { 2, 1 } },
        { "log decades from 0.003 to 250", ContourKind::Plume, 0.003, 250, 4, true,
            { { 0.001, std::pow(10, -1.5) }, { std::pow(10, -1.5), 1 }, { 1, std::pow(10, 1.5) },
                { std::pow(10, 1.5), 1000 } },
            { 4, 3, 2, 1 } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ViewSite site;
        ContourViewLogic logic(*site.session, c.kind);
        ContourView &v = site.view(logic);
        v.Min = c.min, v.Max = c.max, v.NumLevels = int16(c.levels), v.UseLog = c.log;
        logic.generate();
        ASSERT_TRUE(site.s.ErrorText.isEmpty());
        ASSERT_EQ(v.NumLevels, int(c.bounds.size()));
        EXPECT_EQ(logic.rows().size(), c.bounds.size()) << "the table shows every level";
        for (int i = 1; i <= v.NumLevels; ++i) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(v.CMin(i), c.bounds[i - 1].first, 1e-12);
            EXPECT_NEAR(v.CMax(i), c.bounds[i - 1].second, 1e-12);
            EXPECT_EQ(v.CColor(i), c.colours[std::size_t(i - 1)]);
        }
        EXPECT_TRUE(site.done(logic));
        logic.setLevelColor(1, 9);
        logic.generate();
        EXPECT_EQ(v.CColor(1), 9) << "generating again keeps a chosen colour";
    }
}

TEST(ContourView, RefusedGenerationsAndOpeningsAreReported)
{
    const struct {
        ContourKind kind;
        int levels;
        bool log;
        const char *prefix;
    } cases[] = {
        { ContourKind::Plume, 0, false, "QEL(PlumeSpect:cmdGenerate_Click): 11: " },
        { ContourKind::Wolf, 3, true, "QEL(WOLF:cmdGenerate_Click): 5: " },
    };
    for (const auto &c : cases) {
        ViewSite site;
        site.frontend.expectErrors = true;
        ContourViewLogic logic(*site.session, c.kind);
        ContourView &v = site.view(logic);
        v.Min = 0, v.Max = 10, v.NumLevels = int16(c.levels), v.UseLog = c.log;
        logic.generate();
        EXPECT_TRUE(site.s.ErrorText.startsWith(QLatin1String(c.prefix))) << site.s.ErrorText.toStdString();
        EXPECT_FALSE(site.done(logic));
    }
    ViewSite site;
    site.m.NumSamples = 0;
    EXPECT_FALSE(ContourViewLogic(*site.session, ContourKind::Plume).load());
    ASSERT_EQ(site.frontend.boxes.size(), 1u);
    EXPECT_TRUE(site.frontend.boxes[0].text.startsWith(QStringLiteral("Error: Number of dates = 0.")));
}

TEST(ContourView, BoxesKeepOnlyWhatTheirRulesAllow)
{
    using Box = ContourViewLogic::Box;
    const struct {
        const char *what;
        ContourKind kind;
        Box box;
        const char *typed;
        const char *shown;
        double min, max;
        int levels, width;
    } cases[] = {
        // The proposed range of a new view: 0 to 988.8 rounded out to 0 to 1000.
        { "width 0 is ignored", ContourKind::Plume, Box::LineWidthBox, "0", "0", 0, 1000, 5, 1 },
        { "width 6 is ignored", ContourKind::Plume, Box::LineWidthBox, "6", "6", 0, 1000, 5, 1 },
        { "width 3", ContourKind::Plume, Box::LineWidthBox, "3", "3", 0, 1000, 5, 3 },
        { "a negative minimum reverts", ContourKind::Plume, Box::MinBox, "-4", "0", 0, 1000, 5, 1 },
        { "a WOLF maximum of 0 reverts", ContourKind::Wolf, Box::MaxBox, "0", "2.5E+6", 0, 2.5e6, 5, 1 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ViewSite site;
        ContourViewLogic logic(*site.session, c.kind);
        ASSERT_TRUE(logic.load());
        logic.validate(c.box, QLatin1String(c.typed));
        const ContourView &v = site.view(logic);
        EXPECT_EQ(logic.boxText(c.box), QLatin1String(c.shown));
        EXPECT_DOUBLE_EQ(v.Min, c.min);
        EXPECT_DOUBLE_EQ(v.Max, c.max);
        EXPECT_EQ(v.NumLevels, c.levels);
        EXPECT_EQ(v.LineWidth, c.width);
    }
}

TEST(ContourView, OpeningTakesTheRangeOfItsGrid)
{
    ViewSite site;
    ContourViewLogic distances(*site.session, ContourKind::MinDist);
    ASSERT_TRUE(distances.load());
    // A tenth of the largest distance (15), and the largest, rounded out to steps of 20 with a
    // positive start: a new project's 0 would make the levels run downwards.
    EXPECT_DOUBLE_EQ(site.m.MD.Min, 10.0);
    EXPECT_DOUBLE_EQ(site.m.MD.Max, 160.0);
    EXPECT_EQ(distances.boxText(ContourViewLogic::MinBox), QStringLiteral("10"));
    EXPECT_EQ(distances.boxText(ContourViewLogic::MaxBox), QStringLiteral("160"));
    distances.generate();
    EXPECT_LT(site.m.MD.CMin(1), site.m.MD.CMax(1));
}

// That the tick is refused and then taken, and that a refused box keeps the focus, is checked
// through the window; here, what each refusal says.
TEST(ContourView, LogScaleNeedsAPositiveRange)
{
    ViewSite site;
    ContourViewLogic logic(*site.session, ContourKind::Plume);
    ASSERT_TRUE(logic.load()); // the minimum box shows 0
    EXPECT_FALSE(logic.setUseLog(true));
    ASSERT_EQ(site.frontend.boxes.size(), 1u);
    EXPECT_TRUE(site.frontend.boxes[0].text.startsWith(QStringLiteral("For log scale, min/max values must not be\n")));
    logic.validate(ContourViewLogic::MinBox, QStringLiteral("1"));
    ASSERT_TRUE(logic.setUseLog(true));
    // Each refusal names the bound that must not be zero; the refused maximum reverts.
    logic.validate(ContourViewLogic::MinBox, QStringLiteral("0"));
    EXPECT_EQ(site.frontend.boxes.back().text,
        QStringLiteral("For log scale, minimum value must not be zero! Please change."));
    logic.validate(ContourViewLogic::MaxBox, QStringLiteral("-1"));
    EXPECT_EQ(site.frontend.boxes.back().text,
        QStringLiteral("For log scale, maximum value must not be zero! Please change."));
    EXPECT_EQ(logic.boxText(ContourViewLogic::MaxBox), QStringLiteral("1000."));
}

TEST(ContourView, TableEditsAndTheZeroRule)
{
    ViewSite site;
    site.frontend.expectErrors = true;
    ContourViewLogic logic(*site.session, ContourKind::Plume);
    site.m.PC.Min = 1, site.m.PC.Max = 3, site.m.PC.NumLevels = 2;
    logic.generate();
    // The cell texts, and that a failed edit stores nothing, are checked through the window's edit
    // box; here, that a zero gets a message and under which code a text that is no number is reported.
    EXPECT_EQ(logic.commitCell(2, 0, QStringLiteral("0")), QStringLiteral("0.001"));
    EXPECT_EQ(site.frontend.boxes.size(), 1u);
    logic.commitCell(2, 1, QStringLiteral("x"));
    EXPECT_TRUE(site.s.ErrorText.startsWith(QStringLiteral("QEL(PlumeSpect:MSFlexGrid1_LeaveCell): 13: ")));
}

// The stored index says what is on the map: drawing sets it, clearing resets it, and opening the
// view again puts nothing back, so a cleared view stays cleared in the saved project.
TEST(ContourView, ClearedBandsStayClearedInTheProject)
{
    for (const ContourKind kind : { ContourKind::Plume, ContourKind::MinDist, ContourKind::Wolf }) {
        ViewSite site;
        ContourViewLogic logic(*site.session, kind);
        const int16 &mapIndex = site.m.*(logic.info().mapIndex);
        ASSERT_TRUE(logic.load());
        EXPECT_EQ(mapIndex, -1) << "opening draws nothing";
        logic.generate();
        logic.draw();
        EXPECT_EQ(mapIndex, 1);
        logic.clear();
        EXPECT_EQ(mapIndex, 0);
        ContourViewLogic reopened(*site.session, kind);
        ASSERT_TRUE(reopened.load());
        EXPECT_EQ(mapIndex, 0);
        EXPECT_EQ(reopened.selectedSample(), 1);
    }
}

// A new view proposes its grid's range rounded out to steps a person would pick, within the
// bounds the views keep; a stored view opens with its own range untouched.
TEST(ContourView, ANewViewProposesARoundedRange)
{
    const struct {
        const char *what;
        ContourKind kind;
        double gridMin, gridMax, plumeMin;
        bool stored;
        double min, max;
    } cases[] = {
        { "water-level like values", ContourKind::Plume, 95.29, 101.98, 0, false, 95, 102 },
        { "small concentrations stay above zero", ContourKind::Plume, 0.00312, 0.0981, 0, false, 0.003, 0.1 },
        { "no positive concentration: as the run left it", ContourKind::Plume, 1E12, 0, 0, false, 1E12, 0 },
        { "a stored plume view", ContourKind::Plume, 95.29, 101.98, 0, true, 95.29, 101.98 },
        { "WOLF rounded", ContourKind::Wolf, 1234, 2.5e6, 0, false, 1000, 2.5e6 },
        { "WOLF never below the plume's minimum", ContourKind::Wolf, 1234, 2.5e6, 1200, false, 1234, 2.5e6 },
        { "a stored WOLF view", ContourKind::Wolf, 1234, 2.5e6, 0, true, 95.29, 101.98 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ViewSite site;
        ContourViewLogic logic(*site.session, c.kind);
        ContourView &v = site.view(logic);
        site.m.ConcMin = c.gridMin, site.m.ConcMax = c.gridMax;
        site.m.WOLFMin = c.gridMin, site.m.WOLFMax = c.gridMax;
        if (c.kind == ContourKind::Wolf)
            site.m.PC.Min = c.plumeMin;
        if (c.stored) {
            site.m.*(logic.info().done) = true;
            v.Min = 95.29, v.Max = 101.98, v.NumLevels = 2;
        }
        ASSERT_TRUE(logic.load());
        EXPECT_DOUBLE_EQ(v.Min, c.min);
        EXPECT_DOUBLE_EQ(v.Max, c.max);
        if (c.kind == ContourKind::Plume) {
            EXPECT_DOUBLE_EQ(leadingNumber(logic.boxText(ContourViewLogic::MinBox)), c.min) << "the box shows it";
        }
    }
}

// A band's bounds meet its neighbours': an upper bound moves the next band's lower bound, a lower
// bound the previous band's upper one; the ends of the table have no neighbour to move.
TEST(ContourView, EditedBoundsMoveTheNeighbouringBand)
{
    const struct {
        int row, column;
        const char *typed;
        std::vector<std::pair<double, double>> bounds;
    } cases[] = {
        { 1, 1, "1.5", { { 1, 1.5 }, { 1.5, 3 }, { 3, 4 } } }, { 3, 0, "2.5", { { 1, 2 }, { 2, 2.5 }, { 2.5, 4 } } },
        { 1, 0, "0.5", { { 0.5, 2 }, { 2, 3 }, { 3, 4 } } }, { 3, 1, "9", { { 1, 2 }, { 2, 3 }, { 3, 9 } } },
        { 2, 1, "0", { { 1, 2 }, { 2, 0.001 }, { 0.001, 4 } } }, // the zero rule moves both
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
        ViewSite site;
        ContourViewLogic logic(*site.session, ContourKind::Plume);
        site.m.PC.Min = 1, site.m.PC.Max = 4, site.m.PC.NumLevels = 3;
        logic.generate();
        const QString kept = logic.commitCell(c.row, c.column, QLatin1String(c.typed));
        for (int i = 1; i <= 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_DOUBLE_EQ(site.m.PC.CMin(i), c.bounds[std::size_t(i - 1)].first);
            EXPECT_DOUBLE_EQ(site.m.PC.CMax(i), c.bounds[std::size_t(i - 1)].second);
        }
        const int linked = c.column == 1 ? c.row + 1 : c.row - 1;
        if (linked >= 1 && linked <= 3) {
            const ContourViewLogic::Row &row = logic.rows()[std::size_t(linked - 1)];
            EXPECT_EQ(c.column == 1 ? row.lower : row.upper, kept) << "the table shows the moved bound";
        }
    }
}

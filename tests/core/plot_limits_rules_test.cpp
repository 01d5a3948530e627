#include "core/plot_limits_rules.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qel;
using qel::test::TestSession;
using B = PlotBox;
using Edges = std::vector<double>;

namespace {

QString gridTooLarge(char axis, int count)
{
    return QStringLiteral(
        "Number of %1 grids (%2) exceeds the maximum (400) allocated in QEL!\nPlease reduce number of "
        "grids by increasing grid spacing.")
        .arg(QChar::fromLatin1(axis))
        .arg(count);
}

// The twelve edges, the spacing and the two counts.
Edges stored(const ProjectModel &m)
{
    return { m.MapLeft, m.MapRight, m.MapTop, m.MapBottom, m.PLLeft, m.PLRight, m.PLTop, m.PLBottom, m.PCLeft,
        m.PCRight, m.PCTop, m.PCBottom, m.PCGridSpacing, double(m.PCNumX), double(m.PCNumY) };
}

// Base map 0..1000 by 0..800; map extents 100..900 by 100..700; plot limits 200..800 by
// 200..600; model grid 300..700 by 300..500 at spacing 10 (41 by 21 nodes). Every box filled.
struct Fixture {
    Fixture()
    {
        m.BaseMapLeft = 0, m.BaseMapRight = 1000, m.BaseMapBottom = 0, m.BaseMapTop = 800;
        m.MapLeft = 100, m.MapRight = 900, m.MapBottom = 100, m.MapTop = 700;
        m.PLLeft = 200, m.PLRight = 800, m.PLBottom = 200, m.PLTop = 600;
        m.PCLeft = 300, m.PCRight = 700, m.PCBottom = 300, m.PCTop = 500;
        m.PCGridSpacing = 10, m.PCNumX = 41, m.PCNumY = 21;
        m.SameLimits = false;
        const Edges values = stored(m); // in the order of the boxes
        for (std::size_t i = 0; i < values.size(); ++i)
            form.text[i] = QString::number(values[i]);
    }
    // A model grid of 0..1000 by 0..top, and map and base map 0..1000 both ways.
    void grid(double top)
    {
        m.BaseMapRight = m.BaseMapTop = m.MapRight = m.MapTop = 1000;
        m.BaseMapLeft = m.BaseMapBottom = m.MapLeft = m.MapBottom = 0;
        m.PCLeft = 0, m.PCRight = 1000, m.PCBottom = 0, m.PCTop = top;
    }
    bool type(PlotBox box, const char *text) { return validatePlotBox(s, form, box, QString::fromUtf8(text)); }
    QStringList warnings() const { return ts.frontend.boxTexts(MsgIcon::Warning); }
    QStringList errors() const { return ts.frontend.boxTexts(MsgIcon::Error); }
    // The model grid's left, right, bottom and top edges, then its spacing and counts.
    Edges gridState() const
    {
        return { m.PCLeft, m.PCRight, m.PCBottom, m.PCTop, m.PCGridSpacing, double(m.PCNumX), double(m.PCNumY) };
    }

    TestSession ts;
    Session &s = *ts.session;
    ProjectModel &m = s.model;
    PlotLimitsForm form;
};

constexpr std::size_t SpacingSlot = 12;

} // namespace

TEST(PlotLimitsRules, EachBoxRefusesWithItsWarningOrStoresTheValue)
{
    const struct {
        PlotBox box;
        const char *text;
        QString warning; // empty: accepted, and stored as value
        std::optional<PlotBox> emptied = std::nullopt;
        double value = 0;
    } cases[] = {
        // The boxes' refusals come from one table of edge checks: a row for each kind of comparison,
        // on its boundary, and for a check skipped while the other box is empty.
        { B::MLLeft, "900", "Left map extent (900) must be less than the right map extent (900)!" },
        { B::MLRight, "100", "Right map extent (100) must be greater than left extent (100)!" },
        { B::MLTop, "99", "Top map extent (99) must be greater than the bottom map extent (100)!" },
        { B::PLLeft, "99.5", "Plot limit left extent (99.5) must be greater than or equal to left map extent (100)!" },
        { B::PLLeft, "900", "Plot limit left extent (900) must be less than the right map extent (900)!", B::PLRight },
        { B::PLRight, "901", "Value (901) must be less than or equal to the right map extent (900)!" },
        { B::PLTop, "701", "Value (701) must be less than the upper map extent (700)!" },
        { B::PCGridSpacing, "0", InvalidSpacing },
        { B::PCNumX, "401.7", gridTooLarge('X', 401) },
        { B::PCNumY, "1e3", gridTooLarge('Y', 1000) },
        { B::PCNumX, "-3", gridTooLarge('X', -3) }, // no grid has fewer than no nodes
        { B::MLLeft, "0", {}, {}, 0 },
        { B::MLTop, "100", {}, {}, 100 }, // equal to the bottom: the top box lets it pass
        { B::PLLeft, "100", {}, {}, 100 }, // on the map's edge
        { B::PLRight, "900", {}, {}, 900 },
        { B::PLTop, "700", {}, {}, 700 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        Fixture f;
        if (c.emptied)
            f.form[*c.emptied].clear();
        Edges expected = stored(f.m);
        const bool accepted = c.warning.isEmpty();
        EXPECT_EQ(f.type(c.box, c.text), accepted);
        EXPECT_EQ(f.warnings(), accepted ? QStringList() : QStringList { c.warning });
        if (accepted) {
            EXPECT_EQ(stored(f.m)[std::size_t(c.box)], c.value);
            EXPECT_TRUE(f.ts.frontend.boxes.empty());
            // Map top on the bottom is not a rectangle: the buttons stay off.
            EXPECT_EQ(f.form.buttonsEnabled, c.box != B::MLTop);
            continue;
        }
        // Nothing stored but a refused spacing; a refused count's box shows the stored count again.
        const bool count = c.box == B::PCNumX || c.box == B::PCNumY;
        if (c.box == B::PCGridSpacing)
            expected[SpacingSlot] = 0;
        EXPECT_EQ(stored(f.m), expected);
        EXPECT_EQ(f.form[c.box], count ? QString::number(c.box == B::PCNumX ? 41 : 21) : QString::fromUtf8(c.text));
    }
    // An empty box, whichever it is, stores nothing and holds the buttons back.
    Fixture g;
    EXPECT_TRUE(g.type(B::PCTop, "  "));
    EXPECT_EQ(stored(g.m), stored(Fixture().m));
    EXPECT_FALSE(g.form.buttonsEnabled);
}

TEST(PlotLimitsRules, SpacingDerivesTheCountsAndSnapsTheFarEdges)
{
    const struct {
        double top;
        const char *spacing;
        bool accepted;
        int numX, numY;
        double right, topAfter;
        QString warning;
    } cases[] = {
        { 500, "30", true, 34, 17, 990, 480, {} },
        { 500, "1", false, 1001, 501, 1000, 500, gridTooLarge('X', 1001) + "\n\n" + gridTooLarge('Y', 501) },
        { 80, "10", false, 7, 7, 1000, 80, SpacingTooLarge }, // 9 nodes along y
        { 90, "10", true, 101, 10, 1000, 90, {} },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.spacing << " " << c.top);
        Fixture f;
        f.grid(c.top);
        f.m.PCNumX = f.m.PCNumY = 7;
        const double spacing = QString::fromLatin1(c.spacing).toDouble(); // stored even when refused
        EXPECT_EQ(f.type(B::PCGridSpacing, c.spacing), c.accepted);
        EXPECT_EQ(f.gridState(), (Edges { 0, c.right, 0, c.topAfter, spacing, double(c.numX), double(c.numY) }));
        EXPECT_EQ(f.warnings(), c.warning.isEmpty() ? QStringList() : QStringList { c.warning });
    }
}

TEST(PlotLimitsRules, GridEdgesRecalculateAndAFailedGridKeepsTheTypedEdge)
{
    const struct {
        PlotBox edge;
        const char *text;
        Edges grid;
    } cases[] = {
        { B::PCLeft, "250", { 250, 700, 300, 500, 10, 46, 21 } },
        { B::PCBottom, "250", { 300, 700, 250, 500, 10, 41, 26 } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        Fixture f;
        EXPECT_TRUE(f.type(c.edge, c.text));
        EXPECT_EQ(f.gridState(), c.grid);
        EXPECT_TRUE(f.form.buttonsEnabled);
    }
    Fixture f;
    f.ts.frontend.expectErrors = true;
    EXPECT_TRUE(f.type(B::PCBottom, "495")); // one row only
    EXPECT_EQ(f.gridState(), (Edges { 300, 700, 495, 500, 10, 41, 21 }));
    ASSERT_EQ(f.errors().size(), 1);
    EXPECT_TRUE(f.errors()[0].startsWith(SpacingTooLarge + u'\n'));
    EXPECT_TRUE(f.warnings().isEmpty());

    // Typed counts are whole numbers and change nothing else.
    Fixture g;
    EXPECT_TRUE(g.type(B::PCNumX, "400.9"));
    EXPECT_TRUE(g.type(B::PCNumY, "9"));
    EXPECT_EQ(g.gridState(), (Edges { 300, 700, 300, 500, 10, 400, 9 }));
    EXPECT_FALSE(g.form.buttonsEnabled);
}

TEST(PlotLimitsRules, SameLimitsMovesTheGridEdges)
{
    Fixture f;
    setSameLimits(f.s, f.form, true);
    EXPECT_FALSE(f.form.gridEdgesEnabled());
    EXPECT_EQ(f.gridState(), (Edges { 200, 800, 200, 600, 10, 41, 21 }));

    setSameLimits(f.s, f.form, false);
    EXPECT_TRUE(f.form.gridEdgesEnabled());
    EXPECT_TRUE(f.type(B::PLLeft, "250"));
    EXPECT_EQ(f.m.PCLeft, 200); // no longer follows
}

TEST(PlotLimitsRules, OpeningWithPlotLimitsSettlesTheGrid)
{
    const struct {
        const char *name;
        std::function<void(ProjectModel &)> setup;
        Edges grid;
        QString warning = {};
    } cases[] = {
        { "grid pulled inside the map",
            [](ProjectModel &m) { m.PCLeft = 50, m.PCRight = 950, m.PCBottom = 0, m.PCTop = 800; },
            { 100, 900, 100, 700, 10, 81, 61 } },
        { "never sized: a hundred intervals", [](ProjectModel &m) { m.PCGridSpacing = 0; },
            { 300, 700, 300, 500, 4, 101, 51 } },
        { "counts derived again", [](ProjectModel &m) { m.PCGridSpacing = 15, m.PCNumX = 0; },
            { 300, 690, 300, 495, 15, 27, 14 } },
        { "too many nodes", [](ProjectModel &m) { m.PCGridSpacing = 0.5; }, { 300, 700, 300, 500, 0.5, 801, 401 },
            gridTooLarge('X', 801) + "\n\n" + gridTooLarge('Y', 401) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.m.PLDone = true;
        c.setup(f.m);
        const PlotLimitsForm form = loadPlotLimits(f.s);
        EXPECT_EQ(f.gridState(), c.grid);
        EXPECT_EQ(f.warnings(), c.warning.isEmpty() ? QStringList() : QStringList { c.warning });
        EXPECT_TRUE(form.buttonsEnabled);
    }
    // Replayed by the project reader: no CheckStatus, and a grid too coarse is an error.
    Fixture f;
    f.ts.frontend.expectErrors = true;
    f.m.PLDone = true;
    f.m.RunMode = QStringLiteral("Batch");
    f.m.PCGridSpacing = 25;
    EXPECT_FALSE(loadPlotLimits(f.s).buttonsEnabled);
    ASSERT_EQ(f.errors().size(), 1);
    EXPECT_TRUE(f.errors()[0].startsWith(SpacingTooLarge));
}

TEST(PlotLimitsRules, CheckStatusNeedsEveryBoxAndNestedRectangles)
{
    const struct {
        const char *name;
        std::function<void(ProjectModel &)> change;
        bool enabled;
    } cases[] = {
        { "as set up", [](ProjectModel &) {}, true },
        { "plot left outside map", [](ProjectModel &m) { m.PLLeft = 99; }, false },
        { "plot left on map edge", [](ProjectModel &m) { m.PLLeft = 100; }, true },
        { "plot top on map top", [](ProjectModel &m) { m.PLTop = 700; }, true },
        { "plot top above map", [](ProjectModel &m) { m.PLTop = 701; }, false },
        { "grid left outside map", [](ProjectModel &m) { m.PCLeft = 99; }, false },
        { "grid bottom on top", [](ProjectModel &m) { m.PCBottom = m.PCTop; }, false },
        { "no spacing", [](ProjectModel &m) { m.PCGridSpacing = 0; }, false },
        { "nine columns", [](ProjectModel &m) { m.PCNumX = 9; }, false },
        { "ten by ten", [](ProjectModel &m) { m.PCNumX = m.PCNumY = 10; }, true },
    };
    for (const auto &c : cases) {
        Fixture f;
        c.change(f.m);
        CheckStatus(f.m, f.form);
        EXPECT_EQ(f.form.buttonsEnabled, c.enabled) << c.name;
    }
}

// The replay of plot limits that the grid follows, drawn on the map, is the example replay's.
TEST(PlotLimitsRules, AnOverflowingSpacingFailsAndOkChecksTheStep)
{
    Fixture f;
    f.ts.frontend.expectErrors = true;
    f.grid(1000);
    EXPECT_FALSE(f.type(B::PCGridSpacing, "0.0001")); // ten million nodes do not fit a count
    ASSERT_EQ(f.errors().size(), 1);
    EXPECT_TRUE(f.errors()[0].startsWith(QStringLiteral("QEL(PlotLmts:txtPCGridSpacing_Validate): 6: \nOverflow")))
        << f.errors()[0].toStdString();

    acceptPlotLimits(f.s);
    EXPECT_TRUE(f.m.PLDone);
    EXPECT_EQ(f.s.outline.state(Step::PlotLimits), CheckState::All);
    EXPECT_TRUE(f.ts.readLog().endsWith(QStringLiteral("PlotLmts: [OK]\r\n")));
}

#include "core/file_commands.h"
#include "core/options_rules.h"
#include "core/plot_limits_rules.h"
#include "core/transport_rules.h"
#include "core/units_rules.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qel;
using qel::test::TestSession;

namespace {

// A 100 x 100 map with the model grid over all of it.
void squareMap(Session &s)
{
    ProjectModel &m = s.model;
    m.BaseMapRight = m.BaseMapTop = 100;
    m.MapRight = m.MapTop = m.PCRight = m.PCTop = 100;
}

bool validateBox(Session &s, PlotBox box, const char *text)
{
    PlotLimitsForm form;
    return validatePlotBox(s, form, box, QString::fromLatin1(text));
}

} // namespace

// Every accepted change marks the project changed, so that New, Open, Close, Clear and Exit ask
// before dropping it; a refused value, or one entered again unchanged, does not.
TEST(UnsavedChanges, AcceptedCoreChangesMarkTheProject)
{
    using Step = std::function<void(Session &)>;
    const Step nothing = [](Session &) {};
    const struct {
        const char *name;
        Step setup;
        Step change;
        bool changed;
    } cases[] = {
        { "a unit chosen", nothing, [](Session &s) { chooseUnit(s, UnitKind::Distance, "m", true); }, true },
        { "the same unit again", [](Session &s) { s.model.DistUnits = "m"; },
            [](Session &s) { chooseUnit(s, UnitKind::Distance, "m", true); }, false },
        { "a conductivity", nothing, [](Session &s) { validateTransportParameter(s, 0, "2.5"); }, true },
        { "a refused conductivity", nothing, [](Session &s) { validateTransportParameter(s, 0, "0"); }, false },
        { "the same conductivity", [](Session &s) { s.model.K = 2.5; },
            [](Session &s) { validateTransportParameter(s, 0, "2.5 m/d"); }, false },
        { "an empty parameter box", nothing, [](Session &s) { validateTransportParameter(s, 6, " "); }, false },
        { "decay ticked", nothing, [](Session &s) { setDecay(s, true); }, true },
        { "decay left off", nothing, [](Session &s) { setDecay(s, false); }, false },
        { "model data closed", nothing, closeTransportData, true },
        { "a map extent", squareMap, [](Session &s) { validateBox(s, PlotBox::MLLeft, "10"); }, true },
        { "a refused map extent", squareMap, [](Session &s) { validateBox(s, PlotBox::MLLeft, "-5"); }, false },
        { "the same map extent", squareMap, [](Session &s) { validateBox(s, PlotBox::MLLeft, "0"); }, false },
        // Kept in the model only so that OK stays disabled.
        { "a refused grid spacing", squareMap, [](Session &s) { validateBox(s, PlotBox::PCGridSpacing, "1000"); },
            false },
        { "a grid spacing", squareMap, [](Session &s) { validateBox(s, PlotBox::PCGridSpacing, "5"); }, true },
        { "a node count", squareMap, [](Session &s) { validateBox(s, PlotBox::PCNumX, "21"); }, true },
        { "a refused node count", squareMap, [](Session &s) { validateBox(s, PlotBox::PCNumX, "401"); }, false },
        { "other grid limits", squareMap,
            [](Session &s) {
                PlotLimitsForm form;
                setSameLimits(s, form, false);
            },
            true },
        { "plot limits accepted", nothing, acceptPlotLimits, true },
        { "a rounding step", nothing, [](Session &s) { acceptRoundXY(s, "0.5"); }, true },
        { "a refused rounding step", nothing, [](Session &s) { acceptRoundXY(s, "0"); }, false },
        { "the same rounding step", nothing, [](Session &s) { acceptRoundXY(s, "0.01"); }, false },
        { "a map title", [](Session &s) { static_cast<test::ScriptedFrontend &>(s.frontend()).inputAnswers = { "B" }; },
            [](Session &s) { mapSetTitle(s); }, true },
        { "the same map title",
            [](Session &s) {
                s.model.MapTitle = "B";
                static_cast<test::ScriptedFrontend &>(s.frontend()).inputAnswers = { "B" };
            },
            [](Session &s) { mapSetTitle(s); }, false },
        { "a cancelled map title",
            [](Session &s) { static_cast<test::ScriptedFrontend &>(s.frontend()).inputAnswers = { std::nullopt }; },
            [](Session &s) { mapSetTitle(s); }, false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t;
        Session &s = *t.session;
        c.setup(s);
        s.model.ProjectChanged = false;
        c.change(s);
        EXPECT_EQ(s.model.ProjectChanged, c.changed);
    }
}

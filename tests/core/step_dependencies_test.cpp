#include "core/step_dependencies.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace qel;
using qel::test::TestSession;

namespace {

// Every computed step, checked as a whole run leaves them, in the order they run.
const Step Computed[]
    = { Step::RunRegression, Step::ViewRegressionOutput, Step::WaterLevelContours, Step::RunAnalytical,
          Step::ExportResults, Step::ViewPlumeContours, Step::ViewMinDistContours, Step::ViewWolfContours };

struct RunSite : TestSession {
    RunSite()
    {
        ProjectModel &m = session->model;
        m.NumWells = 2;
        m.WellID(1) = QStringLiteral("MW-1"), m.WellX(1) = 10, m.WellY(1) = 20;
        m.WellID(2) = QStringLiteral("MW-2"), m.WellX(2) = 30, m.WellY(2) = 40;
        m.NumWLWells = 2, m.NumSamples = 1;
        m.WLData(1, 1) = 100, m.WLData(2, 1) = 99;
        m.DistUnits = QStringLiteral("m");
        m.K = 1, m.PCGridSpacing = 10, m.C0 = 100;
        for (Step step : Computed)
            session->checkNode(step);
    }
    std::set<Step> outOfDate()
    {
        std::set<Step> stale;
        for (Step step : Computed)
            if (freshness().outOfDate(step))
                stale.insert(step);
        return stale;
    }
    StepFreshness &freshness() { return session->part<StepFreshness>(); }
    ProjectModel &m = session->model;
};

const std::set<Step> FromTheRegression
    = { Step::RunRegression, Step::ViewRegressionOutput, Step::WaterLevelContours, Step::RunAnalytical,
          Step::ExportResults, Step::ViewPlumeContours, Step::ViewMinDistContours, Step::ViewWolfContours };
const std::set<Step> FromThePlume = { Step::RunAnalytical, Step::ExportResults, Step::ViewPlumeContours,
    Step::ViewMinDistContours, Step::ViewWolfContours };

} // namespace

// Each input puts out of date the steps that read it and everything made from them, and nothing
// else; a value stored again unchanged puts nothing out of date.
TEST(StepDependencies, AnInputPutsOutOfDateWhatItFeeds)
{
    const struct {
        const char *what;
        std::function<void(ProjectModel &)> change;
        std::set<Step> outOfDate;
    } cases[] = {
        { "nothing changed", [](ProjectModel &) {}, {} },
        { "the same value again", [](ProjectModel &m) { m.WellX(1) = 10; }, {} },
        { "a well moved", [](ProjectModel &m) { m.WellX(1) = 11; }, FromTheRegression },
        { "a well renamed", [](ProjectModel &m) { m.WellID(2) = QStringLiteral("MW-2b"); }, FromTheRegression },
        { "a water level", [](ProjectModel &m) { m.WLData(2, 1) = 98.5; }, FromTheRegression },
        { "a sample date", [](ProjectModel &m) { m.SampleDate(1) = QDate(2024, 1, 2); }, FromTheRegression },
        { "units", [](ProjectModel &m) { m.DistUnits = QStringLiteral("ft"); },
            { Step::ExportResults, Step::ViewPlumeContours, Step::ViewMinDistContours, Step::ViewWolfContours } },
        { "plot limits", [](ProjectModel &m) { m.PCGridSpacing = 5; },
            { Step::WaterLevelContours, Step::RunAnalytical, Step::ExportResults, Step::ViewPlumeContours,
                Step::ViewMinDistContours, Step::ViewWolfContours } },
        { "transport", [](ProjectModel &m) { m.K = 2; }, FromThePlume },
        { "decay", [](ProjectModel &m) { m.Decay = true; }, FromThePlume },
        { "source", [](ProjectModel &m) { m.C0 = 50; }, FromThePlume },
        { "coordinate rounding", [](ProjectModel &m) { m.RoundXY = 1; }, FromThePlume },
        { "a contour view's own levels", [](ProjectModel &m) { m.PC.CMax(1) = 7; }, {} },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RunSite site;
        c.change(site.m);
        EXPECT_EQ(site.outOfDate(), c.outOfDate);
    }
}

// Running a step again makes it current and puts what reads its results out of date until they
// run again too; an unchecked step is never out of date.
TEST(StepDependencies, RunningAgainBringsAStepUpToDate)
{
    RunSite site;
    site.m.WellX(1) = 11;
    site.session->checkNode(Step::RunRegression);
    std::set<Step> stale = FromTheRegression;
    stale.erase(Step::RunRegression);
    EXPECT_EQ(site.outOfDate(), stale) << "the regression's readers still show the old fit";
    site.session->checkNode(Step::RunAnalytical);
    EXPECT_FALSE(site.freshness().outOfDate(Step::RunAnalytical));
    EXPECT_TRUE(site.freshness().outOfDate(Step::ViewPlumeContours)) << "drawn from the plume run before";
    site.session->outline.uncheck(Step::ViewPlumeContours);
    EXPECT_FALSE(site.freshness().outOfDate(Step::ViewPlumeContours));
    site.session->clearParts();
    EXPECT_FALSE(site.freshness().outOfDate(Step::ViewWolfContours)) << "a cleared project starts afresh";
}

// The table names only computed steps, each once, and each reads only steps that come before it.
TEST(StepDependencies, TheTableReadsOnlyEarlierSteps)
{
    std::set<Step> seen;
    for (const StepDependency &d : stepDependencies()) {
        EXPECT_TRUE(seen.insert(d.step).second);
        for (Step result : d.results)
            EXPECT_LT(int(result), int(d.step));
        EXPECT_FALSE(d.inputs.empty() && d.results.empty());
    }
    EXPECT_EQ(stepDependency(Step::WellLocations), nullptr);
}

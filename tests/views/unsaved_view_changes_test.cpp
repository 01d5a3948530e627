#include "input/import_wizard.h"
#include "map/calibration.h"
#include "support/test_session.h"
#include "views/contour_view.h"
#include "views/source_rules.h"
#include "views/water_level_contours.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qel;
using qel::test::TestSession;

namespace {

// A model grid of 0..100 along both axes.
void grid(Session &s)
{
    ProjectModel &m = s.model;
    m.PCRight = m.PCTop = 100;
}

void plumeLevels(Session &s)
{
    ContourView &v = s.model.PC;
    v.Min = 1;
    v.Max = 10;
    v.NumLevels = 5;
}

} // namespace

// The source, the contour views, the calibration and the import wizards mark the project
// changed with each accepted change, and only then.
TEST(UnsavedChanges, AcceptedViewAndMapChangesMarkTheProject)
{
    using Step = std::function<void(Session &)>;
    const Step nothing = [](Session &) {};
    const auto plume = [](Session &s, const std::function<void(ContourViewLogic &)> &change) {
        ContourViewLogic view(s, ContourKind::Plume);
        change(view);
    };
    const struct {
        const char *name;
        Step setup;
        Step change;
        bool changed;
    } cases[] = {
        { "a source coordinate", grid,
            [](Session &s) {
                SourcePick pick;
                validateSourceCoordinate(s, pick, SourceAxis::X, "50", false);
            },
            true },
        { "a refused source coordinate", grid,
            [](Session &s) {
                SourcePick pick;
                validateSourceCoordinate(s, pick, SourceAxis::X, "500", false);
            },
            false },
        { "the same source coordinate",
            [](Session &s) {
                grid(s);
                s.model.Xsource = 50;
            },
            [](Session &s) {
                SourcePick pick;
                validateSourceCoordinate(s, pick, SourceAxis::X, "50", false);
            },
            false },
        { "a source rounding step", nothing, [](Session &s) { tickRoundXY(s, SourcePick {}, "1"); }, true },
        { "a refused source rounding step", nothing, [](Session &s) { tickRoundXY(s, SourcePick {}, "-1"); }, false },
        { "source location closed", nothing, closeSourceLocation, true },
        { "a contour minimum", plumeLevels,
            [plume](Session &s) { plume(s, [](ContourViewLogic &v) { v.validate(ContourViewLogic::MinBox, "2"); }); },
            true },
        { "a negative contour minimum, reverted", plumeLevels,
            [plume](Session &s) { plume(s, [](ContourViewLogic &v) { v.validate(ContourViewLogic::MinBox, "-2"); }); },
            false },
        { "the same contour minimum", plumeLevels,
            [plume](Session &s) { plume(s, [](ContourViewLogic &v) { v.validate(ContourViewLogic::MinBox, "1"); }); },
            false },
        { "a level count", plumeLevels,
            [plume](
                Session &s) { plume(s, [](ContourViewLogic &v) { v.validate(ContourViewLogic::NumLevelsBox, "3"); }); },
            true },
        { "the legend ticked", plumeLevels,
            [plume](Session &s) { plume(s, [](ContourViewLogic &v) { v.setLegend(true); }); }, true },
        { "levels generated", plumeLevels, [plume](Session &s) { plume(s, [](ContourViewLogic &v) { v.generate(); }); },
            true },
        { "the same levels generated again",
            [plume](Session &s) {
                plumeLevels(s);
                plume(s, [](ContourViewLogic &v) { v.generate(); });
            },
            [plume](Session &s) {
                plume(s, [](ContourViewLogic &v) {
                    v.generate();
                    v.setLevelColor(1, v.rows().front().color);
                });
            },
            false },
        { "a level colour",
            [plume](Session &s) {
                plumeLevels(s);
                plume(s, [](ContourViewLogic &v) { v.generate(); });
            },
            [plume](Session &s) {
                plume(s, [](ContourViewLogic &v) {
                    v.generate();
                    v.setLevelColor(1, 9);
                });
            },
            true },
        { "a water-level line width", nothing,
            [](Session &s) {
                WaterLevelContoursForm form;
                contourBoxChanged(s, form, 3, "2");
            },
            true },
        { "the same water-level line width", nothing,
            [](Session &s) {
                WaterLevelContoursForm form;
                contourBoxChanged(s, form, 3, "1");
            },
            false },
        { "another calibration method", nothing, [](Session &s) { MapCalibration(s).cboCalibrationType_Click(1); },
            true },
        { "the same calibration method", nothing, [](Session &s) { MapCalibration(s).cboCalibrationType_Click(0); },
            false },
        { "the calibration dropped", nothing, [](Session &s) { MapCalibration(s).chkCalibrate_Click(false); }, true },
        { "another sheet", nothing,
            [](Session &s) {
                ImportWizard wizard(wellsWizardKind());
                wizard.sheets = { "Wells", "Levels" };
                selectDataSheet(s, wizard, 1);
            },
            true },
        { "the stored sheet", [](Session &s) { s.model.WEDataTable = "Levels"; },
            [](Session &s) {
                ImportWizard wizard(wellsWizardKind());
                wizard.sheets = { "Wells", "Levels" };
                selectDataSheet(s, wizard, 1);
            },
            false },
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

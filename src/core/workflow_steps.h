#pragma once

#include "core/commands.h"
#include "core/project_replay.h"

#include <QString>

#include <optional>
#include <vector>

namespace qel {

class Session;

// The steps of the workflow outline, in outline order.
enum class Step {
    InputData,
    SetUnits,
    BaseMap,
    MapScale,
    WellLocations,
    WaterLevels,
    PlotLimits,
    ModelData,
    SourceLocation,
    Regression,
    RunRegression,
    ViewRegressionOutput,
    WaterLevelContours,
    TransportRun,
    RunAnalytical,
    ExportResults,
    ViewPlumeContours,
    ViewMinDistContours,
    ViewWolfContours,
};

// Whether a step may run now; when not, it has told the person what is missing.
using StepPrecondition = bool (*)(Session &session);

// One step: what the outline shows, what carries it out, what it needs first, where its help is
// and how the project reader redoes it. The outline, the menus and the reader all read this one
// table.
struct WorkflowStep {
    Step step;
    const char *caption;
    std::optional<Step> parent; // nothing for the three headings
    std::optional<Command> command; // nothing for the headings
    // The outline runs the menu command with its log line; otherwise it runs what the command
    // carries out, without the menu's log line.
    bool throughMenu = false;
    StepPrecondition precondition = nullptr; // checked by the command itself
    int helpTopic = 0;
    void (ProjectReplay::*replay)() = nullptr; // nothing: the reader only checks the step
};

const std::vector<WorkflowStep> &workflowSteps();
const WorkflowStep &workflowStep(Step step);
QString stepCaption(Step step);

// The preconditions of the map commands; each tells the person what is missing.
bool mapScalePrecondition(Session &session);
bool plotLimitsPrecondition(Session &session);

} // namespace qel

#include "core/workflow_steps.h"

#include "core/help_topics.h"
#include "core/reporting.h"

#include <cassert>

namespace qel {

namespace {

void tellPrecondition(Session &session, const QString &log, const QString &title, const QString &text)
{
    WriteLog(session, log);
    session.frontend().messageBox(text, title, MsgButtons::Ok, MsgIcon::Information);
}

} // namespace

const std::vector<WorkflowStep> &workflowSteps()
{
    using C = Command;
    using R = ProjectReplay;
    static const std::vector<WorkflowStep> steps = {
        { Step::InputData, "1. Input data", {}, {}, false, nullptr, HelpTopic::Outline, nullptr },
        { Step::SetUnits, "1.1 Set units", Step::InputData, C::EditUnits, false, nullptr, HelpTopic::Units, nullptr },
        { Step::BaseMap, "1.2 Base map", Step::InputData, C::FileOpenBaseMap, true, nullptr, HelpTopic::MapWindow,
            &R::showBaseMap },
        { Step::MapScale, "1.3 Map scale", Step::InputData, C::MapSetScale, true, &mapScalePrecondition,
            HelpTopic::MapScale, &R::calibrateMap },
        { Step::WellLocations, "1.4 Well locations", Step::InputData, C::EditWellLocations, true, nullptr,
            HelpTopic::WellsIntroduction, &R::rereadWells },
        { Step::WaterLevels, "1.5 Water levels", Step::InputData, C::EditWaterLevelData, true, nullptr,
            HelpTopic::WaterLevelsIntroduction, &R::rereadWaterLevels },
        { Step::PlotLimits, "1.6 Plot limits", Step::InputData, C::MapSetPlotLimits, true, &plotLimitsPrecondition,
            HelpTopic::PlotLimits, &R::drawPlotLimits },
        { Step::ModelData, "1.7 Model data", Step::InputData, C::EditTransportData, true, nullptr,
            HelpTopic::TransportData, nullptr },
        { Step::SourceLocation, "1.8 Source location", Step::InputData, C::EditSourceLocation, true, nullptr,
            HelpTopic::SourceLocation, &R::drawSource },
        { Step::Regression, "2. Regression", {}, {}, false, nullptr, HelpTopic::Outline, nullptr },
        { Step::RunRegression, "2.1 Run linear regression", Step::Regression, C::RunRegression, false, nullptr,
            HelpTopic::Regression, &R::runRegression },
        { Step::ViewRegressionOutput, "2.2 View raw output files", Step::Regression, C::ViewRegressionOutput, false,
            nullptr, HelpTopic::Regression, nullptr },
        { Step::WaterLevelContours, "2.3 Water level contours", Step::Regression, C::ViewWaterLevelContours, false,
            nullptr, HelpTopic::RegressionResults, &R::showWaterLevelContours },
        { Step::TransportRun, "3. Transport run", {}, {}, false, nullptr, HelpTopic::Outline, nullptr },
        { Step::RunAnalytical, "3.1 Run analytical solution", Step::TransportRun, C::RunAnalytical, false, nullptr,
            HelpTopic::AnalyticalRun, &R::runAnalyticalSolution },
        { Step::ExportResults, "3.2 Export model results", Step::TransportRun, C::FileExport, false, nullptr,
            HelpTopic::ResultsExport, &R::exportResults },
        { Step::ViewPlumeContours, "3.3 View plume contours", Step::TransportRun, C::ViewPlumeContours, false, nullptr,
            HelpTopic::PlumeContours, &R::redrawPlumeContours },
        { Step::ViewMinDistContours, "3.4 View MinDist contours", Step::TransportRun, C::ViewMinDistContours, false,
            nullptr, HelpTopic::MinDistContours, &R::redrawMinDistContours },
        { Step::ViewWolfContours, "3.5 View WOLF contours", Step::TransportRun, C::ViewWolfContours, false, nullptr,
            HelpTopic::WolfContours, &R::redrawWolfContours },
    };
    return steps;
}

const WorkflowStep &workflowStep(Step step)
{
    const auto &steps = workflowSteps();
    const auto index = static_cast<std::size_t>(step);
    assert(index < steps.size() && steps[index].step == step); // the table is in enum order
    return steps[index];
}

QString stepCaption(Step step)
{
    return QString::fromLatin1(workflowStep(step).caption);
}

bool mapScalePrecondition(Session &session)
{
    const ProjectModel &m = session.model;
    if (!m.UNDone)
        tellPrecondition(session, QStringLiteral("Msg: Set units first"), QStringLiteral("Need units"),
            QStringLiteral("Set units first."));
    else if (!m.BMDone)
        tellPrecondition(session, QStringLiteral("Msg: Open basemap first"), QStringLiteral("Need basemap."),
            QStringLiteral("Open basemap first."));
    else
        return true;
    return false;
}

bool plotLimitsPrecondition(Session &session)
{
    const ProjectModel &m = session.model;
    const QString title = QStringLiteral("Need basemap.");
    if (m.MapReady)
        return true;
    if (!(m.BaseMapType == QLatin1String("raster") && m.BMDone))
        tellPrecondition(session, QStringLiteral("Msg: Base map is not properly opened."), title,
            QStringLiteral("Base map is not properly opened. Please check and try again."));
    else if (m.MSDone)
        tellPrecondition(session, QStringLiteral("Msg: Base map is not properly opened or calibrated."), title,
            QStringLiteral("Base map is not properly opened or calibrated. Please check and try again."));
    else
        tellPrecondition(session, QStringLiteral("Msg: Map is not properly calibrated."), title,
            QStringLiteral("Map is not properly calibrated. Please check 'Map scale' first."));
    return false;
}

} // namespace qel

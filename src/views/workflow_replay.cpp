#include "views/workflow_replay.h"

#include "analysis/domenico.h"
#include "analysis/plume_grid_ahead.h"
#include "analysis/regression_run.h"
#include "analysis/results_report.h"
#include "core/plot_limits_rules.h"
#include "input/water_level_reader.h"
#include "input/well_reader.h"
#include "map/calibration.h"
#include "map/map_display.h"
#include "views/contour_view.h"
#include "views/layer_redraw.h"
#include "views/map_wells.h"
#include "views/plot_limits_drawing.h"
#include "views/source_symbol.h"
#include "views/water_level_contours.h"

namespace qel {

void WorkflowReplay::openBaseMapCommand()
{
    fileOpenBaseMap(m_session);
}

void WorkflowReplay::showBaseMap()
{
    DisplayMap(m_session);
}

void WorkflowReplay::calibrateMap()
{
    recalibrateMap(m_session);
}

// A read that succeeds marks its step done again; one that fails leaves it undone, so that
// nothing after it works on a table that was not read.
void WorkflowReplay::rereadWells()
{
    m_session.model.WEDone = false;
    replayWellLocations(m_session);
}

void WorkflowReplay::rereadWaterLevels()
{
    m_session.model.WLDone = false;
    replayWaterLevels(m_session);
}

void WorkflowReplay::drawPlotLimits()
{
    // The dialog opened without a window: its opening rules settle the grid, then the drawing.
    loadPlotLimits(m_session);
    if (m_session.model.PLmapped) {
        m_session.setStatus(QStringLiteral("Displaying plot limits..."));
        MapPlotLimits(m_session);
    }
}

void WorkflowReplay::drawSource()
{
    // Opening the source dialog in batch mode only draws the source again when it was mapped.
    if (m_session.model.SLmapped) {
        m_session.setStatus(QStringLiteral("Displaying source location..."));
        MapSource(m_session);
    }
}

void WorkflowReplay::runRegression()
{
    RunRegress(m_session);
}

void WorkflowReplay::showWaterLevelContours()
{
    replayWaterLevelContours(m_session);
}

void WorkflowReplay::runAnalyticalSolution()
{
    Domenico(m_session);
}

void WorkflowReplay::prepareAnalyticalSolution()
{
    preparePlumeGrid(m_session);
}

void WorkflowReplay::dropAnalyticalSolution()
{
    dropPlumeGrid(m_session);
}

void WorkflowReplay::exportResults()
{
    replayResultsReport(m_session);
}

void WorkflowReplay::finishStepsBehind()
{
    finishResultsReport(m_session);
}

void installWorkflowReplay(Session &session)
{
    session.setReplay(&session.part<WorkflowReplay>());
}

void WorkflowReplay::redrawPlumeContours()
{
    replayContourView(m_session, ContourKind::Plume);
}

void WorkflowReplay::redrawMinDistContours()
{
    replayContourView(m_session, ContourKind::MinDist);
}

void WorkflowReplay::redrawWolfContours()
{
    replayContourView(m_session, ContourKind::Wolf);
}

} // namespace qel

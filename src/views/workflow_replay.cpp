#include "views/workflow_replay.h"

#include "analysis/regression_run.h"
#include "input/water_level_reader.h"
#include "map/map_display.h"
#include "views/map_wells.h"

namespace qel {

void WorkflowReplay::openBaseMapCommand()
{
    fileOpenBaseMap(m_session);
}

void WorkflowReplay::showBaseMap()
{
    DisplayMap(m_session);
}

void WorkflowReplay::rereadWells()
{
    replayWellLocations(m_session);
}

void WorkflowReplay::rereadWaterLevels()
{
    replayWaterLevels(m_session);
}

void WorkflowReplay::runRegression()
{
    RunRegress(m_session);
}

void installWorkflowReplay(Session &session)
{
    session.setReplay(&session.part<WorkflowReplay>());
}

} // namespace qel

#pragma once

#include "core/project_replay.h"
#include "core/session.h"

namespace qel {

// How the steps of an opened project are redone, by the subsystems that own them. Kept with the
// session; installWorkflowReplay makes the project reader use it.
class WorkflowReplay : public SessionPart, public ProjectReplay {
public:
    explicit WorkflowReplay(Session &session)
        : m_session(session)
    {
    }

    void openBaseMapCommand() override;
    void showBaseMap() override;
    void calibrateMap() override;
    void rereadWells() override;
    void rereadWaterLevels() override;
    void drawPlotLimits() override;
    void drawSource() override;
    void runRegression() override;
    void showWaterLevelContours() override;
    void runAnalyticalSolution() override;
    void prepareAnalyticalSolution() override;
    void dropAnalyticalSolution() override;
    void exportResults() override;
    void finishStepsBehind() override;
    void redrawPlumeContours() override;
    void redrawMinDistContours() override;
    void redrawWolfContours() override;

private:
    Session &m_session;
};

void installWorkflowReplay(Session &session);

} // namespace qel

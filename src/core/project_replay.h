#pragma once

namespace qel {

// The steps the project reader replays after reading a project, each as the step itself would
// redo it in the batch run mode. The default does nothing; the subsystems that own a step
// provide its replay.
class ProjectReplay {
public:
    virtual ~ProjectReplay() = default;

    virtual void openBaseMapCommand() { } // the person chose to look for a missing base map
    virtual void showBaseMap() { }
    virtual void calibrateMap() { }
    virtual void rereadWells() { }
    virtual void rereadWaterLevels() { }
    virtual void drawPlotLimits() { }
    virtual void drawSource() { }
    virtual void runRegression() { }
    virtual void showWaterLevelContours() { }
    virtual void runAnalyticalSolution() { }
    // The analytical run is to be replayed: what it needs may be made ready meanwhile, or given
    // up when the run will not come.
    virtual void prepareAnalyticalSolution() { }
    virtual void dropAnalyticalSolution() { }
    virtual void exportResults() { }
    // What a step left to finish behind the steps after it is finished (and reported) now.
    virtual void finishStepsBehind() { }
    virtual void redrawPlumeContours() { }
    virtual void redrawMinDistContours() { }
    virtual void redrawWolfContours() { }
};

} // namespace qel

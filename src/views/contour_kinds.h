#pragma once

#include "core/project_model.h"
#include "core/session.h"
#include "core/tree_states.h"
#include "core/workflow_steps.h"

#include <optional>
#include <vector>

namespace qel {

// The contour views share one design; what differs between them is this table. The first three
// are the workflow's; the others show the studies beside the plume (detection probability of the
// plume uncertainty study, the exact strip-source plume and its difference from Domenico's).
enum class ContourKind { Plume, MinDist, Wolf, Detection, ExactPlume, ExactDifference };
constexpr int ContourKindCount = 6;

struct ContourKindInfo {
    ContourKind kind;
    const char *reportTag; // "PlumeSpect": failures are "QEL(PlumeSpect:procedure): "
    const char *formTag;
    const char *drawProcedure; // "MapPCContour"
    int drawing;
    LayerKey layer;
    const char *layerName;
    int layerColor;
    const char *nodeText;
    const char *batchStatus;
    std::optional<Step> closeStep; // nothing for a study's view, which is no workflow step
    ContourView ProjectModel::*view;
    bool ProjectModel::*done;
    int16 ProjectModel::*mapIndex;
    bool hasLogScale;
    // Nodes at or below zero never join a run (the wells of the minimum-distance grid); in the
    // other views they are classified once a run is open.
    bool skipsNonPositive;
    // A first lower bound of 0 becomes 0.001 on generation, and a 0 typed into the table too.
    bool refusesZeroBounds;
    // Values of either sign (a difference): bounds may be negative, and 0 is never drawn.
    bool signedValues;
    // The project file keeps the view's settings, so that changing them changes the project.
    bool persistent;
};

const ContourKindInfo &contourKindInfo(ContourKind kind);

// The grid value the view draws at node (ix, iy); sample is the plume view's sample index. Only
// for the workflow's views; a study's view reads studyGrid.
double contourGridValue(const ProjectModel &model, ContourKind kind, int ix, int iy, int sample);

// The grid a study's view draws, row by row from the top (PCNumX values a row): nothing for the
// workflow's views, and nothing when the study has not run on the model grid as it is now.
const std::vector<double> *studyGrid(Session &session, ContourKind kind);

// Stores a view setting: a persistent view's change changes the project; a study's view only
// keeps the value.
template<typename Field, typename Value>
void storeViewSetting(Session &session, const ContourKindInfo &info, Field &field, const Value &value)
{
    if (info.persistent)
        session.store(field, value);
    else
        field = value;
}

} // namespace qel

#pragma once

#include "core/project_model.h"
#include "core/tree_states.h"
#include "core/workflow_steps.h"

namespace qel {

// The three contour views share one design; what differs between them is this table.
enum class ContourKind { Plume, MinDist, Wolf };

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
    Step closeStep;
    ContourView ProjectModel::*view;
    bool ProjectModel::*done;
    int16 ProjectModel::*mapIndex;
    bool hasLogScale;
    // Nodes at or below zero never join a run (the wells of the minimum-distance grid); in the
    // other views they are classified once a run is open.
    bool skipsNonPositive;
    // A first lower bound of 0 becomes 0.001 on generation, and a 0 typed into the table too.
    bool refusesZeroBounds;
};

const ContourKindInfo &contourKindInfo(ContourKind kind);

// The grid value the view draws at node (ix, iy); sample is the plume view's sample index.
double contourGridValue(const ProjectModel &model, ContourKind kind, int ix, int iy, int sample);

} // namespace qel

#pragma once

#include "core/session.h"

namespace qel {

// The sizes of the grid a plume run fills: the model grid with a margin, each sample date and the
// average.
struct PlumeGridShape {
    int numX = 0, numY = 0, numSlots = 0;
};
PlumeGridShape plumeGridShape(const ProjectModel &m);

// A zeroed grid for the next plume run, made on another core while the opening of a project
// reads and regresses: taking the pages of a large grid is a good part of a run. Nothing is made
// for a model grid the run would refuse.
void preparePlumeGrid(Session &session);
// The grid made ahead, zeroed, into `into` when it has the shape (true); it is given up either way.
bool takePlumeGrid(Session &session, const PlumeGridShape &shape, ConcentrationGrid &into);
// Gives up the grid made ahead: the run it was made for will not come.
void dropPlumeGrid(Session &session);

} // namespace qel

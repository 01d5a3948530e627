#pragma once

#include "core/session.h"

namespace qel {

// The minimum-distance grid (distance from each model-grid node to the nearest well) and the WOLF
// grid (that distance squared times the average concentration), with their ranges. Called by
// Domenico once the average grid is complete; reports its own failures under "WOLF".
void WOLF(Session &session);

} // namespace qel

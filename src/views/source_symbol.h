#pragma once

#include "core/session.h"

namespace qel {

// Half the size of the source symbol: 2.5 % of the map's shorter side, or the source width when
// that lies between half and twice it, then halved.
double sourceSymbolHalfSize(const ProjectModel &model);

// Draws the source as a cross in a circle into drawing 9 and its layer file, ticks the layer and
// sets SLmapped. Reports its failures under "Source:MapSource".
void MapSource(Session &session);

} // namespace qel

#pragma once

#include "core/session.h"

namespace qel {

// "Draw Limits on Map": the plot-limit rectangle (colour 5) and the model-grid rectangle (colour
// 6) into drawing 5 and its layer file, drawn with the water-level contour line width; the
// outline entry "Plot limits" is marked and PLmapped set. Failures under "PlotLmts:cmdMapLimits".
void MapPlotLimits(Session &session);

} // namespace qel

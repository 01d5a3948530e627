#pragma once

#include "core/session.h"

namespace qel {

// Run > Analytical Model: the Domenico plume of every sample date on the model grid, their
// average, then the minimum-distance and WOLF grids. Every outcome is reported; ANDone is set only
// by a complete run.
void Domenico(Session &session);

// The error function by the Chebyshev-fitted approximation of the complementary error function
// (fractional error below 1.2E-7), and 1 - gerf.
double gerf(double x);
double gerfC(double x);

// The rotation of a flow azimuth (degrees clockwise from north) into FlowCos and FlowSin, and a
// point relative to the source: xr along the flow, yr across it (positive to the left).
void TransformWGInit(ProjectModel &model, double direction);
void TransformWG(const ProjectModel &model, double x, double y, double &xr, double &yr);

} // namespace qel

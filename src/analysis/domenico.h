#pragma once

#include "analysis/plume_kernel.h"
#include "core/session.h"

#include <optional>
#include <vector>

namespace qel {

// Run > Analytical Model: the Domenico plume of every sample date on the model grid, their
// average, then the minimum-distance and WOLF grids. Every outcome is reported; ANDone is set only
// by a complete run.
void Domenico(Session &session);

// The error function by the Chebyshev-fitted approximation of the complementary error function
// (fractional error below 1.2E-7), and 1 - gerf.
double gerf(double x);
double gerfC(double x);

// The plume of one sample date on the model grid into rows, row after row from the top (PCNumX values a row),
// as the run computes it (Fast: rows over the cores, nodes several at a time, the same values to the bit) or one node
// at a time by the plain formula, the reference the fast one is held to. Rows already of the grid's size are
// overwritten in place, as the run reuses one buffer for every date. Sets the flow rotation of the date; a date with
// zero gradient or velocity gives no grid (false, rows left alone); a failing node raises its error.
enum class PlumeEvaluation { Fast, OneNodeAtATime };
bool plumeOfDate(ProjectModel &model, int sample, PlumeEvaluation how, std::vector<double> &rows);

// What the plume of one date depends on besides the model grid and the source: the transport
// parameters and the date's gradient. plumeInputs gives the model's own for sample s.
struct PlumeInputs {
    double K = 0, Porosity = 0, RetFactor = 0, HalfLife = 0, AlphaX = 0, AlphaY = 0, C0 = 0, Swidth = 0;
    bool Decay = false;
    double magnitude = 0, direction = 0;
};
PlumeInputs plumeInputs(const ProjectModel &model, int sample);

// The terms of a date as the run builds them, from these inputs and the model's grid and source;
// nothing when the velocity is 0. A zero half-life with decay or a zero porosity raises the
// run's error. The model is left alone, so studies can build many dates of other inputs.
std::optional<PlumeDate> plumeDate(const ProjectModel &model, const PlumeInputs &inputs);
// Whether plumeRow may compute the date: no node can divide by zero or take the root of a
// negative number. The run walks other dates node by node with every step checked.
bool nodesCannotFail(const PlumeDate &d);

// The rotation of a flow azimuth (degrees clockwise from north) into FlowCos and FlowSin, and a
// point relative to the source: xr along the flow, yr across it (positive to the left).
void TransformWGInit(ProjectModel &model, double direction);
void TransformWG(const ProjectModel &model, double x, double y, double &xr, double &yr);

} // namespace qel

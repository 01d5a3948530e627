#pragma once

#include "analysis/plume_kernel.h"
#include "core/session.h"

#include <optional>
#include <vector>

namespace qel {

// The strip-source problem Domenico's plume approximates, solved exactly: a continuous source of
// concentration C0 over the width W across the flow at the source, uniform flow at the retarded
// velocity v, dispersion alpha_x v and alpha_y v, first-order decay lambda, from time 0 to t. The
// concentration is the time integral of instantaneous line sources,
//
//   C = C0 x / (4 sqrt(pi Dx)) int_0^t tau^-3/2 exp(-lambda tau - (x - v tau)^2 / (4 Dx tau))
//       [erf((y + W/2) / (2 sqrt(Dy tau))) - erf((y - W/2) / (2 sqrt(Dy tau)))] dtau,
//
// evaluated in the variable u = (x - v tau) / (2 sqrt(Dx tau)), in which it becomes
//
//   C = C0 / sqrt(pi) int_u(t)^inf x / (x + v tau) exp(-u^2 - lambda tau) [erf ... - erf ...] du,
//
// a Gaussian in u times factors between 0 and 2 (docs/method.md derives both).

// The terms of one date: those of the Domenico plume (built exactly as the plume run builds them,
// so that both solve the same problem) and the decay constant behind its s.
struct ExactDate {
    PlumeDate plume;
    double lambda = 0;
};

// The terms of sample s of the model, nothing when its velocity is 0. Sets the model's flow
// rotation to the date's, as the plume run does.
std::optional<ExactDate> exactDateTerms(ProjectModel &model, int sample);

// Whether the integral can be taken: positive velocity, dispersivities and time, a width of 0 or
// more, no negative decay and a finite concentration.
bool exactDateIsValid(const ExactDate &date);

// The relative accuracy every node is integrated to (the quadrature's own error estimate, which
// overstates the true error of a smooth integrand by orders of magnitude).
constexpr double ExactRelativeTolerance = 1e-7;

struct ExactNode {
    double c = 0;
    bool converged = true; // false: the error estimate stayed above the tolerance
};

// The concentration at (xr, yr) of the flow frame (xr along the flow from the source); 0 at and
// behind the source, as the plume. The date must be valid.
ExactNode exactPlumeAt(const ExactDate &date, double xr, double yr);

// Whether the node is exactly 0 in double precision without evaluating it: behind the source, far
// enough ahead of the front, or far enough across the flow that every term of the integral
// underflows.
bool exactPlumeIsZero(const ExactDate &date, double xr, double yr);

// The exact plume of sample s on the model grid, row after row from the top (PCNumX values a row),
// the rows spread over the cores. False for a date without velocity (rows left alone). Raises
// ErrInvalidCall for terms the integral cannot take. unconverged counts the nodes whose error
// estimate stayed above the tolerance.
bool exactPlumeOfDate(ProjectModel &model, int sample, std::vector<double> &rows, int &unconverged);

// The date-averaged exact plume beside the Domenico run's average, and how far Domenico falls short
// of it on the centreline.
struct CentrelineNode {
    int ix = 0, iy = 0;
    double distance = 0; // from the source along the average flow direction
};

struct ExactComparison {
    int numX = 0, numY = 0;
    std::vector<double> average; // the mean of the dates' exact plumes, row by row from the top
    std::vector<double> difference; // exact average minus the Domenico average, node by node
    std::vector<CentrelineNode> centreline; // in order of distance from the source
    // The largest (exact - Domenico) / exact over the centreline nodes whose exact average is at
    // least CentrelineFloor times C0; the node it occurs at. found is false when no node qualifies.
    bool found = false;
    double underPrediction = 0;
    CentrelineNode at;
    int unconverged = 0; // nodes of all dates together
};

// The part of C0 below which a centreline node is left out of the largest under-prediction: its
// relative difference says nothing about concentrations that small.
constexpr double CentrelineFloor = 1e-3;

// The nodes of the centreline: from the source along the mean of the dates' unit flow vectors, the
// point one grid spacing further at every step, each taken to its nearest node (ties to the larger
// index), and each node once; points outside the grid are passed over. Empty when the mean vector
// is 0. The model's flow rotation is left as it was.
std::vector<CentrelineNode> centrelineNodes(ProjectModel &model);

// Every date's exact plume, their average (summed in date order, divided by the number of dates, as
// the Domenico average), the difference from the Domenico average of the last run and the largest
// centreline under-prediction. Needs a complete analytical run; raises its failures. The model's
// flow rotation is left as it was.
// A cancel asked for through the progress bar throws WorkCancelled.
ExactComparison compareExactPlume(Session &session);

// The last comparison of the open project, kept in the session only (not in the project file) for
// the views that show it; a cleared project drops it.
struct ExactPlumeStore : SessionPart {
    explicit ExactPlumeStore(Session &) { }
    void projectCleared() override { last.reset(); }
    std::optional<ExactComparison> last;
};

} // namespace qel

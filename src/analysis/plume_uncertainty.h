#pragma once

#include "analysis/plume_kernel.h"
#include "core/plume_uncertainty_rules.h"
#include "core/session.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qel {

class Progress;

// A place the Monte Carlo study proposes for a new well.
struct DetectionWell {
    int column = 0, row = 0; // model-grid node, row 1 at PCTop
    double x = 0, y = 0;
    double probability = 0; // of the date-averaged concentration reaching the threshold there
    std::optional<double> nearestWellDistance; // none when the project has no wells
};

// What an existing well adds to the network's chance of seeing the plume.
struct WellRedundancy {
    int well = 0; // 1..NumWells
    QString id;
    double probabilityWithout = 0, loss = 0; // loss: the network's probability with it less without
};

// The result of a study, grids row by row from the top (PCNumX values a row).
struct PlumeUncertaintyResult {
    PlumeUncertaintySettings settings;
    int numX = 0, numY = 0, dates = 0;
    double wellSpacing = 0; // how far the detection wells keep from the wells and each other
    std::vector<double> exceedance, p05, p50, p95;
    double networkProbability = 0;
    std::vector<DetectionWell> detectionWells; // the best first, at most DetectionWellCount
    std::vector<WellRedundancy> redundancy; // the most redundant (smallest loss) first
};

constexpr int DetectionWellCount = 10;

// The sets of one study drawn up front on one thread, so that the same seed gives the same sets
// whatever the thread count: for each set, sampleParameters, then, when the gradient is fitted,
// each date's gradient magnitude and direction, each from a normal distribution about the
// regression's value with the standard error of its 95 % interval (half-width / t), the magnitude
// redrawn until positive. Dates without an interval keep the regression's gradient. dates holds the
// PlumeDate of set n, date s (1-based) at n * NumSamples + s - 1.
struct DrawnSets {
    int runs = 0, dates = 0;
    std::vector<PlumeDate> terms;
};
DrawnSets drawPlumeSets(const ProjectModel &model, const PlumeUncertaintySettings &settings);

// The p-th percentile (0..1) of the values by linear interpolation between the order statistics
// x(1) <= ... <= x(n): h = (n - 1) p, x(floor h + 1) + (h - floor h) (x(floor h + 2) - x(floor h + 1)).
// Reorders the values.
double percentileOf(std::vector<double> &values, double p);

// The best places for new wells: nodes of positive exceedance (row by row from the top), the
// highest first (of equal ones the first in row order), each taken when it lies at least spacing
// from every existing well and from every place taken before it, until DetectionWellCount.
std::vector<DetectionWell> rankDetectionWells(
    const ProjectModel &model, const std::vector<double> &exceedance, double spacing);

// seen[k][n]: whether well k + 1's node reaches the threshold in set n. The network sees the
// plume in a set when any well does; its probability is the fraction of such sets, and a well's
// loss that fraction less the one without it. Sorted by loss, the smallest first (of equal ones the
// first well first).
std::vector<WellRedundancy> wellRedundancy(const ProjectModel &model,
    const std::vector<std::vector<std::uint8_t>> &seen, int runs, double &networkProbability);

// The Monte Carlo study of the plume: the date average of every set on the model grid, by the run's
// own kernel, and per node the fraction of sets whose average reaches (>=) the threshold and the
// 5th, 50th and 95th percentile of the averages; then the detection wells and the redundancy of the
// existing wells (see docs/method.md). The grid is taken in blocks of rows so that the averages of
// all sets of one block fit in blockBytes; nothing else grows with the number of sets but the drawn
// terms (about 100 bytes a set and date) and one byte a set for each well. Nothing when progress
// says cancel; a date that cannot be computed raises its error.
constexpr std::size_t DefaultBlockBytes = std::size_t(64) << 20;
std::optional<PlumeUncertaintyResult> studyPlumeUncertainty(const ProjectModel &model,
    const PlumeUncertaintySettings &settings, Progress *progress, std::size_t blockBytes = DefaultBlockBytes);

// The last study of the open project, kept in the session only (not in the project file) for the
// windows that show it; a cleared project drops it.
struct PlumeUncertaintyStore : SessionPart {
    explicit PlumeUncertaintyStore(Session &) { }
    void projectCleared() override { last.reset(); }
    std::optional<PlumeUncertaintyResult> last;
};

// Whether the project has the analytical results a study starts from; reports what is missing.
bool plumeReadyForStudy(Session &session);

// Run > Plume Uncertainty once its settings are given: runs the study with the progress bar, keeps
// it in the session and says what it did in the message window, with the best detection wells. A
// failed or cancelled study leaves the one before. Returns whether it completed.
bool runPlumeUncertainty(Session &session, const PlumeUncertaintySettings &settings);

// The csv files of the batch output, CR LF lines in the number text of the other csv outputs.
QByteArray detectionWellsCsv(const std::vector<DetectionWell> &wells); // rank,x,y,probability,nearest_well_distance
QByteArray redundantWellsCsv(const std::vector<WellRedundancy> &wells); // well,probability_without,loss

} // namespace qel

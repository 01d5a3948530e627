#include "analysis/plume_uncertainty.h"

#include "analysis/domenico.h"
#include "analysis/gradient_intervals.h"
#include "analysis/student_t.h"
#include "core/csv_rows.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/progress.h"
#include "core/reporting.h"
#include "parallel/worker_pool.h"

#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>

namespace qel {

namespace {

constexpr double TwoPi = 6.283185307179586;
// A drawn magnitude at or below 0 is drawn again; after this many the regression's value stands.
constexpr int MagnitudeDraws = 64;
// Sets computed between two polls of cancel.
constexpr int SetsBetweenPolls = 8;

// Where each parameter of a ParameterSet goes, by its project-file key.
struct InputSlot {
    const char *key;
    double PlumeInputs::*field;
};
const InputSlot InputSlots[] = {
    { "K", &PlumeInputs::K },
    { "Porosity", &PlumeInputs::Porosity },
    { "RetFactor", &PlumeInputs::RetFactor },
    { "HalfLife", &PlumeInputs::HalfLife },
    { "AlphaX", &PlumeInputs::AlphaX },
    { "AlphaY", &PlumeInputs::AlphaY },
    { "C0", &PlumeInputs::C0 },
    { "Swidth", &PlumeInputs::Swidth },
};

double PlumeInputs::*inputField(const char *key)
{
    for (const InputSlot &slot : InputSlots)
        if (std::strcmp(slot.key, key) == 0)
            return slot.field;
    raise(ErrSubscript);
}

// A uniform variate in [0, 1) from the top 53 bits, as sampleParameters takes them.
double uniformOf(std::mt19937_64 &generator)
{
    return double(generator() >> 11) * 0x1.0p-53;
}

// A standard normal variate by Box and Muller from two uniform ones: the same numbers from the same
// seed with any standard library, which std::normal_distribution does not promise.
double standardNormal(std::mt19937_64 &generator)
{
    const double u = 1 - uniformOf(generator); // (0, 1]: a logarithm for every draw
    const double v = uniformOf(generator);
    return std::sqrt(-2 * std::log(u)) * std::cos(TwoPi * v);
}

// The standard errors of one date's magnitude and direction (degrees), none without an interval.
struct GradientError {
    bool drawn = false;
    double magnitude = 0, direction = 0;
};

std::vector<GradientError> gradientErrors(const ProjectModel &m)
{
    std::vector<GradientError> errors(std::size_t(std::max(0, int(m.NumSamples))));
    if (!m.Uncertainty.gradientFitted)
        return errors;
    const std::vector<GradientInterval> intervals = gradientIntervals(m);
    for (std::size_t i = 0; i < errors.size() && i < intervals.size(); ++i) {
        const GradientInterval &g = intervals[i];
        if (!g.hasInterval)
            continue;
        const double t = studentTQuantile(0.975, g.n - 3);
        errors[i] = { true, g.magnitudeHalfWidth / t, g.directionHalfWidth / t };
    }
    return errors;
}

[[noreturn]] void dateCannotBeComputed(int set, int sample, const QString &why)
{
    throw QelError(ErrInvalidCall,
        QStringLiteral("Plume uncertainty: set %1, sample number %2: %3").arg(set).arg(sample).arg(why));
}

// Row iy of the grid, 1 from the top, of node ix, 1 from the left, nearest the point; 0 when the
// point lies more than half a spacing outside the grid.
int nodeIndexOf(const ProjectModel &m, double x, double y)
{
    const double column = std::round((x - m.PCLeft) / m.PCGridSpacing) + 1;
    const double row = std::round((m.PCTop - y) / m.PCGridSpacing) + 1;
    if (!(column >= 1 && column <= m.PCNumX && row >= 1 && row <= m.PCNumY))
        return 0;
    return (int(row) - 1) * m.PCNumX + int(column);
}

// The averages of every set over the dates for rows first..first + count - 1, into block at
// set * count * numX + (row - first) * numX + column - 1: each set on one thread, the dates in order,
// so each node's sum is the run's own. Returns false when cancelled.
bool averageBlock(const DrawnSets &sets, int numX, int first, int count, std::vector<double> &block, Progress *progress,
    double doneBefore, double share)
{
    const std::size_t setSize = std::size_t(count) * std::size_t(numX);
    std::atomic<bool> overflow = false;
    for (int from = 0; from < sets.runs; from += SetsBetweenPolls) {
        const int chunk = std::min(SetsBetweenPolls, sets.runs - from);
        forEachItem(chunk, [&](int item) {
            const int n = from + item;
            double *sums = block.data() + std::size_t(n) * setSize;
            std::fill(sums, sums + setSize, 0.0);
            std::vector<double> row(static_cast<std::size_t>(numX));
            for (int s = 0; s < sets.dates; ++s) {
                const PlumeDate &d = sets.terms[std::size_t(n) * std::size_t(sets.dates) + std::size_t(s)];
                for (int r = 0; r < count; ++r) {
                    plumeRow(d, first + r, numX, row.data());
                    double *sum = sums + std::size_t(r) * std::size_t(numX);
                    for (int ix = 0; ix < numX; ++ix)
                        sum[ix] += row[std::size_t(ix)];
                }
            }
            for (std::size_t i = 0; i < setSize; ++i) {
                sums[i] /= sets.dates;
                if (!std::isfinite(sums[i]))
                    overflow = true;
            }
        });
        if (overflow)
            raise(ErrOverflow);
        if (progress) {
            progress->setFraction(doneBefore + share * double(from + chunk) / sets.runs);
            progress->breathe();
            if (progress->cancelled())
                return false;
        }
    }
    return true;
}

double distanceBetween(double x1, double y1, double x2, double y2)
{
    return std::hypot(x1 - x2, y1 - y2);
}

} // namespace

DrawnSets drawPlumeSets(const ProjectModel &m, const PlumeUncertaintySettings &settings)
{
    const std::vector<GradientError> errors = gradientErrors(m);
    std::vector<double PlumeInputs::*> fields;
    for (const UncertainParameter &p : uncertainParameters())
        fields.push_back(inputField(p.key));
    DrawnSets sets;
    sets.runs = settings.runs;
    sets.dates = m.NumSamples;
    sets.terms.reserve(std::size_t(sets.runs) * std::size_t(sets.dates));
    std::mt19937_64 generator(settings.seed);
    for (int n = 1; n <= sets.runs; ++n) {
        const ParameterSet drawn = sampleParameters(m.Uncertainty, m, generator);
        for (int s = 1; s <= sets.dates; ++s) {
            PlumeInputs in = plumeInputs(m, s);
            for (std::size_t i = 0; i < fields.size(); ++i)
                in.*fields[i] = drawn.values[i];
            if (const GradientError &e = errors[std::size_t(s - 1)]; e.drawn) {
                double magnitude = 0;
                for (int draw = 0; draw < MagnitudeDraws && !(magnitude > 0); ++draw)
                    magnitude = in.magnitude + e.magnitude * standardNormal(generator);
                if (magnitude > 0)
                    in.magnitude = magnitude;
                in.direction += e.direction * standardNormal(generator);
            }
            if (in.magnitude == 0)
                dateCannotBeComputed(n, s, QStringLiteral("the hydraulic gradient is zero"));
            const std::optional<PlumeDate> d = plumeDate(m, in);
            if (!d)
                dateCannotBeComputed(n, s, QStringLiteral("the velocity term is zero"));
            // The study computes every node by the fast kernel; a date whose nodes could fail would
            // fail the plain run as well.
            if (!nodesCannotFail(*d))
                dateCannotBeComputed(n, s,
                    QStringLiteral("a dispersivity, the velocity or the time is not positive, so its nodes cannot "
                                   "be computed"));
            sets.terms.push_back(*d);
        }
    }
    return sets;
}

std::vector<DetectionWell> rankDetectionWells(
    const ProjectModel &m, const std::vector<double> &exceedance, double spacing)
{
    std::vector<int> candidates;
    for (std::size_t i = 0; i < exceedance.size(); ++i)
        if (exceedance[i] > 0)
            candidates.push_back(int(i));
    // Highest probability first; of equal ones the first in row order.
    std::stable_sort(candidates.begin(), candidates.end(),
        [&](int a, int b) { return exceedance[std::size_t(a)] > exceedance[std::size_t(b)]; });
    std::vector<DetectionWell> chosen;
    for (int node : candidates) {
        if (int(chosen.size()) == DetectionWellCount)
            break;
        DetectionWell w;
        w.column = node % m.PCNumX + 1;
        w.row = node / m.PCNumX + 1;
        w.x = (w.column - 1) * m.PCGridSpacing + m.PCLeft;
        w.y = m.PCTop - (w.row - 1) * m.PCGridSpacing;
        w.probability = exceedance[std::size_t(node)];
        bool farEnough = true;
        for (int k = 1; k <= m.NumWells && farEnough; ++k) {
            const double d = distanceBetween(w.x, w.y, m.WellX(k), m.WellY(k));
            farEnough = d >= spacing;
            w.nearestWellDistance = std::min(w.nearestWellDistance.value_or(d), d);
        }
        for (const DetectionWell &other : chosen)
            farEnough = farEnough && distanceBetween(w.x, w.y, other.x, other.y) >= spacing;
        if (farEnough)
            chosen.push_back(w);
    }
    return chosen;
}

std::vector<WellRedundancy> wellRedundancy(
    const ProjectModel &m, const std::vector<std::vector<std::uint8_t>> &seen, int runs, double &networkProbability)
{
    std::vector<int> seeing(std::size_t(runs), 0);
    for (const std::vector<std::uint8_t> &well : seen)
        for (int n = 0; n < runs; ++n)
            seeing[std::size_t(n)] += well[std::size_t(n)];
    const int with = int(std::count_if(seeing.begin(), seeing.end(), [](int c) { return c > 0; }));
    networkProbability = double(with) / runs;
    std::vector<WellRedundancy> wells;
    for (std::size_t k = 0; k < seen.size(); ++k) {
        int without = 0;
        for (int n = 0; n < runs; ++n)
            without += seeing[std::size_t(n)] - seen[k][std::size_t(n)] > 0;
        wells.push_back({ int(k) + 1, m.WellID(int(k) + 1), double(without) / runs, double(with - without) / runs });
    }
    std::stable_sort(
        wells.begin(), wells.end(), [](const WellRedundancy &a, const WellRedundancy &b) { return a.loss < b.loss; });
    return wells;
}

double percentileOf(std::vector<double> &values, double p)
{
    if (values.empty())
        raise(ErrSubscript);
    const double h = double(values.size() - 1) * p;
    const std::size_t below = std::size_t(std::floor(h));
    const auto at = values.begin() + std::ptrdiff_t(below);
    std::nth_element(values.begin(), at, values.end());
    if (below + 1 >= values.size())
        return *at;
    // Every value after the nth is at least it; the next order statistic is the least of them.
    const double next = *std::min_element(at + 1, values.end());
    return std::lerp(*at, next, h - double(below));
}

std::optional<PlumeUncertaintyResult> studyPlumeUncertainty(
    const ProjectModel &m, const PlumeUncertaintySettings &settings, Progress *progress, std::size_t blockBytes)
{
    if (settings.runs < 1 || m.NumSamples < 1 || m.PCNumX < 1 || m.PCNumY < 1 || m.PCNumX > MaxGridNodes
        || m.PCNumY > MaxGridNodes)
        raise(ErrInvalidCall);
    const int numX = m.PCNumX, numY = m.PCNumY, runs = settings.runs;
    const DrawnSets sets = drawPlumeSets(m, settings);

    PlumeUncertaintyResult result;
    result.settings = settings;
    result.numX = numX, result.numY = numY, result.dates = m.NumSamples;
    const std::size_t nodes = std::size_t(numX) * std::size_t(numY);
    result.exceedance.assign(nodes, 0), result.p05.assign(nodes, 0), result.p50.assign(nodes, 0),
        result.p95.assign(nodes, 0);

    // The wells whose node each row holds, and what each sees in each set.
    std::vector<std::vector<int>> wellsOfRow(std::size_t(numY) + 1);
    for (int k = 1; k <= m.NumWells; ++k)
        if (const int node = nodeIndexOf(m, m.WellX(k), m.WellY(k)))
            wellsOfRow[std::size_t((node - 1) / numX + 1)].push_back(k);
    std::vector<std::vector<std::uint8_t>> seen(
        std::size_t(std::max(0, int(m.NumWells))), std::vector<std::uint8_t>(std::size_t(runs), 0));

    // The bound: the averages of all sets for a block of rows, at most blockBytes (one row at least;
    // 64 MiB by default, where all nodes of a 400 x 400 grid at 500 sets would take 640 MB). With the
    // four result grids (5 MB), the drawn terms (3 MB for 500 sets of 60 dates) and a byte a set for
    // each well, a study stays below 100 MB.
    const std::size_t rowBytes = std::size_t(numX) * std::size_t(runs) * sizeof(double);
    const int blockRows = int(std::clamp<std::size_t>(blockBytes / rowBytes, 1, std::size_t(numY)));
    std::vector<double> block(std::size_t(blockRows) * std::size_t(numX) * std::size_t(runs));
    const double threshold = settings.threshold;
    for (int first = 1; first <= numY; first += blockRows) {
        const int count = std::min(blockRows, numY - first + 1);
        const double share = double(count) / (numY + 1);
        if (!averageBlock(sets, numX, first, count, block, progress, double(first - 1) / (numY + 1), share))
            return std::nullopt;
        const std::size_t setSize = std::size_t(count) * std::size_t(numX);
        forEachItem(count, [&](int r) {
            std::vector<double> values(static_cast<std::size_t>(runs));
            for (int ix = 0; ix < numX; ++ix) {
                const std::size_t local = std::size_t(r) * std::size_t(numX) + std::size_t(ix);
                int reaching = 0;
                for (int n = 0; n < runs; ++n) {
                    values[std::size_t(n)] = block[std::size_t(n) * setSize + local];
                    reaching += values[std::size_t(n)] >= threshold;
                }
                const std::size_t node = std::size_t(first - 1 + r) * std::size_t(numX) + std::size_t(ix);
                result.exceedance[node] = double(reaching) / runs;
                result.p05[node] = percentileOf(values, 0.05);
                result.p50[node] = percentileOf(values, 0.50);
                result.p95[node] = percentileOf(values, 0.95);
            }
        });
        for (int r = 0; r < count; ++r)
            for (int k : wellsOfRow[std::size_t(first + r)]) {
                const int node = nodeIndexOf(m, m.WellX(k), m.WellY(k));
                const std::size_t local = std::size_t(r) * std::size_t(numX) + std::size_t((node - 1) % numX);
                for (int n = 0; n < runs; ++n)
                    seen[std::size_t(k - 1)][std::size_t(n)] = block[std::size_t(n) * setSize + local] >= threshold;
            }
    }
    result.wellSpacing = detectionWellSpacing(m).value;
    result.detectionWells = rankDetectionWells(m, result.exceedance, result.wellSpacing);
    result.redundancy = wellRedundancy(m, seen, runs, result.networkProbability);
    return result;
}

bool plumeReadyForStudy(Session &session)
{
    if (session.model.ANDone)
        return true;
    session.ErrorText = QStringLiteral("There is no plume to study: the project has no analytical results. Run the "
                                       "analytical solution first.");
    ReportError(session);
    return false;
}

bool runPlumeUncertainty(Session &session, const PlumeUncertaintySettings &settings)
{
    ProjectModel &m = session.model;
    if (!plumeReadyForStudy(session))
        return false;
    bool completed = false;
    guarded(session, QStringLiteral("PlumeUncertainty"), [&] {
        std::optional<PlumeUncertaintyResult> result;
        {
            Progress progress(session, QStringLiteral("Running the plume uncertainty study..."));
            result = studyPlumeUncertainty(m, settings, &progress);
            if (!result)
                return reportCancelled(
                    session, QStringLiteral("Plume uncertainty study cancelled; the results are as they were."));
            progress.setFraction(1);
        }
        const QString units = m.ConcUnits.isEmpty() ? QString() : u' ' + m.ConcUnits;
        const PlumeUncertaintyResult &r = *result;
        session.setStatus(QStringLiteral("Plume uncertainty study finished."));
        Message(session,
            QStringLiteral("Plume uncertainty: %1 parameter sets (seed %2) of %3 sample dates on %4 x %5 nodes; "
                           "threshold %6%7; the wells see the plume in %8 % of the sets.")
                .arg(r.settings.runs)
                .arg(r.settings.seed)
                .arg(r.dates)
                .arg(r.numX)
                .arg(r.numY)
                .arg(numberText(r.settings.threshold), units, numberText(100 * r.networkProbability)));
        if (r.detectionWells.empty())
            Message(session,
                QStringLiteral("Plume uncertainty: no node at least %1 from the wells reaches the threshold in any "
                               "set: no place for a detection well.")
                    .arg(numberText(r.wellSpacing)));
        int rank = 0;
        for (const DetectionWell &w : r.detectionWells)
            Message(session,
                QStringLiteral("Plume uncertainty, detection well %1: x %2, y %3, probability %4%5")
                    .arg(++rank)
                    .arg(numberText(w.x), numberText(w.y), numberText(w.probability),
                        w.nearestWellDistance
                            ? QStringLiteral(", nearest well %1").arg(numberText(*w.nearestWellDistance))
                            : QString()));
        session.part<PlumeUncertaintyStore>().last = std::move(result);
        completed = true;
    });
    return completed;
}

QByteArray detectionWellsCsv(const std::vector<DetectionWell> &wells)
{
    QString text = QStringLiteral("rank,x,y,probability,nearest_well_distance\r\n");
    int rank = 0;
    for (const DetectionWell &w : wells)
        text += csvRow({ QString::number(++rank), numberText(w.x), numberText(w.y), numberText(w.probability),
            w.nearestWellDistance ? numberText(*w.nearestWellDistance) : QString() });
    return text.toUtf8();
}

QByteArray redundantWellsCsv(const std::vector<WellRedundancy> &wells)
{
    QString text = QStringLiteral("well,probability_without,loss\r\n");
    for (const WellRedundancy &w : wells)
        text += csvRow({ csvField(w.id), numberText(w.probabilityWithout), numberText(w.loss) });
    return text.toUtf8();
}

} // namespace qel

#include "analysis/domenico.h"

#include "analysis/exact_plume.h"
#include "analysis/plume_grid_ahead.h"
#include "analysis/plume_kernel.h"
#include "analysis/plume_uncertainty.h"
#include "analysis/wolf.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/plot_limits_rules.h"
#include "core/progress.h"
#include "core/reporting.h"
#include "parallel/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace qel {

namespace {

constexpr double Pi = 3.14159265358979; // the value the flow rotation has always used
constexpr double DecayConstant = 0.693; // ln 2 as the method states it, not 0.693147
constexpr double NoPositiveConcentration = 1E12;

void stopWith(Session &session, const QString &text)
{
    session.ErrorText = text;
    ReportError(session);
}

// A quotient whose divisor is 0 is the run-time error 11, and 0 / 0 is error 6, as the method
// requires, instead of an infinity or NaN that would spread silently through the grid.
double divide(double numerator, double divisor)
{
    if (divisor == 0)
        raise(numerator == 0 ? ErrOverflow : ErrDivisionByZero);
    return numerator / divisor;
}

double squareRoot(double value)
{
    if (value < 0)
        raise(ErrInvalidCall);
    return std::sqrt(value);
}

// The arithmetic of a node as the run-time checks it.
struct Checked {
    static double divide(double n, double d) { return qel::divide(n, d); }
    static double root(double v) { return squareRoot(v); }
};

// The flow rotation of an azimuth in degrees clockwise from north.
void flowRotation(double direction, double &flowCos, double &flowSin)
{
    const double theta = (90 - direction) * Pi / 180;
    flowCos = std::cos(theta);
    flowSin = std::sin(theta);
}

// The flow frame, the grid and the transport terms of sample s; nothing when the date's velocity
// is 0. TransformWGInit sets the model's flow rotation on the way, as the run always has.
std::optional<PlumeDate> dateTerms(ProjectModel &m, int s)
{
    TransformWGInit(m, m.Direction(s));
    return plumeDate(m, plumeInputs(m, s));
}

template<class Ops> double nodeConcentration(const PlumeDate &d, int ix, int iy)
{
    const double y = d.top - (iy - 1) * d.spacing;
    const double x = (ix - 1) * d.spacing + d.left;
    double xr, yr;
    flowFrame(d.flowCos, d.flowSin, x - d.xSource, y - d.ySource, xr, yr);
    return xr > 0 ? plumeAt<Ops>(d, xr, yr) : 0;
}

// Where the rows of a date go (row iy, 1 from the top, of numX values), and what is done with each
// once it is complete; both are called for a row on the thread that computed it.
struct DateRows {
    std::function<double *(int iy)> at;
    std::function<void(int iy, const double *row)> complete = [](int, const double *) {};
};

// Checked node by node in grid order: the first failing node reports the error its step gives.
void checkedWalk(const PlumeDate &d, int numX, int numY, const DateRows &rows)
{
    for (int iy = 1; iy <= numY; ++iy) {
        double *row = rows.at(iy);
        for (int ix = 1; ix <= numX; ++ix) {
            row[ix - 1] = nodeConcentration<Checked>(d, ix, iy);
            if (!std::isfinite(row[ix - 1]))
                raise(ErrOverflow);
        }
        rows.complete(iy, row);
    }
}

// Rows handed out to the cores as they come free (the plume leaves some rows far more work than
// others), or one node at a time by the plain formula; a node that overflowed fails the date.
void walkDate(const PlumeDate &d, int numX, int numY, PlumeEvaluation how, const DateRows &rows)
{
    if (!nodesCannotFail(d))
        return checkedWalk(d, numX, numY, rows);
    std::atomic<bool> overflow = false;
    forEachItem(numY, [&](int item) {
        const int iy = item + 1;
        double *row = rows.at(iy);
        if (how == PlumeEvaluation::Fast)
            plumeRow(d, iy, numX, row);
        else
            for (int ix = 1; ix <= numX; ++ix)
                row[ix - 1] = nodeConcentration<PlainArithmetic>(d, ix, iy);
        if (!rowIsFinite(row, numX))
            overflow = true;
        else
            rows.complete(iy, row);
    });
    if (overflow)
        raise(ErrOverflow);
}

// Date s straight into its slot of conc, with each row's range and each node added to its sum over
// the dates so far, in date order as the average sums them. The range of a set does not depend on
// the order it is visited in, so the rows can be spread over the cores.
void storeDate(ConcentrationGrid &conc, const PlumeDate &d, int numX, int numY, int s, std::vector<double> &sums,
    double &high, double &low)
{
    conc(numX, numY, s); // a slot out of range is reported here, not on a pool thread
    std::vector<double> tops(std::size_t(numY), high), bottoms(std::size_t(numY), low);
    DateRows rows;
    rows.at = [&](int iy) { return &conc(1, iy, s); };
    rows.complete = [&](int iy, const double *row) {
        accumulateRow(row, numX, sums.data() + std::size_t(iy - 1) * std::size_t(numX), tops[std::size_t(iy - 1)],
            bottoms[std::size_t(iy - 1)]);
    };
    walkDate(d, numX, numY, PlumeEvaluation::Fast, rows);
    high = *std::max_element(tops.begin(), tops.end());
    low = *std::min_element(bottoms.begin(), bottoms.end());
}

// The grid the last run replaced and the sums of the nodes, kept for the next run to fill: a fresh
// grid of the largest size is 87 MB of new pages, and their first touch alone took longer than the
// whole plume. Dropped with the project.
struct PlumeRunScratch : SessionPart {
    explicit PlumeRunScratch(Session &) { }
    void projectCleared() override
    {
        spare.clear();
        sums = std::vector<double>();
    }
    ConcentrationGrid spare;
    std::vector<double> sums;
};

// The grid a run fills, handed back to the scratch however the run ends.
struct RunGrid {
    explicit RunGrid(PlumeRunScratch &from)
        : scratch(from)
        , grid(std::move(from.spare))
    {
        from.spare.clear(); // moved from, it keeps its sizes
    }
    ~RunGrid() { scratch.spare = std::move(grid); }
    RunGrid(const RunGrid &) = delete;
    RunGrid &operator=(const RunGrid &) = delete;

    PlumeRunScratch &scratch;
    ConcentrationGrid grid;
};

} // namespace

PlumeInputs plumeInputs(const ProjectModel &m, int s)
{
    return { m.K, m.Porosity, m.RetFactor, m.HalfLife, m.AlphaX, m.AlphaY, m.C0, m.Swidth, m.Decay, m.Magnitude(s),
        m.Direction(s) };
}

std::optional<PlumeDate> plumeDate(const ProjectModel &m, const PlumeInputs &in)
{
    const double lambda = in.Decay ? divide(DecayConstant, in.HalfLife) : 0;
    PlumeDate d;
    d.v = divide(in.K * in.magnitude, in.RetFactor * in.Porosity);
    if (d.v == 0)
        return std::nullopt;
    d.s = squareRoot(1 + 4 * lambda * in.AlphaX / d.v);
    d.xSource = m.Xsource, d.ySource = m.Ysource;
    flowRotation(in.direction, d.flowCos, d.flowSin);
    d.left = m.PCLeft, d.top = m.PCTop, d.spacing = m.PCGridSpacing;
    d.alphaX = in.AlphaX, d.alphaY = in.AlphaY, d.halfWidth = in.Swidth * 0.5, d.c0 = in.C0, d.time = m.Time;
    return d;
}

bool nodesCannotFail(const PlumeDate &d)
{
    return d.alphaY > 0 && d.alphaX != 0 && d.alphaX * d.v * d.time > 0;
}

double gerf(double x)
{
    return gerfOf(x);
}

double gerfC(double x)
{
    return 1 - gerf(x);
}

bool plumeOfDate(ProjectModel &m, int sample, PlumeEvaluation how, std::vector<double> &rows)
{
    const std::optional<PlumeDate> d = m.Magnitude(sample) != 0 ? dateTerms(m, sample) : std::nullopt;
    if (!d)
        return false;
    rows.resize(std::size_t(m.PCNumX) * std::size_t(m.PCNumY));
    DateRows into;
    into.at = [&](int iy) { return rows.data() + std::size_t(iy - 1) * std::size_t(m.PCNumX); };
    walkDate(*d, m.PCNumX, m.PCNumY, how, into);
    return true;
}

void TransformWGInit(ProjectModel &m, double direction)
{
    flowRotation(direction, m.FlowCos, m.FlowSin);
}

void TransformWG(const ProjectModel &m, double x, double y, double &xr, double &yr)
{
    flowFrame(m.FlowCos, m.FlowSin, x - m.Xsource, y - m.Ysource, xr, yr);
}

void Domenico(Session &session)
{
    ProjectModel &m = session.model;
    guarded(session, QStringLiteral("Domenico"), [&] {
        // A count below zero (from a damaged file) would size no grid at all.
        if (m.PCNumX < 0 || m.PCNumY < 0)
            return stopWith(session, gridSizeMessage(m.PCNumX, m.PCNumY));
        // The run fills its own grid and takes the model's place only once complete, so that a
        // cancelled (or failed) run leaves the results of the run before.
        PlumeRunScratch &scratch = session.part<PlumeRunScratch>();
        RunGrid run(scratch);
        ConcentrationGrid &conc = run.grid;
        const PlumeGridShape shape = plumeGridShape(m);
        if (!takePlumeGrid(session, shape, conc)) {
            conc.allocateUnset(shape.numX, shape.numY, shape.numSlots);
            // Zeroed on every core: on one, touching the pages of a large grid is a fifth of the run.
            const std::span<double> values = conc.values();
            constexpr int ZeroChunks = 64;
            forEachItem(ZeroChunks, [&](int chunk) {
                const std::size_t from = values.size() * std::size_t(chunk) / ZeroChunks;
                const std::size_t to = values.size() * std::size_t(chunk + 1) / ZeroChunks;
                std::fill(values.begin() + std::ptrdiff_t(from), values.begin() + std::ptrdiff_t(to), 0.0);
            });
        }
        if (m.NumSamples == 0)
            return stopWith(session,
                QStringLiteral("Number of water level samples is ZERO! Have you gone through "
                               "Water Levels input data?."));
        if (m.PCNumX == 0)
            return stopWith(
                session, QStringLiteral("Number of X grids is ZERO! Please go through Plot Limits dialog again."));
        if (m.PCNumY == 0)
            return stopWith(
                session, QStringLiteral("Number of Y grids is ZERO! Please go through Plot Limits dialog again."));
        // Counts above the limit can come from a file; such a grid is refused, never walked.
        if (const QString tooMany = gridSizeMessage(m.PCNumX, m.PCNumY); !tooMany.isEmpty())
            return stopWith(session, tooMany);

        Progress progress(session, QStringLiteral("Running analytical simulation..."));
        const double flowCos = m.FlowCos, flowSin = m.FlowSin; // each date's terms set them
        double high = 0, low = NoPositiveConcentration;
        const int numX = m.PCNumX, numY = m.PCNumY;
        std::vector<double> &sums = scratch.sums;
        sums.assign(std::size_t(numX) * std::size_t(numY), 0.0);
        for (int s = 1; s <= m.NumSamples; ++s) {
            const double gradient = m.Magnitude(s);
            if (gradient == 0)
                return stopWith(session,
                    QStringLiteral("Hydraulic gradient is Zero for sample number %1. Please go "
                                   "through Water Levels input data first.")
                        .arg(s));
            const std::optional<PlumeDate> d = dateTerms(m, s);
            if (!d)
                return stopWith(
                    session, QStringLiteral("Zero velocity term for sample number %1 Program terminating.").arg(s));
            storeDate(conc, *d, numX, numY, s, sums, high, low);
            progress.setFraction(double(s) / (m.NumSamples + 1));
            progress.breathe();
            if (progress.cancelled()) {
                m.FlowCos = flowCos, m.FlowSin = flowSin;
                return reportCancelled(session, QStringLiteral("Plume run cancelled; the results are as they were."));
            }
        }
        const int average = m.NumSamples + 1;
        conc(numX, numY, average);
        forEachItem(numY, [&](int item) {
            const double *sum = sums.data() + std::size_t(item) * std::size_t(numX);
            double *row = &conc(1, item + 1, average);
            for (int ix = 0; ix < numX; ++ix)
                row[ix] = sum[ix] / m.NumSamples;
        });
        std::swap(m.Conc, conc); // the grid of the run before becomes the spare
        m.ConcMax = high;
        m.ConcMin = low;
        WOLF(session);
        progress.setFraction(1);
        session.setStatus(QStringLiteral("Analytical simulation finished."));
        session.checkNode(Step::RunAnalytical);
        m.ANDone = true;
        Message(session,
            QStringLiteral("Plume computed for %1 sample dates and their average on %2 x %3 nodes; peak "
                           "concentration %4%5.")
                .arg(m.NumSamples)
                .arg(m.PCNumX)
                .arg(m.PCNumY)
                .arg(significantText(m.ConcMax, 4), m.ConcUnits.isEmpty() ? QString() : u' ' + m.ConcUnits));
        // The studies beside the plume were of the run before: their views must not show them as
        // this run's.
        std::optional<PlumeUncertaintyResult> &study = session.part<PlumeUncertaintyStore>().last;
        std::optional<ExactComparison> &exact = session.part<ExactPlumeStore>().last;
        if (study || exact)
            Message(session,
                QStringLiteral("The plume uncertainty study and the exact plume were of the plume before; run them "
                               "again for this one."));
        study.reset();
        exact.reset();
    });
}

} // namespace qel

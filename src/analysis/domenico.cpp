#include "analysis/domenico.h"

#include "analysis/wolf.h"
#include "core/errors.h"
#include "core/plot_limits_rules.h"
#include "core/progress.h"
#include "core/reporting.h"

#include <algorithm>
#include <cmath>
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

// The quantities of one date that every node shares.
struct DateTerms {
    double v = 0; // retarded pore-water velocity
    double s = 1;
};

// The arithmetic of a node, checked as the run-time checks it or plain where the inputs of the
// date leave nothing to check.
struct Checked {
    static double divide(double n, double d) { return qel::divide(n, d); }
    static double root(double v) { return squareRoot(v); }
};
struct Plain {
    static double divide(double n, double d) { return n / d; }
    static double root(double v) { return std::sqrt(v); }
};

// One node, every step in the order the method writes it.
template<class Ops> double concentration(const ProjectModel &m, const DateTerms &d, double xr, double yr)
{
    if (xr <= 0)
        return 0;
    const double sigmaY = 2 * Ops::root(m.AlphaY * xr);
    const double e = std::exp(Ops::divide(Ops::divide(xr, m.AlphaX), 2) * (1 - d.s));
    const double sigmaX = Ops::root(m.AlphaX * d.v * m.Time);
    const double a = gerf(Ops::divide(m.Swidth * 0.5 + yr, sigmaY));
    const double b = gerf(Ops::divide(yr - m.Swidth * 0.5, sigmaY));
    const double f = gerfC(Ops::divide(xr - m.Time * d.v * d.s, 2 * sigmaX));
    return m.C0 * 0.25 * e * (f * (a - b));
}

// With these no node down-gradient of the source divides by zero or takes the root of a negative
// number; only an overflow can stop the date.
bool nodesCannotFail(const ProjectModel &m, const DateTerms &d)
{
    return m.AlphaY > 0 && m.AlphaX != 0 && m.AlphaX * d.v * m.Time > 0;
}

template<class Ops> double nodeConcentration(const ProjectModel &m, const DateTerms &d, int ix, int iy)
{
    const double y = m.PCTop - (iy - 1) * m.PCGridSpacing;
    const double x = (ix - 1) * m.PCGridSpacing + m.PCLeft;
    double xr, yr;
    TransformWG(m, x, y, xr, yr);
    return concentration<Ops>(m, d, xr, yr);
}

// The concentrations of one date, row after row from the top, into rows. A failing node stops the
// date before anything of it is stored, with the error of the first such node in grid order.
void plumeOfDate(const ProjectModel &m, const DateTerms &d, std::vector<double> &rows)
{
    const int numX = m.PCNumX, numY = m.PCNumY;
    const auto at = [numX](int ix, int iy) { return std::size_t(iy - 1) * std::size_t(numX) + std::size_t(ix - 1); };
    if (!nodesCannotFail(m, d)) {
        for (int iy = 1; iy <= numY; ++iy) {
            for (int ix = 1; ix <= numX; ++ix) {
                rows[at(ix, iy)] = nodeConcentration<Checked>(m, d, ix, iy);
                if (!std::isfinite(rows[at(ix, iy)]))
                    raise(ErrOverflow);
            }
        }
        return;
    }
    bool finite = true;
#pragma omp parallel for schedule(static) reduction(&& : finite)
    for (int iy = 1; iy <= numY; ++iy) {
        for (int ix = 1; ix <= numX; ++ix) {
            rows[at(ix, iy)] = nodeConcentration<Plain>(m, d, ix, iy);
            finite = finite && std::isfinite(rows[at(ix, iy)]);
        }
    }
    if (!finite)
        raise(ErrOverflow);
}

} // namespace

double gerf(double x)
{
    const double z = std::fabs(x);
    const double t = 1 / (1 + 0.5 * z);
    const double p
        = ((((((((0.17087277 * t - 0.82215223) * t + 1.48851587) * t - 1.13520398) * t + 0.27886807) * t - 0.18628806)
                    * t
                + 0.09678418)
                   * t
               + 0.37409196)
                  * t
              + 1.00002368)
        * t;
    const double q = t * std::exp(p + (-z * z - 1.26551223));
    return x >= 0 ? 1 - q : q - 1;
}

double gerfC(double x)
{
    return 1 - gerf(x);
}

void TransformWGInit(ProjectModel &m, double direction)
{
    const double theta = (90 - direction) * Pi / 180;
    m.FlowCos = std::cos(theta);
    m.FlowSin = std::sin(theta);
}

void TransformWG(const ProjectModel &m, double x, double y, double &xr, double &yr)
{
    const double dx = x - m.Xsource, dy = y - m.Ysource;
    xr = m.FlowSin * dy + m.FlowCos * dx;
    yr = m.FlowCos * dy - m.FlowSin * dx;
}

void Domenico(Session &session)
{
    ProjectModel &m = session.model;
    guarded(session, QStringLiteral("Domenico"), [&] {
        m.Conc.allocate(std::min(m.PCNumX + 20, int(MaxGridNodes)), std::min(m.PCNumY + 20, int(MaxGridNodes)),
            std::min(m.NumSamples + 2, int(MaxSampleSlots)));
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
        m.ConcMax = 0;
        m.ConcMin = NoPositiveConcentration;
        const int numX = m.PCNumX, numY = m.PCNumY;
        std::vector<double> rows(std::size_t(numX) * std::size_t(numY));
        for (int s = 1; s <= m.NumSamples; ++s) {
            const double gradient = m.Magnitude(s);
            if (gradient == 0)
                return stopWith(session,
                    QStringLiteral("Hydraulic gradient is Zero for sample number %1. Please go "
                                   "through Water Levels input data first.")
                        .arg(s));
            TransformWGInit(m, m.Direction(s));
            const double lambda = m.Decay ? divide(DecayConstant, m.HalfLife) : 0;
            DateTerms d;
            d.v = divide(m.K * gradient, m.RetFactor * m.Porosity);
            if (d.v == 0)
                return stopWith(
                    session, QStringLiteral("Zero velocity term for sample number %1 Program terminating.").arg(s));
            d.s = squareRoot(1 + 4 * lambda * m.AlphaX / d.v);
            plumeOfDate(m, d, rows);
            // Stored and ranged in node order, as one thread would.
            for (int iy = 1; iy <= numY; ++iy) {
                for (int ix = 1; ix <= numX; ++ix) {
                    const double c = rows[std::size_t(iy - 1) * std::size_t(numX) + std::size_t(ix - 1)];
                    if (c > m.ConcMax)
                        m.ConcMax = c;
                    if (c > 0 && c < m.ConcMin)
                        m.ConcMin = c;
                    m.Conc(ix, iy, s) = c;
                }
            }
            progress.setFraction(double(s) / (m.NumSamples + 1));
            progress.breathe();
        }
        const int average = m.NumSamples + 1;
        for (int iy = 1; iy <= numY; ++iy) {
            for (int ix = 1; ix <= numX; ++ix) {
                double sum = 0;
                for (int s = 1; s <= m.NumSamples; ++s)
                    sum += m.Conc(ix, iy, s);
                m.Conc(ix, iy, average) = sum / m.NumSamples;
            }
        }
        WOLF(session);
        progress.setFraction(1);
        session.setStatus(QStringLiteral("Analytical simulation finished."));
        session.checkNode(Step::RunAnalytical);
        m.ANDone = true;
    });
}

} // namespace qel

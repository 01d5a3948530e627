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

// A quotient whose divisor is 0 is the run-time error 11, as the method requires, instead of an
// infinity that would spread silently through the grid.
double divide(double numerator, double divisor)
{
    if (divisor == 0)
        raise(ErrDivisionByZero);
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
    double sigmaX = 0;
    double frontTerm = 0; // Time * v * S
};

double concentration(const ProjectModel &m, const DateTerms &d, double xr, double yr)
{
    if (xr <= 0)
        return 0;
    const double sigmaY = 2 * std::sqrt(m.AlphaY * xr);
    const double e = std::exp((xr / m.AlphaX / 2) * (1 - d.s));
    const double a = gerf((m.Swidth * 0.5 + yr) / sigmaY);
    const double b = gerf((yr - m.Swidth * 0.5) / sigmaY);
    const double f = gerfC((xr - d.frontTerm) / (2 * d.sigmaX));
    return m.C0 * 0.25 * e * (f * (a - b));
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
            d.sigmaX = squareRoot(m.AlphaX * d.v * m.Time);
            d.frontTerm = m.Time * d.v * d.s;
            // The divisors of the node terms, checked once: a zero or negative one is an error of the
            // inputs, not of a node.
            divide(1, m.AlphaX);
            divide(1, d.sigmaX);
            if (m.AlphaY <= 0)
                raise(m.AlphaY == 0 ? ErrDivisionByZero : ErrInvalidCall);

            bool finite = true;
#pragma omp parallel for schedule(static) reduction(&& : finite)
            for (int iy = 1; iy <= numY; ++iy) {
                const double y = m.PCTop - (iy - 1) * m.PCGridSpacing;
                for (int ix = 1; ix <= numX; ++ix) {
                    const double x = (ix - 1) * m.PCGridSpacing + m.PCLeft;
                    double xr, yr;
                    TransformWG(m, x, y, xr, yr);
                    const double c = concentration(m, d, xr, yr);
                    finite = finite && std::isfinite(c);
                    rows[std::size_t(iy - 1) * std::size_t(numX) + std::size_t(ix - 1)] = c;
                }
            }
            if (!finite)
                raise(ErrOverflow);
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

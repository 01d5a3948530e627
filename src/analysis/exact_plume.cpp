// Built without contraction into fused multiply-adds (see src/CMakeLists.txt), as the plume run's
// terms are, so that the velocity and s of a date are the plume run's to the bit.
#include "analysis/exact_plume.h"

#include "analysis/domenico.h"
#include "analysis/exact_quadrature.h"
#include "core/errors.h"
#include "core/progress.h"
#include "parallel/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace qel {

namespace {

constexpr double DecayConstant = 0.693; // ln 2 as the plume run takes it
constexpr double InverseRootPi = 0.564189583547756286948; // 1 / sqrt(pi)

// The quotient and root of the plume run's terms, failing as they fail there.
double checkedDivide(double numerator, double divisor)
{
    if (divisor == 0)
        raise(numerator == 0 ? ErrOverflow : ErrDivisionByZero);
    return numerator / divisor;
}

double checkedRoot(double value)
{
    if (value < 0)
        raise(ErrInvalidCall);
    return std::sqrt(value);
}

// From an argument of 28 on, exp(-z^2) and erfc(z) are 0 in double precision (both are below the
// smallest subnormal number from about 27.3 on).
constexpr double Underflow = 28;

// Terms of the integral below e^-690 (about 1E-300) are taken as 0 (erfc(26) is 5.6E-296).
constexpr double NegligibleExponent = -690, NegligibleArgument = 26;

// The integrand in u of one node, in terms of the distance travelled T = v tau.
struct NodeIntegrand {
    double x, y, halfWidth, alphaY, lambdaOverV, rootAlphaX;

    // u of a travelled distance, and its inverse: sqrt(T) is the positive root of
    // T + 2 sqrt(alpha_x) u sqrt(T) - x = 0, taken in the form that does not cancel.
    double uOf(double travelled) const { return (x - travelled) / (2 * rootAlphaX * std::sqrt(travelled)); }
    double travelledOf(double u) const
    {
        const double a = rootAlphaX * u, r = std::sqrt(a * a + x);
        const double root = u >= 0 ? x / (a + r) : r - a;
        return root * root;
    }

    // erfc, with 0 where it would be below 1E-295: results in the subnormal range take the
    // processor ten times as long and add nothing a concentration of normal size could show.
    static double complement(double z) { return z > NegligibleArgument ? 0 : std::erfc(z); }

    // erf(p) - erf(q) for p >= q from the complements, exact in its last digits however far out
    // both lie on the same side.
    static double erfDifference(double p, double q)
    {
        if (q >= 0)
            return complement(q) - complement(p);
        if (p <= 0)
            return complement(-p) - complement(-q);
        return 2 - complement(p) - complement(-q);
    }

    double operator()(double u) const
    {
        const double travelled = travelledOf(u);
        const double exponent = -u * u - lambdaOverV * travelled;
        // Below e^-690 (1E-300) a term is taken as 0, for the same reason.
        if (!(travelled > 0) || exponent < NegligibleExponent)
            return 0;
        const double sigma = 2 * std::sqrt(alphaY * travelled);
        const double lateral = erfDifference((y + halfWidth) / sigma, (y - halfWidth) / sigma);
        if (lateral < 1e-8 && !(exponent + std::log(lateral) >= NegligibleExponent))
            return 0;
        return x / (x + travelled) * std::exp(exponent) * lateral;
    }
};

// Code of the process that used the wide vector registers and left their upper halves in use makes
// every instruction of the narrower encoding this file and the library's erfc are built with wait
// on them, ten times slower on the processors measured. A row clears them first; the rest of its
// work leaves them clear.
#if defined(__x86_64__)
__attribute__((target("avx"))) void clearUpperHalvesWithAvx()
{
    _mm256_zeroupper();
}

void clearUpperHalves()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        clearUpperHalvesWithAvx();
}
#else
void clearUpperHalves() { }
#endif

void nodeFrame(const PlumeDate &d, int ix, int iy, double &xr, double &yr)
{
    const double y = d.top - (iy - 1) * d.spacing;
    const double x = (ix - 1) * d.spacing + d.left;
    flowFrame(d.flowCos, d.flowSin, x - d.xSource, y - d.ySource, xr, yr);
}

// Puts the model's flow rotation back as it was, however the work ends.
struct KeepFlowRotation {
    explicit KeepFlowRotation(ProjectModel &m)
        : model(m)
        , flowCos(m.FlowCos)
        , flowSin(m.FlowSin)
    {
    }
    ~KeepFlowRotation() { model.FlowCos = flowCos, model.FlowSin = flowSin; }
    KeepFlowRotation(const KeepFlowRotation &) = delete;
    KeepFlowRotation &operator=(const KeepFlowRotation &) = delete;
    ProjectModel &model;
    double flowCos, flowSin;
};

} // namespace

std::optional<ExactDate> exactDateTerms(ProjectModel &m, int s)
{
    TransformWGInit(m, m.Direction(s));
    ExactDate e;
    e.lambda = m.Decay ? checkedDivide(DecayConstant, m.HalfLife) : 0;
    PlumeDate &d = e.plume;
    d.v = checkedDivide(m.K * m.Magnitude(s), m.RetFactor * m.Porosity);
    if (d.v == 0)
        return std::nullopt;
    d.s = checkedRoot(1 + 4 * e.lambda * m.AlphaX / d.v);
    d.xSource = m.Xsource, d.ySource = m.Ysource, d.flowCos = m.FlowCos, d.flowSin = m.FlowSin;
    d.left = m.PCLeft, d.top = m.PCTop, d.spacing = m.PCGridSpacing;
    d.alphaX = m.AlphaX, d.alphaY = m.AlphaY, d.halfWidth = m.Swidth * 0.5, d.c0 = m.C0, d.time = m.Time;
    return e;
}

bool exactDateIsValid(const ExactDate &e)
{
    const PlumeDate &d = e.plume;
    return d.v > 0 && d.alphaX > 0 && d.alphaY > 0 && d.time > 0 && d.halfWidth >= 0 && e.lambda >= 0
        && std::isfinite(d.c0) && std::isfinite(d.v * d.time) && std::isfinite(e.lambda) && d.s >= 1;
}

bool exactPlumeIsZero(const ExactDate &e, double xr, double yr)
{
    const PlumeDate &d = e.plume;
    if (!(xr > 0) || d.c0 == 0)
        return true;
    const double travelled = d.v * d.time;
    // Ahead of the front every u of the integral is at least u(t).
    if ((xr - travelled) >= Underflow * 2 * std::sqrt(d.alphaX * travelled))
        return true;
    // Across the flow both error-function complements are 0 for every tau up to t.
    const double across = std::fabs(yr) - d.halfWidth;
    return across > 0 && across >= Underflow * 2 * std::sqrt(d.alphaY * travelled);
}

ExactNode exactPlumeAt(const ExactDate &e, double xr, double yr)
{
    if (exactPlumeIsZero(e, xr, yr))
        return {};
    const PlumeDate &d = e.plume;
    const NodeIntegrand f { xr, yr, d.halfWidth, d.alphaY, e.lambda / d.v, std::sqrt(d.alphaX) };
    const double travelled = d.v * d.time;

    // Where the integrand peaks and how wide the peak is, from the logarithm of its leading terms,
    // -((x - T)^2 / alpha_x + Y^2 / alpha_y) / (4 T) - lambda T / v with Y the distance beyond the
    // strip's edge: its maximum is at T* = sqrt(x^2 + Y^2 alpha_x / alpha_y) / s. Panel edges there
    // and five widths to either side let the quadrature start where the value is.
    const double beyond = std::max(std::fabs(yr) - d.halfWidth, 0.0);
    const double reach = std::sqrt(xr * xr + beyond * beyond * d.alphaX / d.alphaY);
    const double peakTravelled = std::min(reach / d.s, travelled);
    const double peak = f.uOf(peakTravelled);
    const double width = (xr + peakTravelled) / (2 * std::sqrt(2.0) * reach);
    double breaks[4] = { f.uOf(travelled), 0, 0, 0 };
    int count = 1;
    for (const double edge : { peak - 5 * width, peak, peak + 5 * width })
        if (edge > breaks[count - 1])
            breaks[count++] = edge;
    const Quadrature body = integrate(f, breaks, count, ExactRelativeTolerance);

    // The rest, to infinity, is below 2 int_U^inf exp(-u^2) du <= exp(-U^2) / U (U > 0): taken up to
    // where that bound is a thousandth of the tolerance, or to where exp(-u^2) is 0.
    const double from = breaks[count - 1];
    const double negligible = 1e-3 * ExactRelativeTolerance * std::fabs(body.value);
    const double to = negligible > 0 ? std::min(Underflow, std::sqrt(std::max(1.0, -std::log(negligible)))) : Underflow;
    Quadrature tail;
    if (to > from) {
        const double ends[2] = { from, to };
        tail = integrate(f, ends, 2, ExactRelativeTolerance, ExactRelativeTolerance * std::fabs(body.value));
    }
    return { d.c0 * InverseRootPi * (body.value + tail.value), body.converged && tail.converged };
}

bool exactPlumeOfDate(ProjectModel &m, int sample, std::vector<double> &rows, int &unconverged)
{
    const std::optional<ExactDate> e = exactDateTerms(m, sample);
    if (!e)
        return false;
    if (!exactDateIsValid(*e))
        throw QelError(ErrInvalidCall,
            QStringLiteral("The exact plume of sample number %1 needs a positive velocity, dispersivities and "
                           "time, a source width of 0 or more and a finite source concentration.")
                .arg(sample));
    const int numX = m.PCNumX, numY = m.PCNumY;
    rows.assign(std::size_t(std::max(numX, 0)) * std::size_t(std::max(numY, 0)), 0.0);
    std::atomic<int> missed = 0;
    // Rows handed out as the cores come free: the rows through the plume take far longer.
    forEachItem(numY, [&](int item) {
        clearUpperHalves();
        double *row = rows.data() + std::size_t(item) * std::size_t(numX);
        int rowMissed = 0;
        for (int ix = 1; ix <= numX; ++ix) {
            double xr, yr;
            nodeFrame(e->plume, ix, item + 1, xr, yr);
            const ExactNode node = exactPlumeAt(*e, xr, yr);
            row[ix - 1] = node.c;
            rowMissed += !node.converged;
        }
        missed += rowMissed;
    });
    unconverged = missed;
    return true;
}

std::vector<CentrelineNode> centrelineNodes(ProjectModel &m)
{
    std::vector<CentrelineNode> nodes;
    if (m.NumSamples < 1 || m.PCNumX < 1 || m.PCNumY < 1 || !(m.PCGridSpacing > 0))
        return nodes;
    KeepFlowRotation keep(m);
    double east = 0, north = 0;
    for (int s = 1; s <= m.NumSamples; ++s) {
        TransformWGInit(m, m.Direction(s));
        east += m.FlowCos, north += m.FlowSin;
    }
    const double length = std::hypot(east, north);
    if (!(length > 1e-12 * m.NumSamples))
        return nodes;
    east /= length, north /= length;
    const double spacing = m.PCGridSpacing, left = m.PCLeft, top = m.PCTop;
    const double right = left + (m.PCNumX - 1) * spacing, bottom = top - (m.PCNumY - 1) * spacing;
    double farthest = 0;
    for (const double cornerX : { left, right })
        for (const double cornerY : { bottom, top })
            farthest = std::max(farthest, std::hypot(cornerX - m.Xsource, cornerY - m.Ysource));
    const int steps = int(std::min(farthest / spacing + 2, 4.0 * MaxGridNodes));
    for (int k = 1; k <= steps; ++k) {
        const double px = m.Xsource + k * spacing * east, py = m.Ysource + k * spacing * north;
        const double fx = std::floor((px - left) / spacing + 0.5), fy = std::floor((top - py) / spacing + 0.5);
        if (fx < 0 || fy < 0 || fx >= m.PCNumX || fy >= m.PCNumY)
            continue;
        const int ix = int(fx) + 1, iy = int(fy) + 1;
        if (!nodes.empty() && nodes.back().ix == ix && nodes.back().iy == iy)
            continue;
        const double nx = left + (ix - 1) * spacing, ny = top - (iy - 1) * spacing;
        nodes.push_back({ ix, iy, (nx - m.Xsource) * east + (ny - m.Ysource) * north });
    }
    return nodes;
}

ExactComparison compareExactPlume(Session &session)
{
    ProjectModel &m = session.model;
    if (!m.ANDone || m.Conc.isEmpty() || m.NumSamples < 1 || m.PCNumX < 1 || m.PCNumY < 1)
        throw QelError(ErrInvalidCall,
            QStringLiteral("There is no analytical run to compare the exact plume with. Run the analytical "
                           "solution first."));
    KeepFlowRotation keep(m);
    ExactComparison c;
    c.numX = m.PCNumX, c.numY = m.PCNumY;
    const std::size_t nodes = std::size_t(c.numX) * std::size_t(c.numY);
    std::vector<double> sums(nodes), date;
    Progress progress(session, QStringLiteral("Computing the exact strip-source plume..."));
    for (int s = 1; s <= m.NumSamples; ++s) {
        int unconverged = 0;
        if (!exactPlumeOfDate(m, s, date, unconverged))
            throw QelError(ErrDivisionByZero,
                QStringLiteral("The exact plume of sample number %1 cannot be computed: its velocity is zero.").arg(s));
        c.unconverged += unconverged;
        for (std::size_t n = 0; n < nodes; ++n)
            sums[n] += date[n];
        progress.setFraction(double(s) / (m.NumSamples + 1));
        progress.breathe();
        progress.throwIfCancelled();
    }
    c.average.resize(nodes);
    c.difference.resize(nodes);
    const int average = m.NumSamples + 1;
    for (int iy = 1; iy <= c.numY; ++iy)
        for (int ix = 1; ix <= c.numX; ++ix) {
            const std::size_t n = std::size_t(iy - 1) * std::size_t(c.numX) + std::size_t(ix - 1);
            c.average[n] = sums[n] / m.NumSamples;
            c.difference[n] = c.average[n] - m.Conc(ix, iy, average);
        }
    c.centreline = centrelineNodes(m);
    for (const CentrelineNode &node : c.centreline) {
        const std::size_t n = std::size_t(node.iy - 1) * std::size_t(c.numX) + std::size_t(node.ix - 1);
        const double exact = c.average[n];
        if (!(exact >= CentrelineFloor * std::fabs(m.C0)) || exact == 0)
            continue;
        const double under = c.difference[n] / exact;
        if (!c.found || under > c.underPrediction)
            c.found = true, c.underPrediction = under, c.at = node;
    }
    progress.setFraction(1);
    return c;
}

} // namespace qel

// Built without errno from the roots and without contraction into fused multiply-adds (see
// src/CMakeLists.txt): the loop below then runs several nodes at a time, every operation rounding
// exactly as in the one-node evaluation.
#include "analysis/plume_kernel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace qel {

namespace {

// Node ix of the row dy above the source, in the flow frame.
void nodeFrame(const PlumeDate &d, int ix, double dy, double &xr, double &yr)
{
    const double x = (ix - 1) * d.spacing + d.left;
    flowFrame(d.flowCos, d.flowSin, x - d.xSource, dy, xr, yr);
}

double alongFlow(const PlumeDate &d, int ix, double dy)
{
    double xr, yr;
    nodeFrame(d, ix, dy, xr, yr);
    return xr;
}

// Far across the flow both error functions of a node are exactly 1, or exactly -1: from an argument
// of 6.4 on, the complement q is below 2^-54 and 1 - q rounds to 1. Their difference is then +0, and
// so is the node, as long as the rest of the formula is finite and not negative: a concentration
// that is a number of plus sign, and an exponential of at most 1 (s >= 1 and AlphaX > 0). The
// source width must not be negative, or the two arguments are not both beyond the bound. Such
// nodes are told by a bound with no root or division, 6.5 standard deviations with room to spare
// for rounding: (|yr| - W/2)^2 >= 6.5^2 (2 sqrt(AlphaY xr))^2.
constexpr double LateralBound = 4 * 6.5 * 6.5;

bool acrossFlowZeroIsExact(const PlumeDate &d)
{
    return std::isfinite(d.c0) && !std::signbit(d.c0) && d.s >= 1 && d.alphaX > 0 && d.alphaY > 0 && d.halfWidth >= 0;
}

// Node ix is 0 behind the source or far across the flow; the bound only, nothing evaluated.
bool certainlyZero(const PlumeDate &d, int ix, double dy)
{
    double xr, yr;
    nodeFrame(d, ix, dy, xr, yr);
    const double across = std::fabs(yr) - d.halfWidth;
    return !(xr > 0) || (across > 0 && across * across >= LateralBound * d.alphaY * xr);
}

// How far node ix lies beyond the lateral bound: at least 0 where certainlyZero says so. Down-gradient
// of the source it is |yr| less a concave function along the row, so it is convex there, and the
// nodes inside the bound form one interval around its least value.
double beyondBound(const PlumeDate &d, int ix, double dy)
{
    double xr, yr;
    nodeFrame(d, ix, dy, xr, yr);
    return std::fabs(yr) - d.halfWidth - std::sqrt(LateralBound * d.alphaY * xr);
}

// The first node in from..to (either way round) for which ahead says yes, or to + 1 step past to;
// ahead says no up to some node and yes after it.
template<class Ahead> int firstAhead(int from, int to, Ahead ahead)
{
    const int step = from <= to ? 1 : -1;
    int no = from - step, yes = to + step; // the bracket, never evaluated
    while (yes - no != step) {
        const int mid = no + (yes - no) / 2;
        (ahead(mid) ? yes : no) = mid;
    }
    return yes;
}

// Nodes evaluated on either side of the interval and required to come out 0, for a bound that
// rounding could leave a node or so short.
constexpr int Margin = 8;

// Nodes at a time through each stage of the formula: short loops whose iterations overlap, where one
// loop through the whole formula would wait on the result of each step in turn.
constexpr int Block = 128;

// The exponentials of values[0..n-1] in place, by the shorter path when every one is moderate.
void exponentials(double *values, int n)
{
    int extreme = 0;
#pragma omp simd reduction(+ : extreme)
    for (int i = 0; i < n; ++i)
        extreme += !(std::fabs(values[i]) <= ModerateExponent);
    if (extreme == 0) {
#pragma omp simd
        for (int i = 0; i < n; ++i)
            values[i] = expOfModerate(values[i]);
    } else {
#pragma omp simd
        for (int i = 0; i < n; ++i)
            values[i] = expOf(values[i]);
    }
}

// How many of values[0..n-1] fail the test; NaN fails every one.
template<class Test> int countFailing(const double *values, int n, Test passes)
{
    int failing = 0;
#pragma omp simd reduction(+ : failing)
    for (int i = 0; i < n; ++i)
        failing += passes(values[i]) ? 0 : 1;
    return failing;
}

// gerfOf of x[0..n-1] into out: by the sign alone where every argument is saturated, else its terms,
// their exponentials and the value, each stage over all n.
void errorFunctions(const double *x, int n, double *out)
{
    if (countFailing(x, n, [](double v) { return std::fabs(v) >= GerfSaturation; }) == 0) {
#pragma omp simd
        for (int i = 0; i < n; ++i)
            out[i] = x[i] >= 0 ? 1.0 : -1.0;
        return;
    }
    alignas(64) double t[Block], exponential[Block];
#pragma omp simd
    for (int i = 0; i < n; ++i)
        gerfTerms(x[i], t[i], exponential[i]);
    exponentials(exponential, n);
#pragma omp simd
    for (int i = 0; i < n; ++i)
        out[i] = gerfFromTerms(x[i], t[i], exponential[i]);
}

// Nodes start..start + n - 1 (n <= Block) of the row dy above the source into out[0..n-1].
void evaluateBlock(const PlumeDate &d, int start, int n, double dy, double *out)
{
    alignas(64) double xrs[Block], left[Block], right[Block], along[Block], decay[Block];
#pragma omp simd
    for (int i = 0; i < n; ++i) {
        double xr, yr;
        nodeFrame(d, start + i, dy, xr, yr);
        const PlumeArguments g = plumeArguments<PlainArithmetic>(d, xr, yr);
        xrs[i] = xr, left[i] = g.left, right[i] = g.right, along[i] = g.along, decay[i] = g.decay;
    }
    alignas(64) double a[Block], b[Block], gAlong[Block];
    errorFunctions(left, n, a);
    errorFunctions(right, n, b);
    errorFunctions(along, n, gAlong);
    // Where every f is 0 (gerf 1) the node is a zero whose sign comes from C0 and a - b alone, as long
    // as e is finite (a finite C0 and an exponent of at most 0 give 0 <= e <= 1): e = 1 gives the same bits.
    const bool exponentialOnlyScalesZeros = std::isfinite(d.c0)
        && countFailing(gAlong, n, [](double g) { return g == 1; }) == 0
        && countFailing(decay, n, [](double x) { return x <= 0; }) == 0;
    if (exponentialOnlyScalesZeros)
        std::fill(decay, decay + n, 1.0);
    else
        exponentials(decay, n);
#pragma omp simd
    for (int i = 0; i < n; ++i) {
        const double c = plumeFrom(d, decay[i], 1 - gAlong[i], a[i] - b[i]);
        out[i] = xrs[i] > 0 ? c : 0;
    }
}

void evaluate(const PlumeDate &d, int start, int end, double dy, double *out)
{
    for (int from = start; from <= end; from += Block)
        evaluateBlock(d, from, std::min(Block, end - from + 1), dy, out + from - 1);
}

bool allZero(const double *from, const double *to)
{
    return std::all_of(from, to, [](double c) { return c == 0; });
}

} // namespace

// One clone per instruction set, chosen when the program loads: eight nodes at a time with
// AVX-512, four with AVX2, two otherwise. GCC needs flatten to inline the formula into each clone;
// clang inlines it without being told and refuses flatten beside target_clones.
#if defined(__clang__)
#define QEL_PER_INSTRUCTION_SET __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define QEL_PER_INSTRUCTION_SET __attribute__((flatten, target_clones("avx512f", "avx2", "default")))
#endif
QEL_PER_INSTRUCTION_SET void plumeRow(const PlumeDate &date, int iy, int numX, double *out)
{
    const PlumeDate d = date; // a copy the stores to out cannot alias
    const double y = d.top - (iy - 1) * d.spacing;
    const double dy = y - d.ySource;
    std::fill(out, out + numX, 0.0);
    if (numX < 1)
        return;
    // Along a row xr rounds monotonically, so the nodes ahead of the source are one run of them,
    // from first to last.
    const auto ahead = [&](int ix) { return alongFlow(d, ix, dy) > 0; };
    const bool firstAhead1 = ahead(1), lastAhead = ahead(numX);
    if (!firstAhead1 && !lastAhead)
        return;
    const int first = firstAhead1 ? 1 : firstAhead(1, numX, ahead);
    const int last = lastAhead ? numX : firstAhead(numX, 1, ahead);
    if (!acrossFlowZeroIsExact(d))
        return evaluate(d, first, last, dy, out);
    // The least distance beyond the bound, where the slope along the row turns.
    const int closest = firstAhead(
        first, last, [&](int ix) { return ix == last || beyondBound(d, ix + 1, dy) >= beyondBound(d, ix, dy); });
    if (!std::isfinite(beyondBound(d, closest, dy)))
        return evaluate(d, first, last, dy, out);
    if (certainlyZero(d, closest, dy))
        return;
    const auto inside = [&](int ix) { return !certainlyZero(d, ix, dy); };
    const int low = firstAhead(first, closest, inside), high = firstAhead(last, closest, inside);
    const int start = std::max(first, low - Margin), end = std::min(last, high + Margin);
    evaluate(d, start, end, dy, out);
    if (!allZero(out + start - 1, out + low - 1) || !allZero(out + high, out + end)) {
        // The bound fell short: the whole run, as if there were none.
        evaluate(d, first, last, dy, out);
    }
}

QEL_PER_INSTRUCTION_SET void accumulateRow(const double *row, int n, double *sum, double &top, double &bottom)
{
    double high = -INFINITY, low = INFINITY;
#pragma omp simd reduction(max : high) reduction(min : low)
    for (int i = 0; i < n; ++i) {
        const double c = row[i];
        sum[i] += c;
        high = std::max(high, c);
        low = std::min(low, c > 0 ? c : INFINITY);
    }
    // Only a higher value or a lower positive one moves a bound: a zero of either sign from the
    // reduction never takes the place of the bound's own.
    if (high > top)
        top = high;
    if (low < bottom)
        bottom = low;
}

QEL_PER_INSTRUCTION_SET bool rowIsFinite(const double *row, int n)
{
    int notFinite = 0;
#pragma omp simd reduction(+ : notFinite)
    for (int i = 0; i < n; ++i)
        notFinite += !(std::fabs(row[i]) <= DBL_MAX);
    return notFinite == 0;
}

} // namespace qel

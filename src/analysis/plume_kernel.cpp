// Built without errno from the roots and without contraction into fused multiply-adds (see
// src/CMakeLists.txt): the loop below then runs several nodes at a time, every operation rounding
// exactly as in the one-node evaluation.
#include "analysis/plume_kernel.h"

#include <algorithm>
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
constexpr int Block = 64; // nodes told apart together; a multiple of every vector width

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

// Every node from start to end is certainly 0.
bool blockIsZero(const PlumeDate &d, int start, int end, double dy)
{
    bool zero = true;
#pragma omp simd reduction(&& : zero)
    for (int ix = start; ix <= end; ++ix)
        zero = zero && certainlyZero(d, ix, dy);
    return zero;
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
    // Nodes at or behind the source are 0 without the formula; the others lie between the first
    // and the last node ahead of it.
    int first = 1, last = numX;
    while (first <= numX && !(alongFlow(d, first, dy) > 0))
        out[first++ - 1] = 0;
    while (last >= first && !(alongFlow(d, last, dy) > 0))
        out[last-- - 1] = 0;
    const bool skipAcross = acrossFlowZeroIsExact(d);
    for (int start = first; start <= last; start += Block) {
        const int end = std::min(start + Block - 1, last);
        if (skipAcross && blockIsZero(d, start, end, dy)) {
            std::fill(out + start - 1, out + end, 0.0);
            continue;
        }
#pragma omp simd
        for (int ix = start; ix <= end; ++ix) {
            double xr, yr;
            nodeFrame(d, ix, dy, xr, yr);
            const double c = plumeAt<PlainArithmetic>(d, xr, yr);
            out[ix - 1] = xr > 0 ? c : 0;
        }
    }
}

} // namespace qel

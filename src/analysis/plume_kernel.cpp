// Built without errno from the roots and without contraction into fused multiply-adds (see
// src/CMakeLists.txt): the loop below then runs several nodes at a time, every operation rounding
// exactly as in the one-node evaluation.
#include "analysis/plume_kernel.h"

namespace qel {

namespace {

double alongFlow(const PlumeDate &d, int ix, double dy)
{
    const double x = (ix - 1) * d.spacing + d.left;
    double xr, yr;
    flowFrame(d.flowCos, d.flowSin, x - d.xSource, dy, xr, yr);
    return xr;
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
#pragma omp simd
    for (int ix = first; ix <= last; ++ix) {
        const double x = (ix - 1) * d.spacing + d.left;
        double xr, yr;
        flowFrame(d.flowCos, d.flowSin, x - d.xSource, dy, xr, yr);
        const double c = plumeAt<PlainArithmetic>(d, xr, yr);
        out[ix - 1] = xr > 0 ? c : 0;
    }
}

} // namespace qel

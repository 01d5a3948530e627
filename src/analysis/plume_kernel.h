#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace qel {

// What every node of one date shares in the Domenico formula.
struct PlumeDate {
    double xSource = 0, ySource = 0, flowCos = 1, flowSin = 0; // the flow frame of the date
    double left = 0, top = 0, spacing = 1; // the model grid
    double alphaX = 1, alphaY = 1, halfWidth = 0, c0 = 0, time = 0;
    double v = 0; // retarded pore-water velocity
    double s = 1; // sqrt(1 + 4 lambda AlphaX / v)
};

// The arithmetic of a node with nothing checked, for dates whose inputs leave nothing to check.
struct PlainArithmetic {
    static double divide(double numerator, double divisor) { return numerator / divisor; }
    static double root(double value) { return std::sqrt(value); }
};

// 2^k for a whole k in -1022..1023, built from its exponent bits.
inline double twoTo(double k)
{
    const double biased = k + 4503599627371519.0; // 2^52 + 1023: k + 1023 in the low bits
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(biased) << 52);
}

// e^r for x = k ln2 + r with |r| <= ln2 / 2 (k whole), by its Taylor series to r^13 / 13! (the next
// term is below 1E-17), for x within -746..710.
inline double expReduced(double x, double &k)
{
    constexpr double InvLn2 = 1.44269504088896338700e+00, Ln2Hi = 6.93147180369123816490e-01,
                     Ln2Lo = 1.90821492927058770002e-10; // Ln2Hi times any k in range is exact
    constexpr double RoundingShift = 6755399441055744.0; // 1.5 * 2^52: adding it rounds to a whole number
    k = (x * InvLn2 + RoundingShift) - RoundingShift;
    const double r = (x - k * Ln2Hi) - k * Ln2Lo;
    // 1/13! down to 1/2! by Horner's rule, written out: a loop over the coefficients is not unrolled
    // at -O2, and the row kernel then runs one node at a time.
    const double p = ((((((((((1.0 / 6227020800 * r + 1.0 / 479001600) * r + 1.0 / 39916800) * r + 1.0 / 3628800) * r
                               + 1.0 / 362880)
                                  * r
                              + 1.0 / 40320)
                                 * r
                             + 1.0 / 5040)
                                * r
                            + 1.0 / 720)
                               * r
                           + 1.0 / 120)
                              * r
                          + 1.0 / 24)
                             * r
                         + 1.0 / 6)
            * r
        + 1.0 / 2;
    return 1 + (r + r * r * p);
}

// e^x within one unit in the last place of the library's exp: e^r times 2^k. Plain arithmetic
// without branches, tables or divisions, so the same code runs one node at a time and several at a
// time with exactly the same result.
inline double expOf(double x)
{
    constexpr double Largest = 709.782712893383973096, Smallest = -745.2; // beyond: infinity, 0
    double k;
    const double y = expReduced(x < -746.0 ? -746.0 : x > 710.0 ? 710.0 : x, k);
    // Two factors keep each power of two normal down to the smallest subnormal result.
    const double half = std::trunc(k * 0.5);
    const double scaled = y * twoTo(half) * twoTo(k - half);
    return x > Largest ? INFINITY : x < Smallest ? 0.0 : x != x ? x : scaled;
}

// Exactly expOf(x) for x within -ModerateExponent..ModerateExponent, with less to do: there nothing
// is clamped, |k| <= 1010 and e^r lies within 0.7..1.42, so e^r 2^k is normal and each of expOf's two
// scalings is exact, as is the one scaling here.
constexpr double ModerateExponent = 700;
inline double expOfModerate(double x)
{
    double k;
    return expReduced(x, k) * twoTo(k);
}

// The complementary error function fitted by Chebyshev (Numerical Recipes' erfcc, fractional error
// below 1.2E-7) turned into the error function; inline so that the plume kernel can vectorise it.
// In two halves around its exponential, so that a row can take the exponentials of many nodes in one
// loop: t and the exponent of x, then the value from x, t and e^exponent.
inline void gerfTerms(double x, double &t, double &exponent)
{
    const double z = std::fabs(x);
    t = 1 / (1 + 0.5 * z);
    const double p
        = ((((((((0.17087277 * t - 0.82215223) * t + 1.48851587) * t - 1.13520398) * t + 0.27886807) * t - 0.18628806)
                    * t
                + 0.09678418)
                   * t
               + 0.37409196)
                  * t
              + 1.00002368)
        * t;
    exponent = p + (-z * z - 1.26551223);
}

inline double gerfFromTerms(double x, double t, double exponential)
{
    const double q = t * exponential;
    return x >= 0 ? 1 - q : q - 1;
}

// From this |x| on gerfOf(x) is exactly 1 or -1: the complement q falls to 2^-54 at 5.921587191649131
// and keeps falling, and 1 - q and q - 1 then round to 1 and -1.
constexpr double GerfSaturation = 5.9216;

inline double gerfOf(double x)
{
    double t, exponent;
    gerfTerms(x, t, exponent);
    return gerfFromTerms(x, t, expOf(exponent));
}

// A point relative to the source: xr along the flow, yr across it (positive to the left).
inline void flowFrame(double flowCos, double flowSin, double dx, double dy, double &xr, double &yr)
{
    xr = flowSin * dy + flowCos * dx;
    yr = flowCos * dy - flowSin * dx;
}

// What the exponential and the three error functions of a node are taken of.
struct PlumeArguments {
    double decay; // e = exp(decay)
    double left, right; // a = gerf(left), b = gerf(right): the two edges of the source across the flow
    double along; // f = 1 - gerf(along)
};

// The arguments of a node down-gradient of the source (xr > 0), every step in the method's order;
// Ops says whether its divisions and roots are checked.
template<class Ops> PlumeArguments plumeArguments(const PlumeDate &d, double xr, double yr)
{
    const double sigmaY = 2 * Ops::root(d.alphaY * xr);
    PlumeArguments g;
    g.decay = Ops::divide(Ops::divide(xr, d.alphaX), 2) * (1 - d.s);
    const double sigmaX = Ops::root(d.alphaX * d.v * d.time);
    g.left = Ops::divide(d.halfWidth + yr, sigmaY);
    g.right = Ops::divide(yr - d.halfWidth, sigmaY);
    g.along = Ops::divide(xr - d.time * d.v * d.s, 2 * sigmaX);
    return g;
}

// The concentration from e, f and a - b.
inline double plumeFrom(const PlumeDate &d, double e, double f, double aMinusB)
{
    return d.c0 * 0.25 * e * (f * aMinusB);
}

// The concentration of a node down-gradient of the source (xr > 0).
template<class Ops> double plumeAt(const PlumeDate &d, double xr, double yr)
{
    const PlumeArguments g = plumeArguments<Ops>(d, xr, yr);
    const double e = expOf(g.decay);
    const double a = gerfOf(g.left);
    const double b = gerfOf(g.right);
    const double f = 1 - gerfOf(g.along);
    return plumeFrom(d, e, f, a - b);
}

// Row iy (1 from the top) of numX nodes into out, several nodes at a time, for a date whose nodes
// cannot fail. Each value is exactly the one-node evaluation's (plumeAt, 0 at or behind the source).
void plumeRow(const PlumeDate &d, int iy, int numX, double *out);

// A finished row of n values, none of them NaN, added node by node into sum; top rises to the row's
// highest value and bottom falls to its lowest positive one, as a walk node by node would move them.
void accumulateRow(const double *row, int n, double *sum, double &top, double &bottom);

// Whether none of the n values is infinite or NaN.
bool rowIsFinite(const double *row, int n);

} // namespace qel

#include "analysis/student_t.h"

#include "core/errors.h"

#include <cmath>
#include <limits>

namespace qel {

namespace {

// The continued fraction of the incomplete beta (modified Lentz), which converges quickly for
// x < (a + 1) / (a + b + 2); the caller swaps the arguments otherwise.
double betaContinuedFraction(double x, double a, double b)
{
    constexpr double Tiny = 1e-300;
    constexpr double Epsilon = 1e-16;
    const double qab = a + b, qap = a + 1, qam = a - 1;
    double c = 1, d = 1 - qab * x / qap;
    if (std::fabs(d) < Tiny)
        d = Tiny;
    d = 1 / d;
    double h = d;
    for (int m = 1; m <= 10000; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1 + aa * d;
        d = std::fabs(d) < Tiny ? Tiny : d;
        c = 1 + aa / c;
        c = std::fabs(c) < Tiny ? Tiny : c;
        d = 1 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1 + aa * d;
        d = std::fabs(d) < Tiny ? Tiny : d;
        c = 1 + aa / c;
        c = std::fabs(c) < Tiny ? Tiny : c;
        d = 1 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1) < Epsilon)
            break;
    }
    return h;
}

// P(T <= t) for Student's t with nu degrees of freedom.
double studentTCdf(double t, double nu)
{
    const double tail = 0.5 * regularizedIncompleteBeta(nu / (nu + t * t), nu / 2, 0.5);
    return t >= 0 ? 1 - tail : tail;
}

} // namespace

double regularizedIncompleteBeta(double x, double a, double b)
{
    if (!(a > 0) || !(b > 0) || !(x >= 0) || !(x <= 1))
        raise(ErrInvalidCall);
    if (x == 0 || x == 1)
        return x;
    const double logFront = std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x);
    const double front = std::exp(logFront);
    if (x < (a + 1) / (a + b + 2))
        return front * betaContinuedFraction(x, a, b) / a;
    return 1 - front * betaContinuedFraction(1 - x, b, a) / b;
}

double studentTQuantile(double p, int dof)
{
    if (dof < 1 || !(p > 0) || !(p < 1))
        raise(ErrInvalidCall);
    if (p == 0.5)
        return 0;
    if (p < 0.5)
        return -studentTQuantile(1 - p, dof);
    const double nu = dof;
    // Closed forms where they exist; bisection on the monotone distribution function otherwise,
    // which needs no starting guess and cannot diverge.
    if (dof == 1)
        return std::tan(M_PI * (p - 0.5));
    if (dof == 2)
        return (2 * p - 1) * std::sqrt(2 / (4 * p * (1 - p)));
    double low = 0, high = 1;
    while (studentTCdf(high, nu) < p)
        high *= 2;
    for (int i = 0; i < 200 && high - low > 1e-15 * high; ++i) {
        const double mid = 0.5 * (low + high);
        (studentTCdf(mid, nu) < p ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

} // namespace qel

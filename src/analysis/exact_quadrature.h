#pragma once

#include <array>
#include <cmath>

namespace qel {

// Globally adaptive Gauss-Kronrod quadrature (the 10-point Gauss rule inside the 21-point Kronrod
// rule, with the error estimate of QUADPACK's QAG): the panel of largest estimated error is halved
// until the estimates together fall below the tolerance. Every panel lives in a fixed array, so an
// integration allocates nothing and runs the same on any thread.

// The Kronrod abscissae on [-1, 1] from the end inwards (the odd ones are the Gauss abscissae), the
// Kronrod weights, and the Gauss weights of the odd abscissae.
inline constexpr std::array<double, 11> KronrodNodes
    = { 0.995657163025808080735527280689003, 0.973906528517171720077964012084452, 0.930157491355708226001207180059508,
          0.865063366688984510732096688423493, 0.780817726586416897063717578345042, 0.679409568299024406234327365114874,
          0.562757134668604683339000099272694, 0.433395394129247190799265943165784, 0.294392862701460198131126603103866,
          0.148874338981631210884826001129720, 0.0 };
inline constexpr std::array<double, 11> KronrodWeights
    = { 0.011694638867371874278064396062192, 0.032558162307964727478818972459390, 0.054755896574351996031381300244580,
          0.075039674810919952767043140916190, 0.093125454583697605535065465083366, 0.109387158802297641899210590325805,
          0.123491976262065851077208980053632, 0.134709217311473325928054001771707, 0.142775938577060080797094273138717,
          0.147739104901338491374841515972068, 0.149445554002916905664936468389821 };
inline constexpr std::array<double, 5> GaussWeights
    = { 0.066671344308688137593568809893332, 0.149451349150580593145776339657697, 0.219086362515982043995534934228163,
          0.269266719309996355091226921569469, 0.295524224714752870173892994651338 };

struct Panel {
    double from = 0, to = 0, value = 0, error = 0;
};

// QUADPACK's estimate of a panel's error from the difference of the two rules (gaussKronrodDifference),
// the integral of |f| (absolute) and of |f - mean| (spread), each over the panel.
double kronrodError(double gaussKronrodDifference, double absolute, double spread);

// The 21-point estimate of the integral of f over [from, to] and its error.
template<class F> Panel kronrod21(const F &f, double from, double to)
{
    const double centre = 0.5 * (from + to), half = 0.5 * (to - from);
    std::array<double, 21> values;
    values[10] = f(centre);
    for (int k = 0; k < 10; ++k) {
        const double offset = half * KronrodNodes[std::size_t(k)];
        values[std::size_t(k)] = f(centre - offset);
        values[std::size_t(20 - k)] = f(centre + offset);
    }
    double kronrod = values[10] * KronrodWeights[10], gauss = 0, absolute = std::fabs(kronrod);
    for (int k = 0; k < 10; ++k) {
        const double pair = values[std::size_t(k)] + values[std::size_t(20 - k)];
        kronrod += KronrodWeights[std::size_t(k)] * pair;
        absolute += KronrodWeights[std::size_t(k)]
            * (std::fabs(values[std::size_t(k)]) + std::fabs(values[std::size_t(20 - k)]));
        if (k % 2 == 1)
            gauss += GaussWeights[std::size_t(k / 2)] * pair;
    }
    const double mean = 0.5 * kronrod;
    double spread = KronrodWeights[10] * std::fabs(values[10] - mean);
    for (int k = 0; k < 10; ++k)
        spread += KronrodWeights[std::size_t(k)]
            * (std::fabs(values[std::size_t(k)] - mean) + std::fabs(values[std::size_t(20 - k)] - mean));
    const double scale = std::fabs(half);
    return { from, to, kronrod * half, kronrodError((kronrod - gauss) * scale, absolute * scale, spread * scale) };
}

// The panels of one integration, and the running sums of their values and errors.
class PanelSet {
public:
    static constexpr int Capacity = 256;

    void add(const Panel &panel);
    // Replaces panel `at` by the two halves it was split into.
    void split(int at, const Panel &lower, const Panel &upper);
    int worst() const; // the panel of largest error
    int size() const { return m_count; }
    bool full() const { return m_count >= Capacity; }
    const Panel &operator[](int at) const { return m_panels[std::size_t(at)]; }
    double value() const; // the sums, added afresh: the running ones drift
    double error() const;

private:
    std::array<Panel, Capacity> m_panels;
    int m_count = 0;
};

struct Quadrature {
    double value = 0, error = 0;
    bool converged = true; // the error estimate fell below the tolerance before the panels ran out
};

// The integral of f over breaks[0]..breaks[count - 1], panel edges at every break, to an estimated
// error of at most relative * |value| (or absolute, when larger).
template<class F>
Quadrature integrate(const F &f, const double *breaks, int count, double relative, double absolute = 0)
{
    PanelSet panels;
    for (int k = 0; k + 1 < count; ++k)
        if (breaks[k + 1] > breaks[k])
            panels.add(kronrod21(f, breaks[k], breaks[k + 1]));
    Quadrature q;
    double value = panels.value(), error = panels.error();
    while (error > std::max(relative * std::fabs(value), absolute)) {
        if (panels.full()) {
            q.converged = false;
            break;
        }
        const int at = panels.worst();
        const Panel p = panels[at];
        const double middle = 0.5 * (p.from + p.to);
        if (!(middle > p.from && middle < p.to)) { // halved down to rounding: nothing more to gain
            q.converged = false;
            break;
        }
        panels.split(at, kronrod21(f, p.from, middle), kronrod21(f, middle, p.to));
        value = panels.value(), error = panels.error();
    }
    q.value = value, q.error = error;
    return q;
}

} // namespace qel

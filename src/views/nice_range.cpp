#include "views/nice_range.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace qel {

namespace {

// Quotients a hair off a whole number (95.000000001) round as that number.
constexpr double Slack = 1e-9;

// A step as mantissa times 10^exponent, so that multiples of it are formed without the error of
// a step like 0.001 held in binary.
struct Step {
    double mantissa;
    int exponent;
    double value() const { return scaled(1); }
    double scaled(double k) const
    {
        return exponent < 0 ? k * mantissa / std::pow(10.0, -exponent) : k * mantissa * std::pow(10.0, exponent);
    }
};

Step niceStepOf(double least)
{
    int exponent = int(std::floor(std::log10(least)));
    for (;;) {
        for (double mantissa : { 1.0, 2.0, 2.5, 5.0 }) {
            const Step step { mantissa, exponent };
            if (step.value() >= least * (1 - Slack))
                return step;
        }
        ++exponent;
    }
}

double down(double value, const Step &step)
{
    return step.scaled(std::floor(value / step.value() + Slack));
}

double up(double value, const Step &step)
{
    return step.scaled(std::ceil(value / step.value() - Slack));
}

double downToMultiple(double value, double multiple)
{
    return multiple > 0 ? std::floor(value / multiple + Slack) * multiple : value;
}

} // namespace

double niceStep(double least)
{
    return niceStepOf(least).value();
}

NiceRange niceRange(double min, double max, double multiple)
{
    if (!std::isfinite(min) || !std::isfinite(max) || !(max > min) || !(multiple >= 0) || !std::isfinite(multiple))
        return { min, max };
    const double tenth = (max - min) / 10;
    NiceRange r;
    if (multiple > 0) {
        // A nice count of the multiple, so that a truncation to it leaves the bounds alone.
        const Step count = niceStepOf(std::max(1.0, tenth / multiple));
        const double whole = count.value() == std::round(count.value()) ? count.value() : 2 * count.value();
        const double step = whole * multiple;
        r.min = std::floor(min / step + Slack) * step;
        r.max = std::ceil(max / step - Slack) * step;
    } else {
        const Step step = niceStepOf(tenth);
        r.min = down(min, step);
        r.max = up(max, step);
    }
    if (min > 0 && r.min <= 0) {
        const Step own { 1, int(std::floor(std::log10(min))) };
        r.min = multiple > 0 ? downToMultiple(down(min, own), multiple) : down(min, own);
        if (r.min <= 0)
            r.min = min;
    }
    return r;
}

} // namespace qel

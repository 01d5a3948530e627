#include "analysis/exact_quadrature.h"

#include <algorithm>
#include <limits>

namespace qel {

double kronrodError(double gaussKronrodDifference, double absolute, double spread)
{
    constexpr double Epsilon = std::numeric_limits<double>::epsilon();
    constexpr double Smallest = std::numeric_limits<double>::min();
    double error = std::fabs(gaussKronrodDifference);
    // The difference of the rules overstates the error of the better one for smooth integrands;
    // QUADPACK's scaling by the spread of the values makes up for it.
    if (spread != 0 && error != 0)
        error = spread * std::min(1.0, std::pow(200 * error / spread, 1.5));
    // Rounding in the sum of the 21 terms sets a floor no panel can go below.
    if (absolute > Smallest / (50 * Epsilon))
        error = std::max(50 * Epsilon * absolute, error);
    return error;
}

void PanelSet::add(const Panel &panel)
{
    if (m_count < Capacity)
        m_panels[std::size_t(m_count++)] = panel;
}

void PanelSet::split(int at, const Panel &lower, const Panel &upper)
{
    m_panels[std::size_t(at)] = lower;
    add(upper);
}

int PanelSet::worst() const
{
    const auto end = m_panels.begin() + m_count;
    return int(std::max_element(m_panels.begin(), end, [](const Panel &a, const Panel &b) { return a.error < b.error; })
        - m_panels.begin());
}

double PanelSet::value() const
{
    double sum = 0;
    for (int k = 0; k < m_count; ++k)
        sum += m_panels[std::size_t(k)].value;
    return sum;
}

double PanelSet::error() const
{
    double sum = 0;
    for (int k = 0; k < m_count; ++k)
        sum += m_panels[std::size_t(k)].error;
    return sum;
}

} // namespace qel

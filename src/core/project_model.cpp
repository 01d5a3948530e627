#include "core/project_model.h"

#include <algorithm>

namespace qel {

void ConcentrationGrid::allocate(int numX, int numY, int numSlots)
{
    allocateUnset(numX, numY, numSlots);
    std::fill(m_values.begin(), m_values.end(), 0.0);
}

void ConcentrationGrid::allocateUnset(int numX, int numY, int numSlots)
{
    if (numX < 1 || numY < 1 || numSlots < 1 || numX > MaxGridNodes || numY > MaxGridNodes
        || numSlots > MaxSampleSlots + 1)
        raise(ErrSubscript);
    m_numX = numX;
    m_numY = numY;
    m_numSlots = numSlots;
    m_values.resize(std::size_t(numX) * std::size_t(numY) * std::size_t(numSlots));
}

std::size_t ConcentrationGrid::slot(int ix, int iy, int sample) const
{
    if (ix < 1 || ix > m_numX || iy < 1 || iy > m_numY || sample < 1 || sample > m_numSlots)
        raise(ErrSubscript);
    return (std::size_t(sample - 1) * std::size_t(m_numY) + std::size_t(iy - 1)) * std::size_t(m_numX)
        + std::size_t(ix - 1);
}

double &ConcentrationGrid::operator()(int ix, int iy, int sample)
{
    return m_values[slot(ix, iy, sample)];
}

const double &ConcentrationGrid::operator()(int ix, int iy, int sample) const
{
    return m_values[slot(ix, iy, sample)];
}

void ConcentrationGrid::clear()
{
    m_values.clear();
    m_values.shrink_to_fit();
    m_numX = m_numY = m_numSlots = 0;
}

} // namespace qel

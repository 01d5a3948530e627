#include "analysis/plume_grid_ahead.h"

#include "core/plot_limits_rules.h"

#include <algorithm>
#include <cstdint>
#include <future>
#include <span>

#include <sys/mman.h>
#include <unistd.h>

namespace qel {

namespace {

struct PlumeGridAhead : SessionPart {
    explicit PlumeGridAhead(Session &) { }
    void projectCleared() override { made = {}; }
    std::future<ConcentrationGrid> made; // its destructor waits for the grid in the making
};

// The pages of values taken from the system in one call rather than a fault each; nothing when
// the system cannot.
void takePages(std::span<double> values)
{
#ifdef MADV_POPULATE_WRITE
    const std::uintptr_t page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (std::uintptr_t(values.data()) + page - 1) & ~(page - 1);
    const std::uintptr_t end = std::uintptr_t(values.data() + values.size()) & ~(page - 1);
    if (end > begin)
        (void)::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)values;
#endif
}

ConcentrationGrid zeroedGrid(PlumeGridShape shape)
{
    ConcentrationGrid grid;
    grid.allocateUnset(shape.numX, shape.numY, shape.numSlots);
    // A few megabytes at a time: taking the pages of the whole grid in one call holds the memory
    // map's lock so long that the reading's own allocations wait on it.
    constexpr std::size_t ValuesAtATime = std::size_t(1) << 19;
    const std::span<double> values = grid.values();
    for (std::size_t from = 0; from < values.size(); from += ValuesAtATime) {
        const std::span<double> part = values.subspan(from, std::min(ValuesAtATime, values.size() - from));
        takePages(part);
        std::fill(part.begin(), part.end(), 0.0);
    }
    return grid;
}

} // namespace

PlumeGridShape plumeGridShape(const ProjectModel &m)
{
    return { std::min(m.PCNumX + 20, int(MaxGridNodes)), std::min(m.PCNumY + 20, int(MaxGridNodes)),
        std::min(m.NumSamples + 2, int(MaxSampleSlots)) };
}

void preparePlumeGrid(Session &session)
{
    const ProjectModel &m = session.model;
    if (m.PCNumX < 1 || m.PCNumY < 1 || m.NumSamples < 1 || !gridSizeMessage(m.PCNumX, m.PCNumY).isEmpty())
        return;
    PlumeGridAhead &ahead = session.part<PlumeGridAhead>();
    ahead.made = std::async(std::launch::async, zeroedGrid, plumeGridShape(m));
}

bool takePlumeGrid(Session &session, const PlumeGridShape &shape, ConcentrationGrid &into)
{
    PlumeGridAhead &ahead = session.part<PlumeGridAhead>();
    if (!ahead.made.valid())
        return false;
    ConcentrationGrid made = ahead.made.get();
    if (!made.hasShape(shape.numX, shape.numY, shape.numSlots))
        return false;
    into = std::move(made);
    return true;
}

void dropPlumeGrid(Session &session)
{
    session.part<PlumeGridAhead>().made = {};
}

} // namespace qel

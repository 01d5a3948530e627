#include "analysis/wolf.h"

#include "core/errors.h"
#include "core/reporting.h"
#include "parallel/worker_pool.h"

#include <nanoflann.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace qel {

namespace {

constexpr double NoWellSquared = 1E30;

// The wells as nanoflann's point cloud.
struct WellCloud {
    const ProjectModel &m;
    std::size_t kdtree_get_point_count() const { return std::size_t(std::max<int>(m.NumWells, 0)); }
    double kdtree_get_pt(std::size_t i, std::size_t dim) const
    {
        return dim == 0 ? m.WellX(int(i) + 1) : m.WellY(int(i) + 1);
    }
    template<class Box> bool kdtree_get_bbox(Box &) const { return false; }
};

using WellTree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, WellCloud>, WellCloud, 2>;

// The nearest well closer than a squared distance known to hold one: the search passes over every
// part of the tree farther away. It keeps the first of equally near wells, as the search for one
// neighbour does, and it visits the parts that can hold them in the same order.
struct NearestWithin {
    double worst;
    unsigned int index = 0;
    bool found = false;
    bool full() const { return found; }
    bool addPoint(double squared, unsigned int i)
    {
        if (squared < worst) {
            worst = squared;
            index = i;
            found = true;
        }
        return true;
    }
    double worstDist() const { return worst; }
};

// The well nearest to query. The node before on the row had lastNearest (or -1): a well at least as
// near as that one is within its distance, a little widened for rounding.
int nearestWell(const WellTree &tree, const ProjectModel &m, const double (&query)[2], int lastNearest)
{
    if (lastNearest >= 0) {
        const double dx = query[0] - m.WellX(lastNearest + 1), dy = query[1] - m.WellY(lastNearest + 1);
        NearestWithin within { (dx * dx + dy * dy) * (1 + 1e-9) + 1e-300 };
        tree.findNeighbors(within, query, nanoflann::SearchParams());
        if (within.found)
            return int(within.index);
    }
    unsigned int nearest = 0;
    double found = 0;
    return tree.knnSearch(query, 1, &nearest, &found) == 1 ? int(nearest) : -1;
}

double truncatedTo(double value, double step)
{
    if (step == 0)
        raise(ErrDivisionByZero);
    return std::trunc(value / step) * step;
}

} // namespace

void WOLF(Session &session)
{
    ProjectModel &m = session.model;
    try {
        m.WOLFMax = 0;
        m.WOLFMin = 1E12;
        m.MinDistMax = 0;
        m.MinDistMin = 1E12;
        const WellCloud cloud { m };
        WellTree tree(2, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(10));
        const bool anyWell = cloud.kdtree_get_point_count() > 0;
        if (anyWell)
            tree.buildIndex();
        const int average = m.NumSamples + 1;
        // Rows over the cores, each with its own ranges; the range of a set does not depend on the
        // order it is visited in.
        struct Ranges {
            double wolfMax, wolfMin, distanceMax, distanceMin;
        };
        std::vector<Ranges> rows(
            std::size_t(std::max<int>(m.PCNumY, 0)), { m.WOLFMax, m.WOLFMin, m.MinDistMax, m.MinDistMin });
        forEachItem(m.PCNumY, [&](int item) {
            const int iy = item + 1;
            Ranges &r = rows[std::size_t(item)];
            const double y = m.PCTop - (iy - 1) * m.PCGridSpacing;
            int lastNearest = -1;
            for (int ix = 1; ix <= m.PCNumX; ++ix) {
                const double x = m.PCLeft + (ix - 1) * m.PCGridSpacing;
                double d2 = NoWellSquared;
                if (anyWell) {
                    const double query[2] = { x, y };
                    lastNearest = nearestWell(tree, m, query, lastNearest);
                    if (lastNearest >= 0) {
                        // The nearest well's squared distance in the order the method sums it.
                        const double dy = m.WellY(lastNearest + 1) - y, dx = m.WellX(lastNearest + 1) - x;
                        d2 = std::min(d2, dy * dy + dx * dx);
                    }
                }
                const double wolf = d2 * m.Conc(ix, iy, average);
                const double distance = std::sqrt(d2);
                m.WOLFGrid(ix, iy) = wolf;
                m.MinDistGrid(ix, iy) = distance;
                if (wolf > r.wolfMax)
                    r.wolfMax = wolf;
                if (wolf != 0 && wolf < r.wolfMin)
                    r.wolfMin = wolf;
                if (distance > r.distanceMax)
                    r.distanceMax = distance;
                if (distance != 0 && distance < r.distanceMin)
                    r.distanceMin = distance;
            }
        });
        for (const Ranges &r : rows) {
            m.WOLFMax = std::max(m.WOLFMax, r.wolfMax);
            m.WOLFMin = std::min(m.WOLFMin, r.wolfMin);
            m.MinDistMax = std::max(m.MinDistMax, r.distanceMax);
            m.MinDistMin = std::min(m.MinDistMin, r.distanceMin);
        }
        m.MinDistMin = truncatedTo(m.MinDistMin, m.RoundXY);
        m.MinDistMax = truncatedTo(m.MinDistMax, m.RoundXY);
    } catch (const QelError &e) {
        // This report has always carried the description without its number.
        session.ErrorText = failureTag(QStringLiteral("WOLF")) + QStringLiteral("\n") + e.description();
        ReportError(session);
    }
}

} // namespace qel

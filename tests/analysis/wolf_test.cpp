// The minimum distance of every node against the plain search of every well, on layouts that put
// the nearest well far along a row, wells at equal distances and wells on the nodes themselves.
#include "analysis/wolf.h"
#include "support/test_session.h"

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct Layout {
    const char *what;
    std::function<std::vector<QPointF>()> wells;
};

std::vector<QPointF> randomWells(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> along(-20, 120);
    std::vector<QPointF> wells;
    for (int k = 0; k < count; ++k)
        wells.push_back({ along(random), along(random) });
    return wells;
}

} // namespace

TEST(Wolf, EveryNodeHasTheDistanceOfItsNearestWell)
{
    const Layout layouts[] = {
        { "one well far off the grid",
            [] {
                return std::vector<QPointF> { { 500, -300 } };
            } },
        { "a thousand wells", [] { return randomWells(1000, 5); } },
        { "a few wells", [] { return randomWells(7, 9); } },
        { "wells on nodes and their twins",
            [] {
                std::vector<QPointF> wells;
                for (int k = 0; k < 30; ++k)
                    wells.push_back({ 2.5 * (k % 9), 100 - 2.5 * (k / 3) });
                return wells;
            } },
        { "a line of wells across the rows, equally far from many nodes",
            [] {
                std::vector<QPointF> wells;
                for (int k = 0; k < 40; ++k)
                    wells.push_back({ 50, 2.5 * k });
                return wells;
            } },
    };
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.what);
        TestSession t;
        ProjectModel &m = t.session->model;
        m.PCLeft = 0, m.PCTop = 100, m.PCGridSpacing = 1.25, m.PCNumX = 81, m.PCNumY = 81, m.RoundXY = 0.01;
        m.NumSamples = 1;
        m.Conc.allocate(101, 101, 3);
        const std::vector<QPointF> wells = layout.wells();
        m.NumWells = int16(wells.size());
        for (int k = 1; k <= m.NumWells; ++k)
            m.WellX(k) = wells[std::size_t(k - 1)].x(), m.WellY(k) = wells[std::size_t(k - 1)].y();
        WOLF(*t.session);
        for (int iy = 1; iy <= m.PCNumY; ++iy) {
            for (int ix = 1; ix <= m.PCNumX; ++ix) {
                const double x = m.PCLeft + (ix - 1) * m.PCGridSpacing, y = m.PCTop - (iy - 1) * m.PCGridSpacing;
                double nearest = INFINITY;
                for (int k = 1; k <= m.NumWells; ++k) {
                    const double dy = m.WellY(k) - y, dx = m.WellX(k) - x;
                    nearest = std::min(nearest, dy * dy + dx * dx);
                }
                ASSERT_EQ(m.MinDistGrid(ix, iy), std::sqrt(nearest)) << "node " << ix << ", " << iy;
            }
        }
    }
}

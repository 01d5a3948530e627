#include "analysis/new_well_places.h"
#include "support/test_session.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace qel;

namespace {

// A model whose WOLF grid is given row by row (row 1 at the top).
std::unique_ptr<ProjectModel> modelWith(const std::vector<std::vector<double>> &rows)
{
    auto m = std::make_unique<ProjectModel>();
    m->NumSamples = 1;
    m->PCNumY = qint16(rows.size()), m->PCNumX = qint16(rows.front().size());
    m->Conc.allocate(m->PCNumX, m->PCNumY, 3);
    for (int iy = 1; iy <= m->PCNumY; ++iy)
        for (int ix = 1; ix <= m->PCNumX; ++ix)
            m->WOLFGrid(ix, iy) = rows[std::size_t(iy - 1)][std::size_t(ix - 1)];
    return m;
}

} // namespace

TEST(NewWellPlaces, HighestLocalMaximaFirst)
{
    using Node = std::pair<int, int>; // column, row
    const struct {
        const char *name;
        std::vector<std::vector<double>> rows;
        int count;
        std::vector<Node> expected;
    } cases[] = {
        { "one peak, its slopes are no maxima", { { 1, 2, 1 }, { 2, 9, 2 }, { 1, 2, 1 } }, 3, { { 2, 2 } } },
        { "two peaks, the higher first", { { 5, 1, 1, 1, 7 }, { 1, 1, 1, 1, 1 } }, 3, { { 5, 1 }, { 1, 1 } } },
        { "a flat top gives one place, the first in row order", { { 0, 4, 4 }, { 0, 4, 4 } }, 3, { { 2, 1 } } },
        { "equal peaks keep row order", { { 3, 0, 3 }, { 0, 0, 0 }, { 3, 0, 0 } }, 2, { { 1, 1 }, { 3, 1 } } },
        { "zero and negative values are never places", { { 0, 0 }, { 0, -1 } }, 3, {} },
        { "no more than asked", { { 5, 0, 6, 0, 7 } }, 2, { { 5, 1 }, { 3, 1 } } },
        { "nothing asked", { { 5 } }, 0, {} },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto m = modelWith(c.rows);
        const std::vector<NewWellPlace> places = bestNewWellPlaces(*m, c.count);
        std::vector<Node> found;
        for (const NewWellPlace &p : places)
            found.push_back({ p.column, p.row });
        EXPECT_EQ(found, c.expected);
    }
}

// The coordinates, distances, concentrations and the file of the places are those of the
// example replay's golden new-wells.csv.
TEST(NewWellPlaces, NoGridNoPlacesAndNoWolfNoFile)
{
    EXPECT_TRUE(bestNewWellPlaces(ProjectModel(), 3).empty());
    test::TestSession t;
    t.frontend.expectErrors = true;
    const QString target = t.home() + QStringLiteral("places.csv");
    EXPECT_FALSE(writeNewWellPlaces(*t.session, target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(t.session->ErrorText.startsWith(QStringLiteral(
        "QEL(WOLF:NewWellPlaces): 5: \nThere are no places for new wells: the project has not computed")));
}

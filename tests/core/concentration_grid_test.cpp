#include "core/project_model.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qel;
using qel::test::thrownBy;

// The result grid is sized from a project file's counts: every size and index outside its
// bounds is error 9, never a write past the end.
TEST(ConcentrationGrid, SizesAndIndicesOutsideTheBoundsAreRefused)
{
    ConcentrationGrid grid;
    grid.allocate(3, 2, 4);
    grid(3, 2, 4) = 7.5;
    EXPECT_EQ(grid(3, 2, 4), 7.5);
    EXPECT_EQ(grid(1, 1, 1), 0.0) << "a new grid holds zeros";
    const struct {
        const char *what;
        std::function<void()> call;
    } refused[] = {
        { "no columns", [] { ConcentrationGrid().allocate(0, 2, 4); } },
        { "too many columns", [] { ConcentrationGrid().allocate(MaxGridNodes + 1, 2, 4); } },
        { "too many slots", [] { ConcentrationGrid().allocate(3, 2, MaxSampleSlots + 2); } },
        { "column 0", [&] { grid(0, 1, 1) = 1; } },
        // Past the last column or row would land inside the grid, on another node.
        { "column past the last", [&] { grid(4, 1, 1) = 1; } },
        { "row past the last", [&] { grid(1, 3, 1) = 1; } },
        { "slot past the last", [&] { grid(1, 1, 5) = 1; } },
        { "an empty grid",
            [] {
                const ConcentrationGrid empty;
                (void)empty(1, 1, 1);
            } },
    };
    for (const auto &c : refused)
        EXPECT_EQ(thrownBy(c.call).number(), ErrSubscript) << c.what;
}

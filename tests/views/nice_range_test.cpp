#include "views/nice_range.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qel;

TEST(NiceRange, RoundsOutwardToAStepAPersonWouldPick)
{
    const struct {
        double min, max, multiple;
        double wantMin, wantMax;
    } cases[] = {
        { 95.29, 101.98, 0, 95, 102 },
        { 0.00312, 0.0981, 0, 0.003, 0.1 }, // the minimum keeps its order of magnitude
        { 0, 988.8, 0, 0, 1000 },
        { 95, 102, 0, 95, 102 }, // already round
        { -3.7, 12.2, 0, -4, 14 }, // step 2
        { 1.3e-9, 7.7e-9, 0, 1e-9, 8e-9 },
        { 15, 150.456, 0.1, 10, 160 }, // steps of 20 tenths; the positive start stays positive
        { 12, 96, 5, 10, 100 }, // steps of two multiples of 5
        { 3, 5.5, 2, 2, 6 }, // a step below the multiple takes the multiple
        { 2.5e6, 2.5e6, 0, 2.5e6, 2.5e6 }, // no range
        { 10, 1, 0, 10, 1 }, // reversed: as it was
        { 1E12, 0, 0, 1E12, 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.min) + " to " + std::to_string(c.max) + " by " + std::to_string(c.multiple));
        const NiceRange r = niceRange(c.min, c.max, c.multiple);
        EXPECT_NEAR(r.min, c.wantMin, std::abs(c.wantMin) * 1e-12);
        EXPECT_NEAR(r.max, c.wantMax, std::abs(c.wantMax) * 1e-12);
        EXPECT_LE(r.min, c.min > c.max ? r.min : c.min) << "never inside the range";
    }
}

TEST(NiceRange, StepsAreOneTwoTwoAndAHalfOrFiveTimesAPowerOfTen)
{
    const std::pair<double, double> cases[] = { { 0.669, 1 }, { 1, 1 }, { 1.01, 2 }, { 2.2, 2.5 }, { 3, 5 }, { 6, 10 },
        { 0.0095, 0.01 }, { 13.5, 20 }, { 240, 250 } };
    for (const auto &[least, step] : cases)
        EXPECT_DOUBLE_EQ(niceStep(least), step) << least;
}

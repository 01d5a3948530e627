#include "map/map_extents.h"
#include "map/map_test_util.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(MapExtents, RoundHalfEven)
{
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        { 1.5, 0, 2 }, { 2.5, 0, 2 }, { -2.5, 0, -2 }, { 2.5000001, 0, 3 }, { 0.25, 1, 0.2 },
        { 12.35, 1, 12.4 }, // 12.35 is a half after scaling, its odd neighbour 12.3 loses
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(roundHalfEven(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals;
}

TEST(MapExtents, DecimalsFollowTheWidthAndTheTextSizeTheHeight)
{
    const struct {
        double width;
        int decimals;
    } cases[] = {
        { 25000, 0 }, // n = 4
        { 100000, 0 }, // n = 5
        { 5, 3 }, // n = 1 (0.699 rounds up)
        { 0.01, 6 }, // n = -2
        { 1e-30, 15 }, // capped at the precision of a double
    };
    for (const auto &c : cases)
        EXPECT_EQ(extentDecimals(c.width), c.decimals) << c.width;
    for (double bad : { 0.0, -5.0, std::numeric_limits<double>::quiet_NaN() })
        EXPECT_EQ(thrownBy([&] { extentDecimals(bad); }).number(), ErrInvalidCall) << bad;
    // Small maps keep more decimals.
    EXPECT_EQ(roundMapExtents({ 0.123456, 0, 2.123456, 1 }), (MapExtents { 0.1235, 0, 2.1235, 1 }));
    // The whole sixtieth of the height: 5000 / 60 is 83 (the calibration's origin example), 59 / 60 is 0.
    EXPECT_EQ(mapTextSize({ 0, 0, 10, 59 }), 0);
}

TEST(MapPixelTransform, DegenerateCalibrationsAreErrors)
{
    const struct {
        const char *what;
        double v[8];
        int error;
    } cases[] = {
        { "same map x", { 10, 10, 5, 0, 20, 20, 5, 5 }, ErrInvalidCall },
        { "infinite map y", { 10, 10, 0, std::numeric_limits<double>::infinity(), 20, 20, 5, 5 }, ErrOverflow },
    };
    for (const auto &c : cases) {
        const auto make = [&] { PixelTransform(c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5], c.v[6], c.v[7]); };
        EXPECT_EQ(thrownBy(make).number(), c.error) << c.what;
    }
}

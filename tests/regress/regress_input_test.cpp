#include "regress/plane_fit.h"
#include "regress/regress_input.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace qel::regress;

TEST(RegressInputReader, RefusesMalformedInputWithTheLine)
{
    const struct {
        const char *text, *problem;
    } cases[] = {
        { "", "the file has no counts and dates" },
        { " 2 x \r\n'a' \r\n", "line 1: the counts must be whole numbers of at least 1" },
        { " 0 1 \r\n'a' \r\n", "line 1: the counts must be whole numbers of at least 1" },
        { " 1 2 \r\n'a' \r\n'w' 1 2 3 4\r\n", "line 2 must hold 2 quoted dates" },
        { " 1 1 \r\n'a\r\n'w' 1 2 3\r\n", "line 2 must hold 1 quoted dates" },
        { " 2 1 \r\n'a' \r\n'w' 1 2 3\r\n", "2 well lines expected, 1 found" },
        { " 1 1 \r\n'a' \r\n'w' 1 2\r\n", "line 3 must hold a quoted well identifier, x, y and 1 levels" },
        { " 1 1 \r\n'a' \r\n'w' 1 2 x3\r\n", "line 3: \"x3\" is not a number" },
    };
    for (const auto &c : cases) {
        const ParseResult r = parseRegressInput(c.text);
        EXPECT_FALSE(r.input) << c.text;
        EXPECT_EQ(r.problem, QString::fromLatin1(c.problem)) << c.text;
    }
}

TEST(PlaneFit, NeedsThreeWellsNotOnALine)
{
    EXPECT_FALSE(fitPlane({ { 0, 0, 1 }, { 1, 0, 2 } }).fitted);
    EXPECT_FALSE(fitPlane({ { 0, 0, 1 }, { 1, 1, 2 }, { 2, 2, 3 } }).fitted);
}

// Planes falling along a known azimuth: the fit finds the gradient and the flow direction, always
// in (-180, 180].
TEST(PlaneFit, GradientAndAzimuthOfKnownPlanes)
{
    const struct {
        double direction, east, north, gradient; // (east, north): the unit vector of the flow
    } cases[] = {
        { 0, 0, 1, 0.001 },
        { 90, 1, 0, 0.02 },
        { 180, 0, -1, 0.005 },
        { -90, -1, 0, 0.0133 },
        { 152.1, std::sin(152.1 * M_PI / 180), std::cos(152.1 * M_PI / 180), 0.0042 },
    };
    const double wells[][2] = { { 0, 0 }, { 100, 0 }, { 0, 100 }, { 100, 100 }, { 40, 70 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.direction);
        std::vector<WellLevel> levels;
        for (const auto &w : wells)
            levels.push_back({ w[0], w[1], 50 - c.gradient * (c.east * w[0] + c.north * w[1]) });
        const PlaneFit fit = fitPlane(levels);
        ASSERT_TRUE(fit.fitted);
        EXPECT_NEAR(fit.magnitude, c.gradient, 1e-12);
        EXPECT_NEAR(fit.direction, c.direction, 1e-9);
    }
    // Due south from a gradient of exactly zero across, whatever the sign of that zero.
    EXPECT_EQ(flowAzimuth(0.0, 0.01), 180);
    EXPECT_EQ(flowAzimuth(-0.0, 0.01), 180);
    EXPECT_EQ(flowAzimuth(0, 0), 0);
}

#include "core/progress.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(Progress, OnlyTheOutermostShowsTheBusyStateAndItEndsOnAnException)
{
    TestSession t;
    Session &s = *t.session;
    try {
        Progress outer(s, QStringLiteral("Reading..."));
        EXPECT_TRUE(t.frontend.busy);
        {
            Progress inner(s, QStringLiteral("Inner work"));
            inner.setFraction(0.9); // an inner fraction does not move the bar
        }
        EXPECT_TRUE(t.frontend.busy) << "the inner end leaves the outer work busy";
        outer.setFraction(0.5);
        outer.setFraction(0.2); // never backwards
        outer.setFraction(7);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error &) {
    }
    EXPECT_FALSE(t.frontend.busy);
    EXPECT_EQ(s.progressDepth, 0);
    EXPECT_EQ(t.frontend.progressBegun, 1);
    EXPECT_EQ(t.frontend.progressEnded, 1);
    EXPECT_EQ(t.frontend.progressFractions, (std::vector<double> { 0.5, 0.5, 1 }));
}

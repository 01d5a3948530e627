#include "core/progress.h"
#include "support/test_session.h"

#include <QThread>

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
    EXPECT_EQ(t.frontend.statusTexts, (QStringList { "Reading...", "Inner work" }));
}

TEST(Progress, BreathingIsThrottled)
{
    TestSession t;
    Progress progress(*t.session);
    for (int i = 0; i < 100000; ++i)
        progress.breathe();
    EXPECT_LE(t.frontend.eventPumps, 2) << "a tight loop does not pump events every time";
    QThread::msleep(Progress::BreathIntervalMs + 10);
    const int before = t.frontend.eventPumps;
    progress.breathe();
    EXPECT_EQ(t.frontend.eventPumps, before + 1);
}

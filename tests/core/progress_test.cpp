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

// A cancel is asked once and holds for the rest of the work; the step then says what stayed, in a
// message line and the status panel, never in a box.
TEST(Progress, ACancelHoldsOnceAskedAndIsSaidWithoutABox)
{
    const struct {
        int cancelAfter;
        std::vector<bool> answers;
    } cases[] = {
        { -1, { false, false, false } }, // batch runs and scripts that cancel nothing
        { 0, { true, true, true } },
        { 2, { false, false, true, true } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.cancelAfter);
        TestSession t;
        t.frontend.cancelAfterPolls = c.cancelAfter;
        Progress progress(*t.session);
        std::vector<bool> answers;
        for (std::size_t i = 0; i < c.answers.size(); ++i)
            answers.push_back(progress.cancelled());
        EXPECT_EQ(answers, c.answers);
        if (c.answers.back())
            EXPECT_THROW(progress.throwIfCancelled(), WorkCancelled);
        else
            EXPECT_NO_THROW(progress.throwIfCancelled());
    }

    TestSession t;
    reportCancelled(*t.session, QStringLiteral("Plume run cancelled."));
    EXPECT_EQ(t.frontend.messageLines, QStringList { "Plume run cancelled." });
    EXPECT_EQ(t.frontend.panelStatus, "Plume run cancelled.");
    EXPECT_TRUE(t.frontend.boxes.empty());
}

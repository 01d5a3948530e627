#include "map/bounded_child.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

using namespace qel;

TEST(BoundedChild, EveryEndOfTheWorkIsTold)
{
    const struct {
        const char *what;
        std::function<void()> work;
        ChildOutcome expected;
    } cases[] = {
        { "returns", [] {}, ChildOutcome::Finished },
        { "throws", [] { throw std::runtime_error("bad file"); }, ChildOutcome::Failed },
        { "aborts", [] { std::abort(); }, ChildOutcome::Failed },
        { "exits with a failure", [] { _exit(3); }, ChildOutcome::Failed },
        { "loops",
            [] {
                for (;;)
                    pause();
            },
            ChildOutcome::TimedOut },
    };
    for (const auto &c : cases)
        EXPECT_EQ(runInChild(c.work, std::chrono::milliseconds(200)), c.expected) << c.what;
}

#include "map/bounded_child.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

using namespace qel;

// A finished read is every plan that opens; one that loops is the base map test's looping DXF.
TEST(BoundedChild, AFailedReadIsTold)
{
    const struct {
        const char *what;
        std::function<void()> work;
        ChildOutcome expected;
    } cases[] = {
        { "throws", [] { throw std::runtime_error("bad file"); }, ChildOutcome::Failed },
        { "aborts", [] { std::abort(); }, ChildOutcome::Failed },
    };
    for (const auto &c : cases)
        EXPECT_EQ(runInChild(c.work, std::chrono::milliseconds(200)), c.expected) << c.what;
}

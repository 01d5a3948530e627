// The worker pool: every item run once on any number of threads, the first failure passed on,
// and the in-order puts that let pieces made on several cores go to one file in their order.
#include "parallel/worker_pool.h"

#include <atomic>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

using namespace qel;

TEST(WorkerPool, RunsEveryItemOnceAndPassesTheFirstFailureOn)
{
    for (int threads : { 1, 2, 3 }) {
        SCOPED_TRACE(threads);
        setWorkerCount(threads);
        EXPECT_EQ(workerCount(), threads);
        for (int count : { 0, 1, 2, 1000 }) {
            std::vector<int> runs(static_cast<std::size_t>(count));
            forEachItem(count, [&](int item) {
                ++runs[std::size_t(item)];
                // A call from inside an item runs on its thread and does not wait for the pool.
                forEachItem(2, [&](int) {});
            });
            EXPECT_EQ(runs, std::vector<int>(std::size_t(count), 1)) << count;
        }
        EXPECT_THROW(forEachItem(100,
                         [](int item) {
                             if (item == 37)
                                 throw std::runtime_error("item 37");
                         }),
            std::runtime_error);
        std::atomic<int> after = 0;
        forEachItem(10, [&](int) { ++after; }); // a failure leaves the pool working
        EXPECT_EQ(after, 10);
    }
    setWorkerCount(0);
}

TEST(WorkerPool, PutsEachItemInOrderOnceItIsMade)
{
    for (int threads : { 1, 2, 4 }) {
        SCOPED_TRACE(threads);
        setWorkerCount(threads);
        for (int count : { 0, 1, 7, 500 }) {
            std::vector<int> made(static_cast<std::size_t>(count)), put;
            forEachItemInOrder(
                count, [&](int item) { made[std::size_t(item)] = item + 1; },
                [&](int item) {
                    EXPECT_EQ(made[std::size_t(item)], item + 1) << "put before it was made";
                    put.push_back(item); // the puts run one at a time
                });
            std::vector<int> expected(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                expected[std::size_t(i)] = i;
            EXPECT_EQ(put, expected) << count;
        }
        // A put that fails ends the puts; a make that fails stops them before its item.
        for (const bool failingPut : { true, false }) {
            std::vector<int> put;
            EXPECT_THROW(forEachItemInOrder(
                             100,
                             [&](int item) {
                                 if (!failingPut && item == 40)
                                     throw std::runtime_error("make 40");
                             },
                             [&](int item) {
                                 put.push_back(item);
                                 if (failingPut && item == 40)
                                     throw std::runtime_error("put 40");
                             }),
                std::runtime_error);
            ASSERT_FALSE(put.empty());
            EXPECT_EQ(put.back(), failingPut ? 40 : 39) << failingPut;
            EXPECT_EQ(int(put.size()), put.back() + 1) << "no gap, nothing after";
        }
    }
    setWorkerCount(0);
}

#include "parallel/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace qel {

namespace {

thread_local bool insideItem = false;

int coresOfMachine()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

class WorkerPool {
public:
    ~WorkerPool() { resize(1); }

    int size()
    {
        std::lock_guard lock(m_jobMutex);
        return int(m_threads.size()) + 1;
    }

    void resize(int count)
    {
        std::lock_guard job(m_jobMutex);
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread &t : m_threads)
            t.join();
        m_threads.clear();
        m_stopping = false;
        for (int worker = 1; worker < count; ++worker) // the caller is the first
            m_threads.emplace_back([this, generation = m_generation] { serve(generation); });
    }

    void run(int count, const std::function<void(int)> &work)
    {
        std::unique_lock job(m_jobMutex, std::try_to_lock);
        if (insideItem || !job.owns_lock() || m_threads.empty() || count < 2) {
            runAlone(count, work);
            return;
        }
        {
            std::lock_guard lock(m_mutex);
            m_work = &work;
            m_count = count;
            m_next.store(0);
            m_failure = nullptr;
            m_busy = int(m_threads.size());
            ++m_generation;
        }
        m_wake.notify_all();
        take();
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_busy == 0; });
        m_work = nullptr;
        if (m_failure)
            std::rethrow_exception(std::exchange(m_failure, nullptr));
    }

private:
    static void runAlone(int count, const std::function<void(int)> &work)
    {
        const bool outer = !insideItem;
        insideItem = true;
        try {
            for (int item = 0; item < count; ++item)
                work(item);
        } catch (...) {
            insideItem = !outer;
            throw;
        }
        insideItem = !outer;
    }

    void serve(unsigned long seen)
    {
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_stopping || m_generation != seen; });
                if (m_stopping)
                    return;
                seen = m_generation;
            }
            take();
            std::lock_guard lock(m_mutex);
            if (--m_busy == 0)
                m_done.notify_one();
        }
    }

    // Items until none is left; after a failure the rest are skipped.
    void take()
    {
        insideItem = true;
        for (int item = m_next.fetch_add(1); item < m_count; item = m_next.fetch_add(1)) {
            try {
                (*m_work)(item);
            } catch (...) {
                std::lock_guard lock(m_mutex);
                if (!m_failure)
                    m_failure = std::current_exception();
                m_next.store(m_count);
            }
        }
        insideItem = false;
    }

    std::mutex m_jobMutex; // one job at a time
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::vector<std::thread> m_threads;
    const std::function<void(int)> *m_work = nullptr;
    int m_count = 0, m_busy = 0;
    std::atomic<int> m_next { 0 };
    unsigned long m_generation = 0;
    bool m_stopping = false;
    std::exception_ptr m_failure;
};

WorkerPool &pool()
{
    static WorkerPool instance;
    static std::once_flag started;
    std::call_once(started, [] { instance.resize(coresOfMachine()); });
    return instance;
}

} // namespace

void forEachItem(int count, const std::function<void(int item)> &work)
{
    pool().run(count, work);
}

void forEachItemInOrder(int count, const std::function<void(int item)> &make, const std::function<void(int item)> &put)
{
    // One thread at a time puts, without holding the lock: a thread that finishes an item while
    // another puts only marks it made, and goes on making, and the one putting takes it too.
    std::mutex state;
    std::vector<char> made(std::size_t(std::max(count, 0)), 0);
    int next = 0; // the first item not yet put
    bool putting = false, failed = false;
    forEachItem(count, [&](int item) {
        make(item);
        {
            const std::lock_guard lock(state);
            made[std::size_t(item)] = 1;
            if (putting || failed)
                return;
            putting = true;
        }
        for (;;) {
            int from = 0, end = 0;
            {
                const std::lock_guard lock(state);
                from = end = next;
                while (end < count && made[std::size_t(end)])
                    ++end;
                if (end == from) {
                    putting = false;
                    return;
                }
            }
            try {
                for (int k = from; k < end; ++k)
                    put(k);
            } catch (...) {
                const std::lock_guard lock(state);
                failed = true;
                putting = false;
                throw;
            }
            const std::lock_guard lock(state);
            next = end;
        }
    });
}

int workerCount()
{
    return pool().size();
}

void setWorkerCount(int count)
{
    pool().resize(count < 1 ? coresOfMachine() : count);
}

} // namespace qel

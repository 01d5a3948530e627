// The analytical run at its largest: 60 dates on a 400 x 400 grid with 1000 wells, the plume,
// its average, and the minimum-distance and WOLF grids.
#include "analysis/domenico.h"
#include "analysis/results_report.h"
#include "analysis/wolf.h"
#include "parallel/worker_pool.h"
#include "core/batch_frontend.h"

#include <QTemporaryDir>

#include "bench_site.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

struct LargestRun {
    LargestRun()
        : frontend(devNull, devNull)
        , session(frontend, home.path())
    {
        qel::ProjectModel &m = session.model;
        qel::bench::sixtyDatesOfOneTransport(m);
        m.Xsource = 100, m.Ysource = 300;
        m.PCLeft = 0, m.PCTop = 400, m.PCGridSpacing = 1, m.PCNumX = 400, m.PCNumY = 400, m.RoundXY = 0.01;
        std::mt19937 random(5);
        std::uniform_real_distribution<double> at(0, 400);
        m.NumWells = 1000;
        for (int k = 1; k <= 1000; ++k)
            m.WellX(k) = at(random), m.WellY(k) = at(random);
    }
    ~LargestRun() { std::fclose(devNull); }

    std::FILE *devNull = std::fopen("/dev/null", "w");
    QTemporaryDir home;
    qel::BatchFrontend frontend;
    qel::Session session;
};

// The plume of all 60 dates, the way the run computes it or one node at a time, into grids sized
// before the clock starts. The run reuses one buffer for every date; new grids on every pass would
// time the system's zeroing of 77 MB of fresh pages as well, which varies widely from run to run.
void plumesOfAllDates(qel::ProjectModel &m, qel::PlumeEvaluation how, std::vector<std::vector<double>> &dates)
{
    dates.resize(std::size_t(m.NumSamples));
    for (int s = 1; s <= m.NumSamples; ++s)
        qel::plumeOfDate(m, s, how, dates[std::size_t(s - 1)]);
}

double secondsFor(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The largest difference of a fast node from its one-node value, relative to that value.
double largestRelativeDifference(
    const std::vector<std::vector<double>> &fast, const std::vector<std::vector<double>> &plain)
{
    double largest = 0;
    for (std::size_t s = 0; s < plain.size(); ++s) {
        if (fast[s].size() != plain[s].size())
            return INFINITY;
        for (std::size_t n = 0; n < plain[s].size(); ++n) {
            const double difference = std::fabs(fast[s][n] - plain[s][n]);
            if (difference != 0)
                largest = std::max(largest, plain[s][n] != 0 ? difference / std::fabs(plain[s][n]) : INFINITY);
        }
    }
    return largest;
}

// The fast plume against the one-node evaluation of the same formula, timed in the same run: the
// values must agree within 1E-12 relative, node by node.
void PlumeFastAgainstOneNodeAtATime(benchmark::State &state)
{
    LargestRun run;
    qel::ProjectModel &m = run.session.model;
    std::vector<std::vector<double>> fast, plain;
    plumesOfAllDates(m, qel::PlumeEvaluation::Fast, fast);
    plumesOfAllDates(m, qel::PlumeEvaluation::OneNodeAtATime, plain);
    double fastSeconds = INFINITY, plainSeconds = INFINITY;
    for (auto _ : state) {
        fastSeconds = std::min(fastSeconds, secondsFor([&] { plumesOfAllDates(m, qel::PlumeEvaluation::Fast, fast); }));
        plainSeconds = std::min(
            plainSeconds, secondsFor([&] { plumesOfAllDates(m, qel::PlumeEvaluation::OneNodeAtATime, plain); }));
    }
    const double difference = largestRelativeDifference(fast, plain);
    state.counters["fast_s"] = fastSeconds;
    state.counters["one_node_s"] = plainSeconds;
    state.counters["speedup"] = plainSeconds / fastSeconds;
    state.counters["max_rel_diff"] = difference;
    if (!(difference <= 1e-12)) {
        std::fprintf(stderr, "plume: the fast run differs from the one-node evaluation by %g relative\n", difference);
        state.SkipWithError("fast plume differs from the one-node evaluation by more than 1e-12");
    }
}
BENCHMARK(PlumeFastAgainstOneNodeAtATime)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void PlumeWolfAndMinimumDistance(benchmark::State &state)
{
    LargestRun run;
    for (auto _ : state) {
        qel::Domenico(run.session);
        benchmark::DoNotOptimize(run.session.model.ConcMax);
    }
}
BENCHMARK(PlumeWolfAndMinimumDistance)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The rows of the table of targets: each prints its measured value beside its target.
void DomenicoSixtyDatesAndAverage(benchmark::State &state)
{
    LargestRun run;
    run.session.model.NumWells = 0; // WOLF then has no nearest well to look up
    double seconds = INFINITY;
    for (auto _ : state)
        seconds = std::min(seconds, secondsFor([&] { qel::Domenico(run.session); }));
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = 60;
}
BENCHMARK(DomenicoSixtyDatesAndAverage)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void PlumeTwoCoresAgainstOne(benchmark::State &state)
{
    LargestRun run;
    qel::ProjectModel &m = run.session.model;
    std::vector<std::vector<double>> dates;
    double one = INFINITY, two = INFINITY;
    for (auto _ : state) {
        qel::setWorkerCount(1);
        one = std::min(one, secondsFor([&] { plumesOfAllDates(m, qel::PlumeEvaluation::Fast, dates); }));
        qel::setWorkerCount(2);
        two = std::min(two, secondsFor([&] { plumesOfAllDates(m, qel::PlumeEvaluation::Fast, dates); }));
    }
    qel::setWorkerCount(0);
    state.counters["one_core_ms"] = one * 1e3;
    state.counters["two_cores_ms"] = two * 1e3;
    state.counters["measured_ratio"] = two / one;
    state.counters["target_ratio"] = 0.6;
}
BENCHMARK(PlumeTwoCoresAgainstOne)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Every node's distance to its nearest well by the loop over all wells, squared distances
// compared, the root taken once.
std::vector<double> bruteForceDistances(const qel::ProjectModel &m)
{
    std::vector<double> distances;
    for (int iy = 1; iy <= m.PCNumY; ++iy) {
        const double y = m.PCTop - (iy - 1) * m.PCGridSpacing;
        for (int ix = 1; ix <= m.PCNumX; ++ix) {
            const double x = m.PCLeft + (ix - 1) * m.PCGridSpacing;
            double d2 = 1E30;
            for (int k = 1; k <= m.NumWells; ++k) {
                const double e = (m.WellY(k) - y) * (m.WellY(k) - y) + (m.WellX(k) - x) * (m.WellX(k) - x);
                if (e < d2)
                    d2 = e;
            }
            distances.push_back(std::sqrt(d2));
        }
    }
    return distances;
}

// WOLF's distances must be exactly those of the loop over all wells.
void MinimumDistanceAndWolfOnly(benchmark::State &state)
{
    static LargestRun run;
    qel::Domenico(run.session);
    double seconds = INFINITY;
    for (auto _ : state)
        seconds = std::min(seconds, secondsFor([&] { qel::WOLF(run.session); }));
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = 20;
    const qel::ProjectModel &m = run.session.model;
    const std::vector<double> expected = bruteForceDistances(m);
    int differing = 0;
    for (int iy = 1; iy <= m.PCNumY; ++iy)
        for (int ix = 1; ix <= m.PCNumX; ++ix)
            differing
                += m.MinDistGrid(ix, iy) != expected[std::size_t(iy - 1) * std::size_t(m.PCNumX) + std::size_t(ix - 1)];
    state.counters["differing_nodes"] = differing;
    if (differing != 0) {
        std::fprintf(stderr, "wolf: %d nodes differ from the brute-force distances\n", differing);
        state.SkipWithError("minimum distances differ from the brute-force loop");
    }
}
BENCHMARK(MinimumDistanceAndWolfOnly)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void ResultsReport(benchmark::State &state)
{
    static LargestRun run;
    qel::Domenico(run.session);
    for (auto _ : state)
        benchmark::DoNotOptimize(qel::resultsReportBytes(run.session, QDate(2024, 1, 1)).size());
}
BENCHMARK(ResultsReport)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

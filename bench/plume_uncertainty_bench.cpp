// The Monte Carlo plume study: 500 parameter sets of 60 dates on a 200 x 150 grid, with three
// uncertain parameters, and its peak memory beside the run.
#include "analysis/domenico.h"
#include "analysis/plume_uncertainty.h"
#include "core/batch_frontend.h"

#include <QTemporaryDir>

#include "bench_site.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

struct StudyRun {
    StudyRun()
        : frontend(devNull, devNull)
        , session(frontend, home.path())
    {
        qel::ProjectModel &m = session.model;
        qel::bench::sixtyDatesOfOneTransport(m);
        m.Xsource = 50, m.Ysource = 250;
        m.PCLeft = 0, m.PCTop = 300, m.PCGridSpacing = 2, m.PCNumX = 200, m.PCNumY = 150, m.RoundXY = 0.01;
        m.NumWells = 3;
        m.WellX(1) = 150, m.WellY(1) = 200, m.WellX(2) = 250, m.WellY(2) = 150, m.WellX(3) = 300, m.WellY(3) = 100;
        qel::UncertaintyRanges &u = m.Uncertainty;
        u.ranges[0] = { qel::Distribution::LogUniform, 1, 0, 20 }; // K
        u.ranges[4] = { qel::Distribution::Uniform, 5, 0, 20 }; // AlphaX
        u.ranges[5] = { qel::Distribution::Triangular, 0.5, 1, 3 }; // AlphaY
    }
    ~StudyRun() { std::fclose(devNull); }

    std::FILE *devNull = std::fopen("/dev/null", "w");
    QTemporaryDir home;
    qel::BatchFrontend frontend;
    qel::Session session;
};

// The peak resident memory of this process since the last resetPeakMemory(), in MB; the
// benchmarks before this one ran in the same process, and their peaks are not the study's.
void resetPeakMemory()
{
    if (std::FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double peakMemoryMb()
{
    double kb = 0;
    if (std::FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %lf kB", &kb) == 1)
                break;
        std::fclose(f);
    }
    if (kb == 0) { // no such file: the whole process's peak, which is at least the study's
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        kb = double(usage.ru_maxrss);
    }
    return kb / 1024;
}

void PlumeUncertaintyFiveHundredSets(benchmark::State &state)
{
    resetPeakMemory();
    StudyRun run;
    double seconds = INFINITY;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = qel::studyPlumeUncertainty(run.session.model, { 500, 1, 1 }, nullptr);
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(result);
    }
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = 10000;
    state.counters["peak_mb"] = peakMemoryMb();
    state.counters["target_peak_mb"] = 300;
}
BENCHMARK(PlumeUncertaintyFiveHundredSets)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

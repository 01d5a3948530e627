// The analytical run at its largest: 60 dates on a 400 x 400 grid with 1000 wells, the plume,
// its average, and the minimum-distance and WOLF grids.
#include "analysis/domenico.h"
#include "analysis/results_report.h"
#include "analysis/wolf.h"
#include "core/batch_frontend.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace {

struct LargestRun {
    LargestRun()
        : frontend(devNull, devNull)
        , session(frontend, home.path())
    {
        qel::ProjectModel &m = session.model;
        m.NumSamples = 60;
        for (int s = 1; s <= 60; ++s) {
            m.Magnitude(s) = 0.004 + 0.0001 * s;
            m.Direction(s) = 120 + s % 20;
        }
        m.K = 5, m.Porosity = 0.3, m.AlphaX = 10, m.AlphaY = 1, m.RetFactor = 1.5, m.Decay = true;
        m.HalfLife = 730, m.Time = 3650, m.Swidth = 20, m.C0 = 1000, m.Xsource = 100, m.Ysource = 300;
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

void PlumeWolfAndMinimumDistance(benchmark::State &state)
{
    LargestRun run;
    for (auto _ : state) {
        qel::Domenico(run.session);
        benchmark::DoNotOptimize(run.session.model.ConcMax);
    }
}
BENCHMARK(PlumeWolfAndMinimumDistance)->Unit(benchmark::kMillisecond)->Iterations(3);

void MinimumDistanceAndWolfOnly(benchmark::State &state)
{
    static LargestRun run;
    qel::Domenico(run.session);
    for (auto _ : state)
        qel::WOLF(run.session);
}
BENCHMARK(MinimumDistanceAndWolfOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

void ResultsReport(benchmark::State &state)
{
    static LargestRun run;
    qel::Domenico(run.session);
    for (auto _ : state)
        benchmark::DoNotOptimize(qel::resultsReportBytes(run.session, QDate(2024, 1, 1)).size());
}
BENCHMARK(ResultsReport)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

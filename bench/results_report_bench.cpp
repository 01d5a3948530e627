// The results report of the largest project written to its file, as File > Export Model Results
// and `qel --batch --results` write it (about 100 MB).
#include "analysis/results_report.h"
#include "largest_session.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

void ResultsReportOfLargestProject(benchmark::State &state)
{
    static qel::bench::LargestSession run;
    const QString path = run.home.filePath(QStringLiteral("QELResults.out"));
    double seconds = INFINITY;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!qel::writeResultsReport(run.session, path))
            state.SkipWithError("the results report was not written");
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = 1500;
}
BENCHMARK(ResultsReportOfLargestProject)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

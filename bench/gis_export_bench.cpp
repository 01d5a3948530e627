// The GIS export of the largest project: 63 grids as GeoTIFF and ASCII grid, and results.gpkg
// with the wells and the bands of the three views.
#include "largest_session.h"
#include "views/gis_export.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

void GisExportOfLargestProject(benchmark::State &state)
{
    static qel::bench::LargestSession run;
    const QString dir = run.home.filePath(QStringLiteral("gis"));
    double seconds = INFINITY;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!qel::exportGridsForGis(run.session, dir, qel::ExistingGisFiles::Replace))
            state.SkipWithError("the GIS export failed");
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = 2000;
}
BENCHMARK(GisExportOfLargestProject)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

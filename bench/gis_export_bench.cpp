// The GIS export of the largest project: 63 grids as GeoTIFF and ASCII grid, and results.gpkg
// with the wells and the bands of the three views.
#include "largest_session.h"
#include "views/ascii_grid_writer.h"
#include "views/gis_export.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

qel::bench::LargestSession &largest()
{
    static qel::bench::LargestSession run;
    return run;
}

void GisExportOfLargestProject(benchmark::State &state)
{
    qel::bench::LargestSession &run = largest();
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

// The text of one 400 x 400 ASCII grid (the average plume), the part of the export that used to
// take longest; every core formats its rows.
void AsciiGridOfOnePlume(benchmark::State &state)
{
    const qel::ProjectModel &m = largest().session.model;
    std::vector<double> values;
    for (int iy = 1; iy <= m.PCNumY; ++iy)
        for (int ix = 1; ix <= m.PCNumX; ++ix)
            values.push_back(m.Conc(ix, iy, m.NumSamples + 1));
    const std::array<double, 6> transform
        = { m.PCLeft - m.PCGridSpacing / 2, m.PCGridSpacing, 0, m.PCTop + m.PCGridSpacing / 2, 0, -m.PCGridSpacing };
    for (auto _ : state)
        benchmark::DoNotOptimize(qel::asciiGridText(m.PCNumX, m.PCNumY, transform, qel::GisNoData, values));
}
BENCHMARK(AsciiGridOfOnePlume)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// Reading the largest project's tables (1000 wells, 60 dates of their levels) through the table
// reader, from the files bench/reading_inputs.py writes into $QEL_BENCH_DATA.
#include "input/table_access.h"

#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

struct TableFile {
    const char *file, *driver, *table;
};

// Both tables of one format, read as a project open reads them; target in milliseconds.
void readTables(benchmark::State &state, std::initializer_list<TableFile> tables, double targetMs)
{
    const QDir data(qEnvironmentVariable("QEL_BENCH_DATA"));
    double seconds = INFINITY;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        try {
            for (const TableFile &t : tables) {
                const qel::Table table = qel::openTable(
                    data.filePath(QLatin1String(t.file)), QLatin1String(t.driver), QLatin1String(t.table));
                benchmark::DoNotOptimize(table.recordCount());
            }
        } catch (...) {
            state.SkipWithError(
                "cannot read the bench tables (bench/reading_inputs.py writes them into $QEL_BENCH_DATA)");
            return;
        }
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = targetMs;
}

void ReadingCsv(benchmark::State &state)
{
    readTables(state, { { "wells.csv", "Text", "wells" }, { "levels.csv", "Text", "levels" } }, 20);
}
BENCHMARK(ReadingCsv)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void ReadingXlsx(benchmark::State &state)
{
    readTables(
        state, { { "tables.xlsx", "Excel 12.0 Xml", "Wells" }, { "tables.xlsx", "Excel 12.0 Xml", "Levels" } }, 100);
}
BENCHMARK(ReadingXlsx)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void ReadingXls(benchmark::State &state)
{
    readTables(state, { { "tables.xls", "Excel 8.0", "Wells" }, { "tables.xls", "Excel 8.0", "LevelsByWell" } }, 100);
}
BENCHMARK(ReadingXls)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

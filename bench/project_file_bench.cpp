// Opening and saving a project: the fixed cost under every File > Open and every batch run.
#include "core/batch_frontend.h"
#include "core/project_file.h"
#include "core/project_open.h"
#include "core/startup.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct BenchSession {
    BenchSession()
        : frontend(devNull, devNull)
        , session(frontend, home.path())
    {
        QFile ini(home.filePath(QStringLiteral("QEL.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[QEL]\r\n");
        ini.close();
        qel::startUp(session);
        project = home.filePath(QStringLiteral("alpha-site.prj"));
        QFile::copy(QStringLiteral(QEL_EXAMPLES "/alpha-site.prj"), project);
    }
    ~BenchSession() { std::fclose(devNull); }

    std::FILE *devNull = std::fopen("/dev/null", "w");
    QTemporaryDir home;
    qel::BatchFrontend frontend;
    qel::Session session;
    QString project;
};

void OpenProject(benchmark::State &state)
{
    BenchSession bench;
    for (auto _ : state)
        benchmark::DoNotOptimize(qel::openProject(bench.session, bench.project));
}
BENCHMARK(OpenProject)->Unit(benchmark::kMicrosecond);

void SaveProject(benchmark::State &state)
{
    BenchSession bench;
    qel::openProject(bench.session, bench.project);
    for (auto _ : state)
        benchmark::DoNotOptimize(qel::SaveProjectFile(bench.session));
}
BENCHMARK(SaveProject)->Unit(benchmark::kMicrosecond);

} // namespace

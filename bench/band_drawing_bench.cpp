// Drawing a plume as coloured bands at the largest grid: 400 x 400 nodes in 5 levels with their
// legend, the layer file written and the map's layers reloaded from their files; with a repaint
// of a 1600 x 1000 view on top (argument 1), what the person waits for after "Draw Plume".
#include "analysis/wolf.h"
#include "core/batch_frontend.h"
#include "core/startup.h"
#include "largest_session.h"
#include "map/drawing_component.h"
#include "map/map_renderer.h"
#include "map/map_session.h"
#include "views/contour_bands.h"
#include "views/contour_kinds.h"
#include "views/map_wells.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Nodes = 400;
constexpr int Levels = 5;
const QSize ViewSize(1600, 1000);

struct LargestPlume {
    LargestPlume()
        : frontend(devNull, devNull)
        , session(frontend, home.path())
    {
        qel::startUp(session);
        session.ErrorText.clear(); // the missing QEL.ini of a fresh folder
        qel::ProjectModel &m = session.model;
        m.ProjectDir = home.path() + QStringLiteral("/site/");
        QDir().mkpath(m.ProjectDir);
        m.PCLeft = 0, m.PCTop = Nodes, m.PCGridSpacing = 1, m.PCNumX = Nodes, m.PCNumY = Nodes;
        m.MapRight = Nodes, m.MapTop = Nodes, m.MapTextSize = 8, m.RoundXY = 1;
        m.ConcUnits = QStringLiteral("ug/L"), m.DistUnits = QStringLiteral("m");
        m.NumSamples = 1;
        m.SampleDate(1) = QDate(2024, 3, 15);
        m.Conc.allocate(Nodes, Nodes, 2);
        // An elongated plume from a source near the west edge: every level crosses many rows.
        for (int iy = 1; iy <= Nodes; ++iy) {
            for (int ix = 1; ix <= Nodes; ++ix) {
                const double along = ix / 400.0, across = (iy - 200) / 60.0;
                m.Conc(ix, iy, 1) = 1000 * std::exp(-3 * along - across * across / (0.2 + along));
            }
        }
        qel::ContourView &v = m.PC;
        v.NumLevels = Levels, v.LineWidth = 1, v.Legend = true, v.LegendX = 10, v.LegendY = 390;
        for (int i = 1; i <= Levels; ++i) {
            v.CMin(i) = i == 1 ? 0.001 : 200.0 * (i - 1);
            v.CMax(i) = 200.0 * i;
            v.CColor(i) = (Levels - i) % 5 + 1;
        }
    }
    ~LargestPlume() { std::fclose(devNull); }

    std::FILE *devNull = std::fopen("/dev/null", "w");
    QTemporaryDir home;
    qel::BatchFrontend frontend;
    qel::Session session;
};

void DrawPlumeBands(benchmark::State &state)
{
    static LargestPlume plume;
    qel::Session &s = plume.session;
    QImage target(ViewSize, QImage::Format_ARGB32_Premultiplied);
    const qel::DrawingComponent &map = qel::drawingOf(s);
    const qel::MapViewTransform transform(
        QRectF(0, 0, Nodes, Nodes), QRectF(QPointF(0, 0), QSizeF(ViewSize)), qel::mapYDown(map));
    for (auto _ : state) {
        qel::mapContourBands(s, qel::ContourKind::Plume, 1);
        if (state.range(0) == 1) {
            QPainter painter(&target);
            qel::renderMap(painter, map, transform);
        }
        benchmark::ClobberMemory();
    }
    if (!s.ErrorText.isEmpty())
        state.SkipWithError(s.ErrorText.toStdString().c_str());
    state.counters["entities"] = double(map.drawing(qel::PlumesDrawing).entities.size());
}
BENCHMARK(DrawPlumeBands)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The replay's three contour views of the largest project (the plume of its ninth date, the minimum
// distance and WOLF), each drawn as bands into its layer file with the map's layers written and
// loaded again around it; the wells are on the map as in the replay.
void ReplayContourBandsOfLargestProject(benchmark::State &state)
{
    static qel::bench::LargestSession run;
    qel::Session &s = run.session;
    static const bool prepared = [&] {
        s.model.ProjectDir = run.home.filePath(QStringLiteral("site/"));
        QDir().mkpath(s.model.ProjectDir);
        s.model.MapRight = 400, s.model.MapTop = 400, s.model.MapTextSize = 8;
        qel::WOLF(s);
        qel::MapWells(s);
        return true;
    }();
    (void)prepared;
    double seconds = INFINITY;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        qel::mapContourBands(s, qel::ContourKind::Plume, 9);
        qel::mapContourBands(s, qel::ContourKind::MinDist, 1);
        qel::mapContourBands(s, qel::ContourKind::Wolf, 1);
        seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (!s.ErrorText.isEmpty())
        state.SkipWithError(s.ErrorText.toStdString().c_str());
    state.counters["measured_ms"] = seconds * 1e3;
    state.counters["target_ms"] = 150;
}
BENCHMARK(ReplayContourBandsOfLargestProject)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

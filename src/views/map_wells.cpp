#include "views/map_wells.h"

#include "core/paths.h"
#include "core/reporting.h"
#include "map/map_session.h"
#include "views/layer_redraw.h"

namespace qel {

void MapWells(Session &session)
{
    ProjectModel &m = session.model;
    if (!m.MapReady)
        return;
    guarded(session, QStringLiteral("Wells:MapWells"), [&] {
        Redraw(session, WellsDrawing);
        DrawingComponent &map = drawingOf(session);
        map.SelectDrawing(WellsDrawing);
        if (!CreateTempPathIfNeeded(session))
            return;
        map.NewDrawingFile(layerFilePath(session, WellsDrawing), 24);
        map.AddLayer(QStringLiteral("WELLS"), 1, 2);
        session.frontend().showMapWindow();
        // The wells come from the list the reader stored (invalid coordinates already 0) rather
        // than from the cells again. One text style and one drawing for all wells: switching
        // drawings per well would store the layer file once per well.
        map.AddTextStyle(QStringLiteral("STANDARD"), QStringLiteral("Arial"), 400, 0, 1.0);
        const double size = m.MapTextSize;
        for (int k = 1; k <= m.NumWells; ++k) {
            const double x = m.WellX(k), y = m.WellY(k);
            if (x == 0 && y == 0)
                continue;
            map.AddPoint({}, x, y);
            map.SetEntityProperty(QStringLiteral("ELINE"), QStringLiteral("3"));
            map.SetEntityProperty(QStringLiteral("ECOLOR"), QStringLiteral("1"));
            map.SetEntityProperty(QStringLiteral("LAYER"), QStringLiteral("WELLS"));
            map.SetEntityColor(map.LastEntityHandle(), 1);
            map.AddText(QStringLiteral("X ") + QString::number(k), x + size, y, QStringLiteral("LM"), 0.9 * size, 1.0,
                0, m.WellID(k));
            map.SetEntityProperty(QStringLiteral("ECOLOR"), QStringLiteral("1"));
            map.SetEntityColor(map.LastEntityHandle(), 1);
        }
        map.SelectDrawing(BaseDrawing);
        session.frontend().showMapWindow();
        session.layers.setText(LayerKey::Wells, QStringLiteral("Wells (") + QString::number(m.NumWells) + u')');
        session.layers.enable(LayerKey::Wells);
        session.layers.tick(LayerKey::Wells);
        session.frontend().layersChanged();
        WriteLog(session, QStringLiteral("Wells: Mapped ") + QString::number(m.NumWells) + QStringLiteral(" wells."));
        Redraw(session, 0);
        m.WEmapped = true;
    });
}

void wellsMapWellsClicked(Session &session, const WellsWizard &wizard)
{
    if (wizard.eventSource == EventSource::User)
        WriteLog(session, QStringLiteral("Wells: [Map Wells]"));
    MapWells(session);
}

void replayWellLocations(Session &session)
{
    WellsWizard wizard;
    openWellsWizard(session, wizard);
    if (session.model.WEmapped) {
        session.setStatus(QStringLiteral("Displaying well data..."));
        MapWells(session);
    }
}

} // namespace qel

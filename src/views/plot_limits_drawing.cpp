#include "views/plot_limits_drawing.h"

#include "core/paths.h"
#include "core/reporting.h"
#include "map/map_session.h"
#include "views/layer_redraw.h"

namespace qel {

void MapPlotLimits(Session &session)
{
    guarded(session, QStringLiteral("PlotLmts:cmdMapLimits"), [&] {
        ProjectModel &m = session.model;
        if (!CreateTempPathIfNeeded(session))
            return;
        Redraw(session, PlotLimitsDrawing);
        DrawingComponent &map = drawingOf(session);
        map.SelectDrawing(PlotLimitsDrawing);
        map.NewDrawingFile(layerFilePath(session, PlotLimitsDrawing), 24);
        map.AddLayer(QStringLiteral("MAPLIMITS"), 5, 1);
        map.SetUpdate(0);
        const auto rectangle = [&](double left, double bottom, double right, double top, int color) {
            const double corners[5][2]
                = { { left, bottom }, { right, bottom }, { right, top }, { left, top }, { left, bottom } };
            for (int i = 0; i < 4; ++i) {
                map.AddLine({}, corners[i][0], corners[i][1], corners[i + 1][0], corners[i + 1][1]);
                map.SetEntityProperty(QStringLiteral("ELINE"), QString::number(m.WLLineWidth));
                map.SetEntityProperty(QStringLiteral("ECOLOR"), QStringLiteral("5"));
                map.SetEntityProperty(QStringLiteral("LAYER"), QStringLiteral("PLOTLIMITS"));
                map.SetEntityColor(map.LastEntityHandle(), color);
            }
        };
        rectangle(m.PLLeft, m.PLBottom, m.PLRight, m.PLTop, 5);
        rectangle(m.PCLeft, m.PCBottom, m.PCRight, m.PCTop, 6);
        map.SelectDrawing(BaseDrawing);
        map.SetUpdate(1);
        session.layers.enable(LayerKey::PlotLimits);
        session.layers.tick(LayerKey::PlotLimits);
        session.frontend().layersChanged();
        Redraw(session, 0);
        session.checkNode(Step::PlotLimits);
        m.PLmapped = true;
    });
}

} // namespace qel

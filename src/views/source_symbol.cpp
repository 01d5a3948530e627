#include "views/source_symbol.h"

#include "core/paths.h"
#include "core/reporting.h"
#include "map/map_session.h"
#include "views/layer_redraw.h"

#include <algorithm>

namespace qel {

double sourceSymbolHalfSize(const ProjectModel &m)
{
    double s = std::min(m.MapRight - m.MapLeft, m.MapTop - m.MapBottom) * 0.025;
    if (m.Swidth > 0 && 0.5 * s <= m.Swidth && m.Swidth <= 2 * s)
        s = m.Swidth;
    return s * 0.5;
}

void MapSource(Session &session)
{
    guarded(session, QStringLiteral("Source:MapSource"), [&] {
        ProjectModel &m = session.model;
        if (!CreateTempPathIfNeeded(session))
            return;
        Redraw(session, SourceDrawing);
        DrawingComponent &map = drawingOf(session);
        map.SelectDrawing(SourceDrawing);
        map.NewDrawingFile(layerFilePath(session, SourceDrawing), 24);
        map.AddLayer(QStringLiteral("SOURCE"), 5, 1);
        const double s = sourceSymbolHalfSize(m);
        map.SelectDrawing(SourceDrawing);
        const auto style = [&map] {
            map.SetEntityProperty(QStringLiteral("ELINE"), QStringLiteral("2"));
            map.SetEntityProperty(QStringLiteral("ECOLOR"), QStringLiteral("1"));
            map.SetEntityProperty(QStringLiteral("LAYER"), QStringLiteral("SOURCE"));
            map.SetEntityColor(map.LastEntityHandle(), 1);
        };
        map.AddLine({}, m.Xsource, m.Ysource - s, m.Xsource, m.Ysource + s);
        style();
        map.AddLine({}, m.Xsource - s, m.Ysource, m.Xsource + s, m.Ysource);
        style();
        map.AddCircle({}, m.Xsource, m.Ysource, s);
        style();
        map.SelectDrawing(BaseDrawing);
        session.layers.enable(LayerKey::Source);
        session.layers.tick(LayerKey::Source);
        session.frontend().layersChanged();
        m.SLmapped = true;
        Redraw(session, 0);
    });
}

} // namespace qel

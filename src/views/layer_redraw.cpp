#include "views/layer_redraw.h"

#include "core/reporting.h"
#include "map/map_session.h"

namespace qel {

std::vector<int> redrawSequence(const Session &session, int except)
{
    std::vector<int> sequence;
    for (const int drawing : LayerTreeState::redrawOrder()) {
        if (drawing == except)
            continue;
        for (const LayerNode &node : session.layers.nodes())
            if (node.drawing == drawing && node.state == CheckState::All)
                sequence.push_back(drawing);
    }
    return sequence;
}

QString layerFilePath(const Session &session, int drawing)
{
    for (const LayerNode &node : session.layers.nodes())
        if (node.drawing == drawing)
            return session.model.ProjectDir + QStringLiteral("Temp/") + node.fileBase;
    return {};
}

void Redraw(Session &session, int except)
{
    guarded(session, QStringLiteral("Layers:Redraw"), [&] {
        DrawingComponent &map = drawingOf(session);
        map.ClearOverlays(0);
        // A missing file stops here: the layers after it in the order stay hidden.
        for (const int drawing : redrawSequence(session, except)) {
            map.SelectDrawing(drawing);
            map.LoadDrawingFile(layerFilePath(session, drawing));
            map.Regenerate();
        }
    });
}

} // namespace qel

#include "views/layer_redraw.h"

#include "core/reporting.h"

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
        // With the drawing component: ClearOverlays(0), then per drawing SelectDrawing(drawing),
        // LoadDrawingFile(file), Regenerate(). Until it exists the map has nothing to show.
        for (const int drawing : redrawSequence(session, except)) {
            const QString file = layerFilePath(session, drawing);
            Q_UNUSED(file)
        }
    });
}

} // namespace qel

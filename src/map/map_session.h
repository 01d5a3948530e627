#pragma once

#include "core/session.h"
#include "map/drawing_component.h"

namespace qel {

// The map's state kept with the session: the drawing component that holds the base map and the
// result drawings, for the workbench, batch runs and tests alike.
struct MapPart : SessionPart {
    explicit MapPart(Session &session)
        : drawing(session.frontend())
        , frontend(session.frontend())
    {
    }
    // The base map and every drawing go with the project; the layer files stay until removed.
    void projectCleared() override
    {
        auto refresh = drawing.refreshHandler();
        drawing = DrawingComponent(frontend);
        drawing.setRefreshHandler(std::move(refresh));
    }

    void projectFolderMoved(const QString &fromDir, const QString &toDir) override
    {
        drawing.moveDrawingFiles(fromDir + QStringLiteral("Temp/"), toDir + QStringLiteral("Temp/"));
    }

    DrawingComponent drawing;
    Frontend &frontend;
};

inline DrawingComponent &drawingOf(Session &session)
{
    return session.part<MapPart>().drawing;
}

} // namespace qel

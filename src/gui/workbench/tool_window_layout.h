#pragma once

#include <QRect>

#include <optional>

namespace qel::gui {

// Where the outline, layer and message windows go in a document area of the given size: the
// outline top-left with the layer window below it, the message window bottom-right, each inside
// the area and none of them empty, whatever its size.
// outlineWidth: what the longest step caption needs. outlinePlaced: where the person left the
// outline; it stays there, fitted inside the area with room for the layer window below it, and
// the layer window goes below wherever it is.
struct ToolWindowGeometry {
    QRect outline;
    QRect layers;
    QRect message;
};

struct ToolWindowInput {
    QRect area;
    int outlineWidth = 260;
    std::optional<QRect> outlinePlaced;
};

// Empty rectangles for an area too small to lay out (being created or minimised).
ToolWindowGeometry toolWindowLayout(const ToolWindowInput &input);

} // namespace qel::gui

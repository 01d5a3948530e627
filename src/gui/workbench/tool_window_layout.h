#pragma once

#include <QRect>

namespace qel::gui {

// Where the outline, layer and message windows go in a document area of the given size.
// outlineWidth: what the longest step caption needs. When the outline was placed before, only its
// bottom edge is given and the layer window goes below wherever the person left it.
struct ToolWindowGeometry {
    QRect outline;
    QRect layers;
    QRect message;
};

struct ToolWindowInput {
    QRect area;
    int outlineWidth = 260;
    bool outlinePlaced = false;
    int outlineBottom = 0; // used when outlinePlaced
};

// Empty rectangles for an area too small to lay out.
ToolWindowGeometry toolWindowLayout(const ToolWindowInput &input);

} // namespace qel::gui

#include "gui/workbench/tool_window_layout.h"

#include "gui/workbench/child_placement.h"

#include <algorithm>

namespace qel::gui {

namespace {

constexpr int SmallestArea = 50; // below this the area is being created or minimised
constexpr int SideMinimum = 200;
constexpr int SideMaximumPercent = 45; // the steps never take most of the area
constexpr int OutlineHeightPercent = 62;
constexpr int OutlineSmallestHeight = 100;
constexpr int LayersSmallestHeight = 120; // left below the outline for the layer window
constexpr int MessageWidthPercent = 45;
constexpr int MessageWidthMinimum = 280;
constexpr int MessageWidthMaximum = 520;
constexpr int MessageHeightPercent = 30;
constexpr int MessageHeightMinimum = 120;
constexpr int MessageHeightMaximum = 200;

} // namespace

ToolWindowGeometry toolWindowLayout(const ToolWindowInput &input)
{
    const int width = input.area.width();
    const int height = input.area.height();
    if (width < SmallestArea || height < SmallestArea)
        return {};
    ToolWindowGeometry g;
    // The left column never takes more than half the area, so the message window has the rest.
    const int side
        = std::min(std::clamp(input.outlineWidth, SideMinimum, std::max(SideMinimum, width * SideMaximumPercent / 100)),
            width / 2);
    const int layersHeight = std::min(LayersSmallestHeight, height * 2 / 5);
    const int outlineBottomMost = height - layersHeight;
    if (input.outlinePlaced) {
        const QRect &left = *input.outlinePlaced;
        const int outlineHeight
            = std::clamp(left.height(), std::min(OutlineSmallestHeight, outlineBottomMost), outlineBottomMost);
        g.outline = fitInside(
            QRect(left.topLeft(), QSize(left.width(), outlineHeight)), QRect(0, 0, width, outlineBottomMost));
    } else {
        const int outlineHeight = std::clamp(
            height * OutlineHeightPercent / 100, std::min(SideMinimum, outlineBottomMost), outlineBottomMost);
        g.outline = QRect(0, 0, side, outlineHeight);
    }
    const int layersTop = g.outline.bottom() + 1;
    g.layers = QRect(0, layersTop, side, height - layersTop);
    const int messageWidth = std::min(
        std::clamp(width * MessageWidthPercent / 100, MessageWidthMinimum, MessageWidthMaximum), width - side);
    const int messageHeight
        = std::min(std::clamp(height * MessageHeightPercent / 100, MessageHeightMinimum, MessageHeightMaximum), height);
    g.message = QRect(width - messageWidth, height - messageHeight, messageWidth, messageHeight);
    return g;
}

} // namespace qel::gui

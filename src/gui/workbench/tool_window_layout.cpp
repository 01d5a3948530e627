#include "gui/workbench/tool_window_layout.h"

#include <algorithm>

namespace qel::gui {

namespace {

constexpr int SmallestArea = 50; // below this the area is being created or minimised
constexpr int SideMinimum = 200;
constexpr int SideMaximumPercent = 45; // the steps never take most of the area
constexpr int OutlineHeightPercent = 62;
constexpr int LayersMinimumHeight = 150; // left below the outline for the layer window
constexpr int LayersSmallestHeight = 120;
constexpr int MessageWidthPercent = 45;
constexpr int MessageWidthMinimum = 280;
constexpr int MessageWidthMaximum = 520;
constexpr int MessageHeightPercent = 30;
constexpr int MessageHeightMinimum = 120;
constexpr int MessageHeightMaximum = 200;

} // namespace

ToolWindowGeometry toolWindowLayout(const ToolWindowInput &input)
{
    const QRect &area = input.area;
    if (area.width() < SmallestArea || area.height() < SmallestArea)
        return {};
    ToolWindowGeometry g;
    const int side
        = std::clamp(input.outlineWidth, SideMinimum, std::max(SideMinimum, area.width() * SideMaximumPercent / 100));
    const int shortest = std::min(SideMinimum, area.height());
    const int outlineHeight = std::clamp(
        area.height() * OutlineHeightPercent / 100, shortest, std::max(area.height() - LayersMinimumHeight, shortest));
    g.outline = QRect(0, 0, side, outlineHeight);
    const int outlineBottom = input.outlinePlaced ? input.outlineBottom : outlineHeight;
    g.layers = QRect(0, outlineBottom, side, std::max(LayersSmallestHeight, area.height() - outlineBottom));
    const int messageWidth
        = std::clamp(area.width() * MessageWidthPercent / 100, MessageWidthMinimum, MessageWidthMaximum);
    const int messageHeight
        = std::clamp(area.height() * MessageHeightPercent / 100, MessageHeightMinimum, MessageHeightMaximum);
    g.message = QRect(area.width() - messageWidth, area.height() - messageHeight, messageWidth, messageHeight);
    return g;
}

} // namespace qel::gui

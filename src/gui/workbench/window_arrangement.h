#pragma once

class QMdiArea;

namespace qel::gui {

// Window > Tile Horizontal: the open child windows one above the other, each the full width.
void tileHorizontal(QMdiArea *area);
// Window > Tile Vertical: the open child windows side by side, each the full height.
void tileVertical(QMdiArea *area);
// Window > Arrange Icons: minimised child windows in a row along the bottom edge.
void arrangeIcons(QMdiArea *area);

} // namespace qel::gui

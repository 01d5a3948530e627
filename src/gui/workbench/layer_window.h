#pragma once

#include "gui/common/child_form.h"

namespace qel::gui {

class CheckTree;

// frmLayers: the seven result layers over the base map. A press on an enabled layer shows or
// hides it and redraws the map; the space bar only changes the tick.
class LayerWindow : public ChildForm {
    Q_OBJECT
public:
    explicit LayerWindow(Session &session, QWidget *parent = nullptr);

    CheckTree *tree() const { return m_tree; }
    // Shows session.layers again (ticks, grey text, node texts).
    void refresh();
    // Toggles an enabled layer; with redraw the map is drawn again. Returns whether it changed.
    bool toggleLayer(LayerKey key, bool redraw);

private:
    CheckTree *m_tree;
};

} // namespace qel::gui

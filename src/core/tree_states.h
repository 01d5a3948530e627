#pragma once

#include "core/workflow_steps.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qel {

// Check image of a tree node: empty box, partly checked, checked.
enum class CheckState { None, Some, All };

QString checkStateName(CheckState state);

struct OutlineNode {
    Step step;
    QString caption;
    std::optional<Step> parent; // nothing for the three top nodes
    CheckState state = CheckState::None;
    bool enabled = true;
};

// The workflow outline's nodes and their check states. The window only shows them, so that the
// project reader and batch runs mark steps the same way the workbench does.
class OutlineState {
public:
    OutlineState();

    const std::vector<OutlineNode> &nodes() const { return m_nodes; }
    OutlineNode &node(Step step);
    const OutlineNode &node(Step step) const;
    CheckState state(Step step) const { return node(step).state; }
    std::vector<Step> children(Step step) const;

    void initiate(); // every node "None"
    void uncheck(Step step); // "All"/"Some" become "None"
    void toggle(Step step); // "None"/"Some" become "All", "All" becomes "None"
    void setSubtree(Step step); // descendants take the node's state
    void setEnabled(Step step, bool enabled) { node(step).enabled = enabled; }
    // Marks a step done without touching the project; Session::checkNode also marks the change.
    void check(Step step) { node(step).state = CheckState::All; }

private:
    std::vector<OutlineNode> m_nodes;
};

// The result layers over the base map, in tree order.
enum class LayerKey {
    Wells,
    PlotLimits,
    Source,
    WlContours,
    Plumes,
    MinDistances,
    WolfFactor,
    // The studies beside the plume, listed only once drawn.
    Detection,
    ExactPlume,
    ExactDifference,
};

struct LayerNode {
    LayerKey key;
    QString text;
    int drawing = 0;
    QString fileBase; // base name of the layer file under the project's Temp folder
    CheckState state = CheckState::None;
    bool enabled = false;
    // A study's layer: the tree lists it only while it is enabled, so that a project without the
    // study shows the seven layers it always had.
    bool listedWhenEnabled = false;
};

// The result layers over the base map: tick and enabled state of each, in tree order.
class LayerTreeState {
public:
    LayerTreeState();

    const std::vector<LayerNode> &nodes() const { return m_nodes; }
    LayerNode &node(LayerKey key);
    const LayerNode &node(LayerKey key) const;
    LayerNode *findByDrawing(int drawing);

    void initiate(); // every node unticked and disabled, texts as built
    void enable(LayerKey key) { node(key).enabled = true; }
    void disable(LayerKey key) { node(key).enabled = false; }
    void tick(LayerKey key) { node(key).state = CheckState::All; }
    void untick(LayerKey key) { node(key).state = CheckState::None; }
    // User toggle: only enabled nodes change; returns whether it did.
    bool toggle(LayerKey key);
    void setText(LayerKey key, const QString &text) { node(key).text = text; }

    // Drawing numbers in the order Redraw loads them: bands first, the source mark last.
    static const std::vector<int> &redrawOrder();

private:
    std::vector<LayerNode> m_nodes;
};

} // namespace qel

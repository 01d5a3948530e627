#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace qel {

// Check image of a tree node: empty box, partly checked, checked.
enum class CheckState { None, Some, All };

QString checkStateName(CheckState state);

struct OutlineNode {
    QString caption;
    QString key;
    QString parentKey; // "" for the three top nodes
    CheckState state = CheckState::None;
    bool enabled = true;
};

// The workflow outline's nodes and their check states. The window only shows them, so that the
// project reader and batch runs mark steps the same way the workbench does.
class OutlineState {
public:
    OutlineState();

    const std::vector<OutlineNode> &nodes() const { return m_nodes; }
    OutlineNode *find(const QString &key);
    const OutlineNode *find(const QString &key) const;
    CheckState state(const QString &key) const;
    QStringList children(const QString &key) const;

    void initiate(); // every node "None"
    void uncheck(const QString &key); // "All"/"Some" become "None"
    void toggle(const QString &key); // "None"/"Some" become "All", "All" becomes "None"
    void setSubtree(const QString &key); // descendants take the node's state
    void setEnabled(const QString &key, bool enabled);
    // Marks a step done without touching the project; Session::checkNode also marks the change.
    void check(const QString &key);

private:
    std::vector<OutlineNode> m_nodes;
};

struct LayerNode {
    QString key;
    QString text;
    int drawing = 0;
    QString fileBase; // base name of the layer file under the project's Temp folder
    CheckState state = CheckState::None;
    bool enabled = false;
};

// The seven result layers over the base map: tick and enabled state of each, in tree order.
class LayerTreeState {
public:
    LayerTreeState();

    const std::vector<LayerNode> &nodes() const { return m_nodes; }
    LayerNode *find(const QString &key);
    const LayerNode *find(const QString &key) const;
    LayerNode *findByDrawing(int drawing);

    void initiate(); // every node unticked and disabled, texts as built
    void enable(const QString &key) { setEnabled(key, true); }
    void disable(const QString &key) { setEnabled(key, false); }
    void tick(const QString &key);
    void untick(const QString &key);
    // User toggle: only enabled nodes change; returns whether it did.
    bool toggle(const QString &key);
    void setText(const QString &key, const QString &text);

    // Drawing numbers in the order Redraw loads them: bands first, the source mark last.
    static const std::vector<int> &redrawOrder();

private:
    void setEnabled(const QString &key, bool enabled);
    std::vector<LayerNode> m_nodes;
};

} // namespace qel

#include "core/tree_states.h"

namespace qel {

QString checkStateName(CheckState state)
{
    switch (state) {
    case CheckState::None: return QStringLiteral("None");
    case CheckState::Some: return QStringLiteral("Some");
    case CheckState::All: return QStringLiteral("All");
    }
    return {};
}

namespace {

CheckState toggled(CheckState s)
{
    return s == CheckState::All ? CheckState::None : CheckState::All;
}

} // namespace

OutlineState::OutlineState()
{
    const struct {
        const char *caption, *key, *parent;
    } table[] = {
        { "1. Input data", "Input data", "" },
        { "1.1 Set units", "Set units", "Input data" },
        { "1.2 Base map", "Base map", "Input data" },
        { "1.3 Map scale", "Map scale", "Input data" },
        { "1.4 Well locations", "Well locations", "Input data" },
        { "1.5 Water levels", "Water levels", "Input data" },
        { "1.6 Plot limits", "Plot limits", "Input data" },
        { "1.7 Model data", "Model data", "Input data" },
        { "1.8 Source location", "Source location", "Input data" },
        { "2. Regression", "Regression", "" },
        { "2.1 Run linear regression", "Run linear regression", "Regression" },
        { "2.2 View raw output files", "View regression output", "Regression" },
        { "2.3 Water level contours", "Water level contours", "Regression" },
        { "3. Transport run", "Transport run", "" },
        { "3.1 Run analytical solution", "Run analytical solution", "Transport run" },
        { "3.2 Export model results", "Export model results", "Transport run" },
        { "3.3 View plume contours", "View plume contours", "Transport run" },
        { "3.4 View MinDist contours", "View MinDist contours", "Transport run" },
        { "3.5 View WOLF contours", "View WOLF contours", "Transport run" },
    };
    for (const auto &row : table)
        m_nodes.push_back({ QString::fromLatin1(row.caption), QString::fromLatin1(row.key),
            QString::fromLatin1(row.parent), CheckState::None, true });
}

OutlineNode *OutlineState::find(const QString &key)
{
    for (auto &node : m_nodes)
        if (node.key == key)
            return &node;
    return nullptr;
}

const OutlineNode *OutlineState::find(const QString &key) const
{
    return const_cast<OutlineState *>(this)->find(key);
}

CheckState OutlineState::state(const QString &key) const
{
    const OutlineNode *node = find(key);
    return node ? node->state : CheckState::None;
}

QStringList OutlineState::children(const QString &key) const
{
    QStringList keys;
    for (const auto &node : m_nodes)
        if (node.parentKey == key && !key.isEmpty())
            keys << node.key;
    return keys;
}

void OutlineState::initiate()
{
    for (auto &node : m_nodes)
        node.state = CheckState::None;
}

void OutlineState::check(const QString &key)
{
    if (OutlineNode *node = find(key))
        node->state = CheckState::All;
}

void OutlineState::uncheck(const QString &key)
{
    if (OutlineNode *node = find(key))
        node->state = CheckState::None;
}

void OutlineState::toggle(const QString &key)
{
    if (OutlineNode *node = find(key))
        node->state = toggled(node->state);
}

void OutlineState::setSubtree(const QString &key)
{
    const OutlineNode *node = find(key);
    if (!node)
        return;
    const CheckState state = node->state;
    for (const QString &child : children(key)) {
        find(child)->state = state;
        setSubtree(child);
    }
}

void OutlineState::setEnabled(const QString &key, bool enabled)
{
    if (OutlineNode *node = find(key))
        node->enabled = enabled;
}

LayerTreeState::LayerTreeState()
{
    m_nodes = {
        { QStringLiteral("Wells"), QStringLiteral("Wells"), 3, QStringLiteral("wells") },
        { QStringLiteral("Plot limits"), QStringLiteral("Plot limits"), 5, QStringLiteral("limits") },
        { QStringLiteral("Source"), QStringLiteral("Source center"), 9, QStringLiteral("source") },
        { QStringLiteral("WL contours"), QStringLiteral("WL contours"), 4, QStringLiteral("wlcont") },
        { QStringLiteral("Plumes"), QStringLiteral("Plumes"), 6, QStringLiteral("pccont") },
        { QStringLiteral("Min distances"), QStringLiteral("Min distances"), 8, QStringLiteral("mdcont") },
        { QStringLiteral("WOLF factor"), QStringLiteral("WOLF factor"), 7, QStringLiteral("wfcont") },
    };
}

LayerNode *LayerTreeState::find(const QString &key)
{
    for (auto &node : m_nodes)
        if (node.key == key)
            return &node;
    return nullptr;
}

const LayerNode *LayerTreeState::find(const QString &key) const
{
    return const_cast<LayerTreeState *>(this)->find(key);
}

LayerNode *LayerTreeState::findByDrawing(int drawing)
{
    for (auto &node : m_nodes)
        if (node.drawing == drawing)
            return &node;
    return nullptr;
}

void LayerTreeState::initiate()
{
    *this = LayerTreeState();
}

void LayerTreeState::setEnabled(const QString &key, bool enabled)
{
    if (LayerNode *node = find(key))
        node->enabled = enabled;
}

void LayerTreeState::tick(const QString &key)
{
    if (LayerNode *node = find(key))
        node->state = CheckState::All;
}

void LayerTreeState::untick(const QString &key)
{
    if (LayerNode *node = find(key))
        node->state = CheckState::None;
}

bool LayerTreeState::toggle(const QString &key)
{
    LayerNode *node = find(key);
    if (!node || !node->enabled)
        return false;
    node->state = toggled(node->state);
    return true;
}

void LayerTreeState::setText(const QString &key, const QString &text)
{
    if (LayerNode *node = find(key))
        node->text = text;
}

const std::vector<int> &LayerTreeState::redrawOrder()
{
    static const std::vector<int> order = { 8, 7, 6, 4, 5, 3, 9 };
    return order;
}

} // namespace qel

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
    for (const WorkflowStep &step : workflowSteps())
        m_nodes.push_back({ step.step, QString::fromLatin1(step.caption), step.parent, CheckState::None, true });
}

OutlineNode &OutlineState::node(Step step)
{
    return m_nodes[static_cast<std::size_t>(step)]; // built in step order
}

const OutlineNode &OutlineState::node(Step step) const
{
    return m_nodes[static_cast<std::size_t>(step)];
}

std::vector<Step> OutlineState::children(Step step) const
{
    std::vector<Step> steps;
    for (const auto &n : m_nodes)
        if (n.parent == step)
            steps.push_back(n.step);
    return steps;
}

void OutlineState::initiate()
{
    for (auto &n : m_nodes)
        n.state = CheckState::None;
}

void OutlineState::uncheck(Step step)
{
    node(step).state = CheckState::None;
}

void OutlineState::toggle(Step step)
{
    node(step).state = toggled(node(step).state);
}

void OutlineState::setSubtree(Step step)
{
    const CheckState state = node(step).state;
    for (Step child : children(step)) {
        node(child).state = state;
        setSubtree(child);
    }
}

LayerTreeState::LayerTreeState()
{
    m_nodes = {
        { LayerKey::Wells, QStringLiteral("Wells"), 3, QStringLiteral("wells") },
        { LayerKey::PlotLimits, QStringLiteral("Plot limits"), 5, QStringLiteral("limits") },
        { LayerKey::Source, QStringLiteral("Source center"), 9, QStringLiteral("source") },
        { LayerKey::WlContours, QStringLiteral("WL contours"), 4, QStringLiteral("wlcont") },
        { LayerKey::Plumes, QStringLiteral("Plumes"), 6, QStringLiteral("pccont") },
        { LayerKey::MinDistances, QStringLiteral("Min distances"), 8, QStringLiteral("mdcont") },
        { LayerKey::WolfFactor, QStringLiteral("WOLF factor"), 7, QStringLiteral("wfcont") },
        { LayerKey::Detection, QStringLiteral("Detection probability"), 10, QStringLiteral("dpcont"), CheckState::None,
            false, true },
        { LayerKey::ExactPlume, QStringLiteral("Exact plume"), 11, QStringLiteral("xpcont"), CheckState::None, false,
            true },
        { LayerKey::ExactDifference, QStringLiteral("Exact - Domenico"), 12, QStringLiteral("xdcont"), CheckState::None,
            false, true },
    };
}

LayerNode &LayerTreeState::node(LayerKey key)
{
    return m_nodes[static_cast<std::size_t>(key)]; // built in key order
}

const LayerNode &LayerTreeState::node(LayerKey key) const
{
    return m_nodes[static_cast<std::size_t>(key)];
}

LayerNode *LayerTreeState::findByDrawing(int drawing)
{
    for (auto &n : m_nodes)
        if (n.drawing == drawing)
            return &n;
    return nullptr;
}

void LayerTreeState::initiate()
{
    *this = LayerTreeState();
}

bool LayerTreeState::toggle(LayerKey key)
{
    LayerNode &n = node(key);
    if (!n.enabled)
        return false;
    n.state = toggled(n.state);
    return true;
}

const std::vector<int> &LayerTreeState::redrawOrder()
{
    // The studies' bands lie over the plume's, which they are read beside.
    static const std::vector<int> order = { 8, 7, 6, 11, 12, 10, 4, 5, 3, 9 };
    return order;
}

} // namespace qel

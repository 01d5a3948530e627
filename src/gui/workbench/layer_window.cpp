#include "gui/workbench/layer_window.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "gui/workbench/check_tree.h"
#include "views/layer_redraw.h"

#include <QVBoxLayout>

namespace qel::gui {

LayerWindow::LayerWindow(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("frmLayers"), HelpTopic::Layers, parent)
    , m_tree(new CheckTree(this))
{
    setObjectName(QStringLiteral("frmLayers"));
    setWindowTitle(QStringLiteral("Layers"));
    m_tree->setObjectName(QStringLiteral("tvwTree"));
    m_tree->setRootIsDecorated(false);
    m_tree->setSwallowTyping(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);

    guarded(session, QStringLiteral("Layers:PopulateTree"), [&] {
        session.FormTag = QStringLiteral("frmLayers");
        for (const LayerNode &node : session.layers.nodes())
            m_tree->addNode(int(node.key), node.text);
        m_tree->expandAll();
        refresh();
    });

    connect(m_tree, &CheckTree::nodePressed, this,
        [this](QTreeWidgetItem *item, bool) { toggleLayer(LayerKey(CheckTree::keyOf(item)), true); });
    connect(m_tree, &CheckTree::spacePressed, this,
        [this](QTreeWidgetItem *item) { toggleLayer(LayerKey(CheckTree::keyOf(item)), false); });
}

void LayerWindow::refresh()
{
    for (const LayerNode &node : session().layers.nodes()) {
        if (QTreeWidgetItem *item = m_tree->node(int(node.key))) {
            item->setText(0, node.text);
            m_tree->showNode(item, node.state, node.enabled);
            item->setHidden(node.listedWhenEnabled && !node.enabled);
        }
    }
}

bool LayerWindow::toggleLayer(LayerKey key, bool redraw)
{
    bool changed = false;
    const QString tag = redraw ? QStringLiteral("Layers:tvwTree_MouseDown") : QStringLiteral("Layers:tvwTree_KeyPress");
    guarded(session(), tag, [&] {
        changed = session().layers.toggle(key);
        if (!changed)
            return;
        refresh();
        if (redraw)
            Redraw(session(), 0);
    });
    return changed;
}

} // namespace qel::gui

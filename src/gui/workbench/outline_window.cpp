#include "gui/workbench/outline_window.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "gui/workbench/check_tree.h"

#include <QVBoxLayout>

namespace qel::gui {

OutlineWindow::OutlineWindow(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("frmOutline"), HelpTopic::Outline, parent)
    , m_tree(new CheckTree(this))
{
    setObjectName(QStringLiteral("frmOutline"));
    setWindowTitle(QStringLiteral("Project Steps"));
    m_tree->setObjectName(QStringLiteral("tvwTree"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);

    guarded(session, QStringLiteral("Outline:PopulateTree"), [&] {
        session.FormTag = QStringLiteral("frmOutline");
        for (const OutlineNode &node : session.outline.nodes()) {
            QTreeWidgetItem *parentItem = node.parentKey.isEmpty() ? nullptr : m_tree->node(node.parentKey);
            QTreeWidgetItem *item = m_tree->addNode(node.key, node.caption, parentItem);
            if (!parentItem) {
                QFont font = item->font(0);
                font.setBold(true);
                item->setFont(0, font);
            }
        }
        m_tree->expandAll();
        refresh();
    });

    connect(m_tree, &CheckTree::nodePressed, this, [this](QTreeWidgetItem *item, bool onCheckImage) {
        if (onCheckImage)
            toggleNode(CheckTree::keyOf(item));
        else
            callModule(CheckTree::keyOf(item));
    });
    connect(
        m_tree, &CheckTree::spacePressed, this, [this](QTreeWidgetItem *item) { toggleNode(CheckTree::keyOf(item)); });
    connect(
        m_tree, &CheckTree::returnPressed, this, [this](QTreeWidgetItem *item) { callModule(CheckTree::keyOf(item)); });
}

void OutlineWindow::refresh()
{
    for (const OutlineNode &node : session().outline.nodes())
        if (QTreeWidgetItem *item = m_tree->node(node.key))
            m_tree->showNode(item, node.state, node.enabled);
}

void OutlineWindow::callModule(const QString &key)
{
    guarded(session(), QStringLiteral("Outline:CallModule"), [&] {
        const OutlineNode *node = session().outline.find(key);
        if (!node || !node->enabled)
            return;
        WriteLog(session(), QStringLiteral("[x] ") + node->caption);
        Q_EMIT stepRequested(key);
    });
}

void OutlineWindow::toggleNode(const QString &key)
{
    guarded(session(), QStringLiteral("Outline:tvwTree_Click"), [&] {
        const OutlineNode *node = session().outline.find(key);
        if (!node || !node->enabled)
            return;
        session().outline.toggle(key);
        refresh();
    });
}

} // namespace qel::gui

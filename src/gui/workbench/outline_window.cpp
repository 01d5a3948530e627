#include "gui/workbench/outline_window.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "core/step_dependencies.h"
#include "gui/workbench/check_tree.h"

#include <QApplication>
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
            QTreeWidgetItem *parentItem = node.parent ? m_tree->node(int(*node.parent)) : nullptr;
            QTreeWidgetItem *item = m_tree->addNode(int(node.step), node.caption, parentItem);
            if (!parentItem) {
                QFont font = item->font(0);
                font.setBold(true);
                item->setFont(0, font);
            }
        }
        m_tree->expandAll();
        refresh();
    });

    const auto stepOf = [](QTreeWidgetItem *item) { return Step(CheckTree::keyOf(item)); };
    connect(m_tree, &CheckTree::nodePressed, this, [this, stepOf](QTreeWidgetItem *item, bool onCheckImage) {
        if (onCheckImage)
            toggleNode(stepOf(item));
        else
            callModule(stepOf(item));
    });
    connect(
        m_tree, &CheckTree::spacePressed, this, [this, stepOf](QTreeWidgetItem *item) { toggleNode(stepOf(item)); });
    // Inputs change in dialogs that do not always touch the outline: it looks again whenever the
    // focus moves, as when a dialog closes.
    connect(qApp, &QApplication::focusChanged, this, [this] { refresh(); });
    connect(
        m_tree, &CheckTree::returnPressed, this, [this, stepOf](QTreeWidgetItem *item) { callModule(stepOf(item)); });
}

void OutlineWindow::refresh()
{
    StepFreshness &freshness = session().part<StepFreshness>();
    for (const OutlineNode &node : session().outline.nodes())
        if (QTreeWidgetItem *item = m_tree->node(int(node.step)))
            m_tree->showNode(item, node.state, node.enabled, freshness.outOfDate(node.step));
}

void OutlineWindow::callModule(Step step)
{
    guarded(session(), QStringLiteral("Outline:CallModule"), [&] {
        const OutlineNode &node = session().outline.node(step);
        if (!node.enabled)
            return;
        WriteLog(session(), QStringLiteral("[x] ") + node.caption);
        Q_EMIT stepRequested(step);
    });
}

void OutlineWindow::toggleNode(Step step)
{
    guarded(session(), QStringLiteral("Outline:tvwTree_Click"), [&] {
        if (!session().outline.node(step).enabled)
            return;
        session().outline.toggle(step);
        refresh();
    });
}

} // namespace qel::gui

#include "gui/workbench/check_tree.h"

#include "gui/workbench/drawn_icons.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionViewItem>

namespace qel::gui {

CheckTree::CheckTree(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(16, 16));
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QTreeWidgetItem *CheckTree::addNode(int key, const QString &text, QTreeWidgetItem *parent)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    showNode(item, CheckState::None, true);
    return item;
}

QTreeWidgetItem *CheckTree::node(int key) const
{
    for (QTreeWidgetItemIterator it(const_cast<CheckTree *>(this)); *it; ++it)
        if (keyOf(*it) == key)
            return *it;
    return nullptr;
}

int CheckTree::keyOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, KeyRole).toInt() : -1;
}

void CheckTree::showNode(QTreeWidgetItem *item, CheckState state, bool enabled, bool outOfDate)
{
    outOfDate = outOfDate && state == CheckState::All;
    if (item->data(0, StateRole).toString() != checkStateName(state)
        || item->data(0, OutOfDateRole).toBool() != outOfDate) {
        item->setIcon(0, outOfDate ? outOfDateImage() : checkImage(state));
        item->setData(0, StateRole, checkStateName(state));
        item->setData(0, OutOfDateRole, outOfDate);
        item->setToolTip(0,
            outOfDate ? QStringLiteral("Out of date: an input it was made from has changed. Run the "
                                       "step again to bring it up to date.")
                      : QString());
    }
    item->setForeground(0, enabled ? QBrush() : palette().brush(QPalette::Disabled, QPalette::Text));
}

QRect CheckTree::checkImageRect(QTreeWidgetItem *item) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
    option.icon = item->icon(0);
    option.text = item->text(0);
    option.decorationSize = iconSize();
    return style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
}

void CheckTree::mousePressEvent(QMouseEvent *event)
{
    QTreeWidgetItem *item = itemAt(event->position().toPoint());
    QTreeWidget::mousePressEvent(event);
    if (!item || event->button() != Qt::LeftButton)
        return;
    // A press on the expand arrow only opens or closes the branch.
    const QRect rowText = visualItemRect(item);
    if (event->position().x() < rowText.left())
        return;
    Q_EMIT nodePressed(item, checkImageRect(item).contains(event->position().toPoint()));
}

void CheckTree::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        if (QTreeWidgetItem *item = currentItem())
            Q_EMIT spacePressed(item);
        event->accept();
        return;
    }
    if (m_swallowTyping && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        Q_EMIT returnPressed(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace qel::gui

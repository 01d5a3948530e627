#pragma once

#include "core/tree_states.h"

#include <QTreeWidget>

namespace qel::gui {

// The tree of the outline and layer windows: nodes keyed by a number (a step or a layer), each
// with a tick-box picture.
// It reports presses and keys; the windows decide what they mean.
class CheckTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CheckTree(QWidget *parent = nullptr);

    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int StateRole = Qt::UserRole + 1; // "None", "Some" or "All", "All" also when out of date
    static constexpr int OutOfDateRole = Qt::UserRole + 2; // true while a checked step needs running again

    QTreeWidgetItem *addNode(int key, const QString &text, QTreeWidgetItem *parent = nullptr);
    QTreeWidgetItem *node(int key) const;
    // The key of an item; -1 for none.
    static int keyOf(const QTreeWidgetItem *item);
    // Shows a node's tick picture and whether it can be used (grey text when not); a checked
    // node that is out of date shows the out-of-date picture and says why in its tip.
    void showNode(QTreeWidgetItem *item, CheckState state, bool enabled, bool outOfDate = false);

    // Width the widest node needs, indentation included.
    int nodesWidth() const { return sizeHintForColumn(0); }
    // Where the tick picture of a node lies, in viewport coordinates.
    QRect checkImageRect(QTreeWidgetItem *item) const;
    // Typed characters other than space are dropped instead of searching the tree.
    void setSwallowTyping(bool swallow) { m_swallowTyping = swallow; }

Q_SIGNALS:
    void nodePressed(QTreeWidgetItem *item, bool onCheckImage);
    void spacePressed(QTreeWidgetItem *item);
    void returnPressed(QTreeWidgetItem *item);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_swallowTyping = false;
};

} // namespace qel::gui

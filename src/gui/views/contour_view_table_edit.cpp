// The contour view's level table: the edit box laid over a cell, its keys, the colour column
// and the focus rules that commit a pending edit.
#include "gui/views/contour_view_window.h"

#include "gui/map/color_picker.h"
#include "gui/workbench/main_window.h"
#include "map/color_table.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableWidget>
#include <QTimer>

namespace qel::gui {

void ContourViewWindow::GridEdit(const QString &key)
{
    const int row = m_grid->currentRow();
    const int column = m_grid->currentColumn();
    if (row < 0 || column < 0 || column == ColorColumn || !m_logic.eventsFromUser())
        return;
    m_editRow = row;
    m_editColumn = column;
    m_refusedText.clear();
    const QRect cell = m_grid->visualRect(m_grid->model()->index(row, column));
    m_Text1->setGeometry(cell);
    const bool startsWithCellText = key.size() == 1 && key.at(0).unicode() <= 32;
    m_Text1->setText(startsWithCellText ? m_grid->item(row, column)->text() : key);
    m_Text1->setCursorPosition(int(m_Text1->text().size()));
    m_Text1->show();
    m_Text1->setFocus(Qt::OtherFocusReason);
}

bool ContourViewWindow::commitEdit()
{
    if (m_editRow < 0 || m_committing || !m_logic.eventsFromUser())
        return true;
    // A text just refused is not reported again for every focus change that follows.
    if (!m_refusedText.isNull() && m_Text1->text() == m_refusedText)
        return false;
    m_committing = true;
    bool committed = false;
    const QString kept = m_logic.commitCell(m_editRow + 1, m_editColumn, m_Text1->text(), &committed);
    if (!committed) {
        // The failure was reported; the edit box keeps the text for the person to correct.
        m_refusedText = m_Text1->text();
        m_committing = false;
        QTimer::singleShot(0, m_Text1, [this] {
            if (m_editRow >= 0)
                m_Text1->setFocus(Qt::OtherFocusReason);
        });
        return false;
    }
    if (QTableWidgetItem *item = m_grid->item(m_editRow, m_editColumn))
        item->setText(kept);
    showBounds();
    m_editRow = -1;
    if (m_Text1->hasFocus())
        m_grid->setFocus(Qt::OtherFocusReason);
    m_Text1->hide();
    m_committing = false;
    return true;
}

void ContourViewWindow::cancelEdit()
{
    if (m_editRow < 0)
        return;
    m_editRow = -1;
    const bool focused = m_Text1->hasFocus();
    m_Text1->hide();
    if (focused)
        m_grid->setFocus(Qt::OtherFocusReason);
}

bool ContourViewWindow::gridKeyPress(QKeyEvent *event)
{
    const int column = m_grid->currentColumn();
    if (m_grid->currentRow() < 0 || column < 0)
        return false;
    const bool space = event->key() == Qt::Key_Space;
    if (column == ColorColumn) {
        // The keyboard's way to the colour picker.
        if ((event->key() == Qt::Key_F2 || space) && m_logic.eventsFromUser()) {
            m_lastClickedColumn = ColorColumn;
            SelectColor();
            return true;
        }
        return false;
    }
    if (event->key() == Qt::Key_F2) {
        GridEdit(QStringLiteral(" "));
        return true;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        GridEdit(text);
        return true;
    }
    return false;
}

bool ContourViewWindow::editKeyPress(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape: cancelEdit(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: commitEdit(); return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int row = m_editRow;
        const int to = event->key() == Qt::Key_Up ? row - 1 : row + 1;
        if (to >= 0 && to < m_grid->rowCount() && commitEdit())
            m_grid->setCurrentCell(to, m_grid->currentColumn());
        return true;
    }
    default: return false;
    }
}

void ContourViewWindow::SelectColor()
{
    colorPickerState(session()).ColorCaller = m_colorCaller;
    if (m_main) {
        ChildForm *open = m_main->findChildForm(QStringLiteral("frmDBCColors"));
        QMdiSubWindow *picker = m_main->showChild(open ? open : new ColorPicker(session()));
        // A new picker opens beside the view rather than over its table.
        auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
        if (!open && picker && frame) {
            const QRect area = m_main->mdiArea()->viewport()->rect();
            const QRect view = frame->geometry();
            const int right = view.right() + 1;
            const int left = view.left() - picker->width();
            const int x = right + picker->width() <= area.right() ? right : (left >= 0 ? left : picker->x());
            picker->move(x, std::clamp(view.top(), 0, std::max(0, area.height() - picker->height())));
        }
        return;
    }
    // Without a main window the picker is a window of its own, found again while it is open.
    auto *picker = findChild<ColorPicker *>(QString(), Qt::FindDirectChildrenOnly);
    if (!picker) {
        picker = new ColorPicker(session(), this);
        picker->setWindowFlag(Qt::Window);
    }
    picker->show();
    picker->raise();
}

void ContourViewWindow::setPickedColor(int colorIndex, std::uint32_t color)
{
    const int row = m_grid->currentRow();
    if (row < 0)
        return;
    m_logic.setLevelColor(row + 1, colorIndex);
    showSwatch(row, colorFromBgr(color));
}

bool ContourViewWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_grid) {
        if (type == QEvent::KeyPress && gridKeyPress(static_cast<QKeyEvent *>(event)))
            return true;
        // The minimum-distance and WOLF tables take a pending edit when they regain the focus.
        if (type == QEvent::FocusIn && m_editRow >= 0 && m_logic.kind() != ContourKind::Plume)
            commitEdit();
    } else if (watched == m_Text1) {
        if (type == QEvent::KeyPress && m_editRow >= 0 && editKeyPress(static_cast<QKeyEvent *>(event)))
            return true;
        if (type == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            // Another window coming up (a message box, a menu) leaves the edit open.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                commitEdit();
        }
    } else if (const int box = boxOf(watched); box >= 0 && type == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Only a move to another control of this view leaves the box; switching windows or
        // opening a menu (or the warning itself) does not.
        QWidget *next = QApplication::focusWidget();
        if (m_edited[std::size_t(box)] && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && next && next != watched && isAncestorOf(next))
            validateBox(Box(box));
    }
    return ChildForm::eventFilter(watched, event);
}

} // namespace qel::gui

#include "gui/gui_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTableWidget>

namespace qel::test {

void sendMouse(QWidget *to, QEvent::Type type, QPointF at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, to->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

void typeKeys(QWidget *to, const QString &text)
{
    for (QChar ch : text)
        pressKey(to, Qt::Key_unknown, QString(ch));
}

void pressKey(QWidget *to, int key, const QString &text)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &event);
}

void retypeBox(QLineEdit *box, const QString &text)
{
    box->setFocus(Qt::TabFocusReason);
    box->selectAll();
    // The first key replaces the selection, so the box never passes through empty on the way.
    if (text.isEmpty())
        pressKey(box, Qt::Key_Backspace);
    typeKeys(box, text);
}

void showTabOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget())
        if (auto *tabs = qobject_cast<QTabWidget *>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr))
            if (const int page = tabs->indexOf(w); page >= 0)
                tabs->setCurrentIndex(page);
}

void leaveTo(QWidget *next)
{
    next->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

void clickAt(QWidget *on, QPointF at, Qt::MouseButton button)
{
    sendMouse(on, QEvent::MouseButtonPress, at, button);
    sendMouse(on, QEvent::MouseButtonRelease, at, button);
}

void dragWith(QWidget *on, QPointF from, QPointF to, Qt::MouseButton button)
{
    sendMouse(on, QEvent::MouseButtonPress, from, button);
    sendMouse(on, QEvent::MouseMove, to, button);
    sendMouse(on, QEvent::MouseButtonRelease, to, button);
}

void clickCell(QTableWidget *table, int row, int column, bool twice)
{
    const QPoint at = table->visualRect(table->model()->index(row, column)).center();
    clickAt(table->viewport(), at);
    if (twice) {
        sendMouse(table->viewport(), QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        sendMouse(table->viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton);
    }
}

bool looksRefused(const QLineEdit *box)
{
    const QColor text = box->palette().color(QPalette::Text);
    return box->font().bold() && text.red() > 150 && text.green() < 90;
}

} // namespace qel::test

#pragma once

#include <QEvent>
#include <QPointF>
#include <QString>
#include <Qt>

class QLineEdit;
class QTableWidget;
class QWidget;

namespace qel::test {

// Input as the person gives it: key presses and mouse clicks sent to the widget.

// Types the text one character at a time into the widget with the focus it has.
void typeKeys(QWidget *to, const QString &text);
void pressKey(QWidget *to, int key, const QString &text = {});
// Focuses the box, selects its text and types the new one over it.
void retypeBox(QLineEdit *box, const QString &text);
// Brings the tab page holding the widget to the front of every tab widget it sits in.
void showTabOf(QWidget *widget);
// Moves the focus on to another control, as Tab does, and lets it settle.
void leaveTo(QWidget *next);
void sendMouse(QWidget *to, QEvent::Type type, QPointF at, Qt::MouseButton button);
void clickAt(QWidget *on, QPointF at, Qt::MouseButton button = Qt::LeftButton);
// Presses and holds the button at one point, moves to the other and lets go there.
void dragWith(QWidget *on, QPointF from, QPointF to, Qt::MouseButton button);
// Clicks the cell (twice for a double-click).
void clickCell(QTableWidget *table, int row, int column, bool twice = false);

// A refused value as the person sees it: bold red text.
bool looksRefused(const QLineEdit *box);

} // namespace qel::test

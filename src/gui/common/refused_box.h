#pragma once

class QEvent;
class QLineEdit;
class QObject;
class QWidget;

namespace qel::gui {

// A number box holding a refused value: red bold text until it is changed or accepted. The mark
// is also kept as a property so tests and callers can ask for it.
void markRefused(QLineEdit *box, bool refused);
bool isRefused(const QLineEdit *box);

// Gives the focus back to a refused box once the focus change under way has finished, so the
// box really keeps it.
void keepFocusAfterRefusal(QLineEdit *box);

// Whether `event` is a box of `form` losing the focus to another control of the same form.
// Switching windows or opening a menu (or the warning itself) does not leave the box.
bool leavesForSibling(const QWidget *form, const QObject *box, const QEvent *event);

} // namespace qel::gui

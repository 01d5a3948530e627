#pragma once

class QLineEdit;

namespace qel::gui {

// A box whose typed value was refused shows it in bold red until the text changes or a value
// is accepted; the mark is also kept as a property so tests and callers can ask for it.
void markRefused(QLineEdit *box, bool refused);
bool isMarkedRefused(const QLineEdit *box);

// Gives the focus back to a refused box once the focus change under way has finished, so the
// box really keeps it.
void keepFocusAfterRefusal(QLineEdit *box);

} // namespace qel::gui

#pragma once

#include "core/commands.h"

#include <QString>

class QWidget;

namespace qel::gui {

// Whether Edit > Cut, Copy and Paste work on the text fields of a child window.
bool takesClipboardCommands(const QString &formName);
// Cut, copy or paste on a text field; read-only fields only copy.
void applyClipboardCommand(QWidget *field, Command command);

} // namespace qel::gui

#pragma once

#include <QWidget>

namespace qel::gui {

// Shows a workbench window: as a sub-window when parent is the main window's document area
// (a QMdiArea), otherwise as a window of its own over parent. A centred window sits over the
// middle of the area or of parent's window.
void showForm(QWidget *form, QWidget *parent, bool centred = false);

} // namespace qel::gui

#pragma once

#include "core/tree_states.h"

#include <QIcon>
#include <QString>

namespace qel::gui {

// Toolbar pictures drawn in code, so the workbench looks the same with or without an icon theme.
// key is a toolbar button key ("New", "Zoom In", "Bold", ...); an unknown key gives a null icon.
QIcon toolbarIcon(const QString &key);

// The tick-box pictures of the outline and layer trees: empty, partly and fully checked.
QIcon checkImage(CheckState state);
// A checked step whose inputs changed since it ran: the check mark greyed, with a dot.
QIcon outOfDateImage();

// The workbench's own window icon.
QIcon applicationIcon();

} // namespace qel::gui

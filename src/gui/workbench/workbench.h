#pragma once

#include <QString>

namespace qel::gui {

// Runs the interactive workbench until its main window closes; returns the process status.
int runWorkbench(int argc, char **argv, const QString &projectToOpen);

} // namespace qel::gui

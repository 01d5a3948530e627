#pragma once

#include "core/session.h"

namespace qel {

// Opens a project file as File > Open does: clears the model, then readChosenProject.
bool openProject(Session &session, const QString &path);

// The rest of File > Open once the file is chosen on a cleared model: takes the project folder
// from the path, prepares its Temp folder, reads the file and names it in the status bar.
bool readChosenProject(Session &session, const QString &path);

// Saves the project under a new name as Save As does once the name is accepted.
bool saveProjectAs(Session &session, const QString &path);

} // namespace qel

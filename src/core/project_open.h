#pragma once

#include "core/session.h"

namespace qel {

// Opens a project file as File > Open does once the file is chosen: clears the model, takes the
// project folder from the path, prepares its Temp folder and reads the file.
bool openProject(Session &session, const QString &path);

// Saves the project under a new name as Save As does once the name is accepted.
bool saveProjectAs(Session &session, const QString &path);

} // namespace qel

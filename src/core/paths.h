#pragma once

#include "core/session.h"

#include <QString>

namespace qel {

// The folder part of a path with its final "/", as given; "" when there is no separator.
QString PathToDirectory(const QString &path);

// path relative to ProjectDir when it lies inside it (compared without regard to case),
// otherwise unchanged.
QString RelativePath(const Session &session, const QString &path);

// A relative path stored by an older program with "\" separators, in this system's form.
QString fromStoredPath(const QString &path);

// Makes ProjectDir the current folder and creates its Temp folder if missing. Reports its own
// failure and returns false then.
bool CreateTempPathIfNeeded(Session &session);

// Deletes the layer files of the seven layers under ProjectDir/Temp (names matched without
// regard to case). A failure is only logged.
void RemoveTempFiles(Session &session);

// The folder that holds QEL.ini, QEL.LOG and Data/: $QEL_HOME when set, else the program's
// folder when writable, else the per-user data folder. Created when missing.
QString applicationFolder(const QString &programFolder);

} // namespace qel

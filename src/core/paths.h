#pragma once

#include "core/session.h"

#include <QString>

namespace qel {

// The folder part of a path with its final "/", as given; "" when there is no separator.
QString PathToDirectory(const QString &path);

// Paths are compared with regard to case: on this system /SITES/x and /sites/x are two files.
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;

// path relative to dir (a folder with its final "/") when it lies inside it, otherwise unchanged.
QString relativeTo(const QString &dir, const QString &path);
// path relative to ProjectDir when it lies inside it, otherwise unchanged.
QString RelativePath(const Session &session, const QString &path);

// A path as the project stores it (relative to ProjectDir, or absolute) as a path to open.
QString projectPath(const Session &session, const QString &stored);

// A stored path (relative to fromDir, or absolute; a folder ends with "/") written afresh for a
// project in toDir: relative when it lies inside toDir, absolute otherwise.
QString storedPathFor(const QString &stored, const QString &fromDir, const QString &toDir);

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
// Moves the layer files from fromDir's Temp folder to ProjectDir's, which must exist. A file that
// cannot be moved is logged and left where it is.
void moveLayerFiles(Session &session, const QString &fromDir);

QString applicationFolder(const QString &programFolder);

} // namespace qel

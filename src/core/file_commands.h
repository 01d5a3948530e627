#pragma once

#include "core/session.h"

#include <QString>

namespace qel {

// The main window's project commands as window-free procedures. Each writes its log text first
// ("File > Open") and reports its own failures under "UI:" and its menu handler's name; everything
// it asks goes through session.frontend().

// File > New: empty project, Run > Analytical Model disabled, then the project file is assigned.
void fileNew(Session &session);
// File > Open: asks before dropping unsaved changes, then the "Open Project File" dialog.
void fileOpen(Session &session);
// Opens a chosen project file (File > Open after its dialog, or the command line) and enables
// New and Open only when the session may hold several projects.
bool openProjectFile(Session &session, const QString &path);
// File > Close and Edit > Clear.
void fileClose(Session &session);
void editClear(Session &session);
// File > Save: asks before overwriting ProjectFile. Does nothing while the project has no file.
// Returns whether the project file was written.
bool fileSave(Session &session);
// File > Save As: the save dialog until a name is accepted. Returns whether the file was written.
bool fileSaveAs(Session &session);
// The toolbar's Save: Save As while the project has no file, Save otherwise.
bool saveButton(Session &session);

// File > Exit: returns whether the main window is to close now.
bool fileExit(Session &session);
// The window system asks to close the main window (reason: 0 by the person, 1 by the program).
// askSaveData is false when File > Exit has already asked. Returns whether it may close.
bool queryUnload(Session &session, int reason, bool askSaveData = true);
// The main window closes: the closing log lines, QEL.ini and the temporary layer files.
void formUnload(Session &session);

// Explains why the project needs a file and offers Save As; sets UserCancelled.
void SetProjectDirectory(Session &session);
QString projectDirectoryExplanation();

// Map > Set Scale and Map > Set Plot Limits: return whether the dialog may open; otherwise the
// person has been told what is missing.
bool mapSetScale(Session &session);
bool mapSetPlotLimits(Session &session);
// Map > Set Title: asks for the title; returns whether MapTitle changed.
bool mapSetTitle(Session &session);

} // namespace qel

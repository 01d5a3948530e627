#pragma once

#include "core/session.h"

namespace qel {

// The start-up sequence up to showing the main window: build, operating system, layer names,
// then ReadINIFile (which opens the log and reads QEL.ini).
void startUp(Session &session);

void GetWindowsVersion(Session &session);
void ReadINIFile(Session &session);
void WriteINIFile(Session &session);
void OpenLogFile(Session &session);

// The folder texts derived from the application folder (AppDir, LogFile, HelpFile, IniFile).
void setApplicationPaths(Session &session);

// Closing the workbench: log line, QEL.ini and, unless kept for inspection (batch runs), the
// temporary layer files. Then, at process end, terminateSession logs the last line.
enum class LayerFiles { Remove, Keep };
void unloadSession(Session &session, LayerFiles layerFiles = LayerFiles::Remove);
void terminateSession(Session &session);

} // namespace qel

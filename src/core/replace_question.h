#pragma once

#include "core/frontend.h"
#include "core/session.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qel {

// Asks once (Yes/No) whether the named files in folder may be replaced; true when the list is
// empty or the answer is Yes. The answer goes to the log.
bool mayReplaceFiles(Session &session, const QString &folder, const QStringList &names);

// The file a save dialog's answer writes: the dialog's path with whatever the command adds to it.
using WrittenPath = std::function<QString(const FileDialogAnswer &)>;

// A save dialog for a file the command writes: when the file it would write (writtenPath of the
// answer, the answer's own path without one) exists, asks whether to replace it, and a No shows
// the dialog again in that folder. The accepted answer carries the written path; a cancelled
// dialog gives one not accepted. A batch run is not asked: the file its dialog gets is the one
// its command line names, or the name it always writes.
FileDialogAnswer chooseFileToWrite(Session &session, FileDialogRequest request, const WrittenPath &writtenPath = {});

} // namespace qel

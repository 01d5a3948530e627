#pragma once

#include "core/session.h"

#include <QByteArray>
#include <QDate>

namespace qel {

// Asks where the model results report goes; a cancelled dialog sets UserCancelled.
void SelectResultsFile(Session &session);

// File > Export Model Results: asks for the file, writes the report of the last analytical run
// and sets ERDone. Reports its failures; the file is replaced only when written whole.
void ExportAnalyticalResults(Session &session);

// The report step of a project's replay: ExportAnalyticalResults, except that where nobody
// watches (a batch run) the file is written on a thread of its own while the steps after it run,
// and its message or error waits for finishResultsReport.
void replayResultsReport(Session &session);
void finishResultsReport(Session &session);

// Writes the report to path without asking; returns whether it was written.
bool writeResultsReport(Session &session, const QString &path);

// The report's text, CR LF lines, as of the given day, in memory (the file itself is written in
// chunks). Error 9 when there are no results yet.
QByteArray resultsReportBytes(Session &session, const QDate &today);

// Makes `qel --batch P --results FILE` available.
void registerResultsBatchOutput();

} // namespace qel

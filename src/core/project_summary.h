#pragma once

#include "core/rtf_document.h"
#include "core/session.h"

#include <QDate>
#include <QString>

#include <functional>

namespace qel {

// The project summary: a rich-text document composed from the project model. It is built as
// RTF text by string operations, so every line writer works on what the last one produced.

inline constexpr char SummaryUnsavedCaption[] = "QEL Project Summary File (unsaved)";

// Tab stops of summary lines: headings at the first, labels at the second, values at the third.
const QList<RtfTabStop> &summaryTabStops();

// The RTF text of a new document: an empty line, then TAB and the title bold and centred, then
// an empty body line in font 3 at 9 points that later lines continue from.
QString OutputLineHeader(const QString &title);

// Appends one line to the RTF text: nothing for an empty label; a heading or a label alone when
// the value is empty; otherwise label and value at the second and third tab stops. rtf must end
// in the writer's closing part (error 5 otherwise).
void OutputLine(QString &rtf, const QString &label, const QString &value, bool isHeading);

// The whole summary of the session's project, dated today.
QString composeProjectSummaryRtf(const Session &session, const QDate &today);

// Composes the summary and hands its RTF text to fill (the document window, or a file): status
// text "Preparing input data summary..." and DocReady false meanwhile. A failure of either is
// reported under "ShowProjectData"; returns whether the summary was delivered.
bool ShowProjectData(
    Session &session, const std::function<void(const QString &rtf)> &fill, const QDate &today = QDate::currentDate());

// Writes the summary to a file as RTF, atomically: `qel --batch ... --summary FILE.rtf`.
bool writeProjectSummaryFile(Session &session, const QString &path);

// Makes "--summary" available to batch runs; main() calls it before parsing the command line.
void registerSummaryBatchOutput();

} // namespace qel

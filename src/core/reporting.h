#pragma once

#include "core/errors.h"
#include "core/session.h"

#include <QString>

#include <new>

namespace qel {

// Appends one entry (text and CR LF) to QEL.LOG. A log that cannot be written is error 75,
// reported by the calling procedure.
void WriteLog(Session &session, const QString &text);

// Appends a line to the message window; with toStatusBar also shows it in the "Status" panel.
void Message(Session &session, const QString &text, bool toStatusBar = false);

// Reports ErrorText as an error: default pointer, log entry, error box with the support text.
void ReportError(Session &session);
// Reports ErrorText as a warning: log entry, warning box titled "Warning".
void ReportWarning(Session &session);

// "QEL(tag): number: LF description" in ErrorText, then ReportError.
void reportFailure(Session &session, const QString &tag, int number, const QString &description);
// The same text under a prefix that is not of the "QEL(tag): " form.
void reportFailureWithPrefix(Session &session, const QString &prefix, int number, const QString &description);

// Runs one procedure under its failure handler: a run-time failure stops it and is reported
// under the procedure's tag. Returns whether the procedure ran to its end.
template<typename Procedure> bool guarded(Session &session, const QString &tag, Procedure &&procedure)
{
    try {
        procedure();
        return true;
    } catch (const QelError &e) {
        reportFailure(session, tag, e.number(), e.description());
    } catch (const std::bad_alloc &) {
        reportFailure(session, tag, ErrOutOfMemory, errorDescription(ErrOutOfMemory));
    } catch (const std::exception &e) {
        reportFailure(session, tag, ErrInvalidCall, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

// The contour-label formatter with its own failure report; "" after a failure.
QString FormatToString(Session &session, double value);

} // namespace qel

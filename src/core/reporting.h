#pragma once

#include "core/errors.h"
#include "core/session.h"

#include <QString>

#include <new>

namespace qel {

// Appends one entry (text and CR LF) to QEL.LOG. Never throws: a log that cannot be written is
// reported once per session through the front end, and the procedure goes on.
void WriteLog(Session &session, const QString &text);

// Appends a line to the message window; with toStatusBar also shows it in the "Status" panel.
void Message(Session &session, const QString &text, bool toStatusBar = false);

// Whether a reported error fails a batch run. Only the missing QEL.ini of a first start does not:
// it is reported, and the file is created when the session ends.
enum class FailsRun : bool { No, Yes };

// "QEL(tag): " and the whole failure text "prefix number: LF description": the one layout of
// every failure report.
QString failureTag(const QString &tag);
QString failureText(const QString &prefix, int number, const QString &description);

// Reports ErrorText as an error: default pointer, log entry, error box with the support text.
void ReportError(Session &session, FailsRun failsRun = FailsRun::Yes);
// Reports ErrorText as a warning: log entry, warning box titled "Warning".
void ReportWarning(Session &session);

// "QEL(tag): number: LF description" in ErrorText, then ReportError.
void reportFailure(
    Session &session, const QString &tag, int number, const QString &description, FailsRun failsRun = FailsRun::Yes);
// The same text under a prefix that is not of the "QEL(tag): " form.
void reportFailureWithPrefix(
    Session &session, const QString &prefix, int number, const QString &description, FailsRun failsRun = FailsRun::Yes);

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

#include "core/reporting.h"

#include "core/number_text.h"

#include <QFile>

namespace qel {

void WriteLog(Session &session, const QString &text)
{
    QFile log(session.app.LogFile);
    const QByteArray bytes = text.toUtf8() + "\r\n";
    if (log.open(QIODevice::WriteOnly | QIODevice::Append) && log.write(bytes) == bytes.size() && log.flush())
        return;
    // No procedure may stop because its log line failed; the person hears of it once.
    if (session.logFailureReported)
        return;
    session.logFailureReported = true;
    const QString problem = log.errorString();
    session.frontend().messageBox(
        failureText(failureTag(QStringLiteral("WriteLog")), ErrPathFileAccess, errorDescription(ErrPathFileAccess))
            + QStringLiteral("\n") + session.app.LogFile + QStringLiteral(" (") + problem
            + QStringLiteral(")\n\nThe session log cannot be written; QEL goes on without it."),
        QStringLiteral("Warning"), MsgButtons::Ok, MsgIcon::Warning);
}

void Message(Session &session, const QString &text, bool toStatusBar)
{
    if (session.messageText.isEmpty())
        session.messageText = text;
    else
        session.messageText += QStringLiteral("\r\n") + text;
    session.frontend().messageAdded(text);
    if (toStatusBar)
        session.setStatus(text);
}

QString failureText(const QString &prefix, int number, const QString &description)
{
    return prefix + QString::number(number) + QStringLiteral(": \n") + description;
}

QString failureTag(const QString &tag)
{
    return QStringLiteral("QEL(") + tag + QStringLiteral("): ");
}

void ReportError(Session &session, FailsRun failsRun)
{
    session.frontend().setBusy(false);
    if (failsRun == FailsRun::Yes)
        ++session.errorsReported;
    WriteLog(session, session.ErrorText);
    const QString text = session.ErrorText
        + QStringLiteral("\n\nTo view a error log file or email it for techsupport, \n"
                         "select 'Session Log File' under 'View' menu.\n\n"
                         "For expediting technical support, please email us the "
                         "QEL.LOG file and the project data file.");
    session.frontend().messageBox(text, QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Error);
}

void ReportWarning(Session &session)
{
    WriteLog(session, session.ErrorText);
    session.frontend().messageBox(session.ErrorText, QStringLiteral("Warning"), MsgButtons::Ok, MsgIcon::Warning);
}

void reportFailureWithPrefix(
    Session &session, const QString &prefix, int number, const QString &description, FailsRun failsRun)
{
    session.ErrorText = failureText(prefix, number, description);
    ReportError(session, failsRun);
}

void reportFailure(Session &session, const QString &tag, int number, const QString &description, FailsRun failsRun)
{
    reportFailureWithPrefix(session, failureTag(tag), number, description, failsRun);
}

QString FormatToString(Session &session, double value)
{
    try {
        return formatContourValue(value);
    } catch (const QelError &e) {
        reportFailureWithPrefix(session, QStringLiteral("UTIL:FormatToString: "), e.number(), e.description());
    }
    return {};
}

} // namespace qel

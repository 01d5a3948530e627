#include "core/reporting.h"

#include "core/number_text.h"

#include <QFile>

namespace qel {

void WriteLog(Session &session, const QString &text)
{
    QFile log(session.app.LogFile);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        raise(ErrPathFileAccess, session.app.LogFile);
    const QByteArray bytes = text.toUtf8() + "\r\n";
    if (log.write(bytes) != bytes.size())
        raise(ErrPathFileAccess, session.app.LogFile);
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

namespace {

// A report must reach the person even when the log cannot take it.
void logQuietly(Session &session, const QString &text)
{
    try {
        WriteLog(session, text);
    } catch (const QelError &) {
    }
}

} // namespace

void ReportError(Session &session)
{
    session.frontend().setBusy(false);
    ++session.errorsReported;
    logQuietly(session, session.ErrorText);
    const QString text = session.ErrorText
        + QStringLiteral("\n\nTo view a error log file or email it for techsupport, \n"
                         "select 'Session Log File' under 'View' menu.\n\n"
                         "For expediting technical support, please email us the "
                         "QEL.LOG file and the project data file.");
    session.frontend().messageBox(text, QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Error);
}

void ReportWarning(Session &session)
{
    logQuietly(session, session.ErrorText);
    session.frontend().messageBox(session.ErrorText, QStringLiteral("Warning"), MsgButtons::Ok, MsgIcon::Warning);
}

void reportFailureWithPrefix(Session &session, const QString &prefix, int number, const QString &description)
{
    session.ErrorText = prefix + QString::number(number) + QStringLiteral(": \n") + description;
    ReportError(session);
}

void reportFailure(Session &session, const QString &tag, int number, const QString &description)
{
    reportFailureWithPrefix(session, QStringLiteral("QEL(") + tag + QStringLiteral("): "), number, description);
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

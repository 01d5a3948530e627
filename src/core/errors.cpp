#include "core/errors.h"

namespace qel {

QString errorDescription(int number)
{
    switch (number) {
    case ErrInvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case ErrOverflow: return QStringLiteral("Overflow");
    case ErrOutOfMemory: return QStringLiteral("Out of memory");
    case ErrSubscript: return QStringLiteral("Subscript out of range");
    case ErrDivisionByZero: return QStringLiteral("Division by zero");
    case ErrTypeMismatch: return QStringLiteral("Type mismatch");
    case ErrFileNotFound: return QStringLiteral("File not found");
    case ErrPastEndOfFile: return QStringLiteral("Input past end of file");
    case ErrPathFileAccess: return QStringLiteral("Path/File access error");
    case ErrPathNotFound: return QStringLiteral("Path not found");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

QelError::QelError(int number, QString description, QString source)
    : m_number(number)
    , m_description(description.isEmpty() ? errorDescription(number) : std::move(description))
    , m_source(std::move(source))
    , m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

QelError QelError::withSource(const QString &source) const
{
    return QelError(m_number, m_description, source);
}

void raise(int number, const QString &source)
{
    throw QelError(number, {}, source);
}

} // namespace qel

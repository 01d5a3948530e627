#pragma once

#include <QString>

#include <exception>

namespace qel {

// Run-time error numbers the workbench reports, with the descriptions users see in the log.
enum ErrorNumber : int {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrSubscript = 9,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrFileNotFound = 53,
    ErrPastEndOfFile = 62,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
};

QString errorDescription(int number);

// A run-time failure: stops the procedure and reaches its failure handler.
class QelError : public std::exception {
public:
    explicit QelError(int number, QString description = {}, QString source = {});

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    // The item being handled when the failure happened (a project-file key, a file name).
    const QString &source() const { return m_source; }
    QelError withSource(const QString &source) const;
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

[[noreturn]] void raise(int number, const QString &source = {});

} // namespace qel

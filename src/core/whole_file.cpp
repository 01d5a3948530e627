#include "core/whole_file.h"

#include "core/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qel {

ReplacedFile::ReplacedFile(const QString &path)
{
    constexpr off_t LargeFileBytes = off_t(1) << 20;
    const QByteArray name = QFile::encodeName(path);
    struct stat about { };
    if (::stat(name.constData(), &about) == 0 && S_ISREG(about.st_mode) && about.st_size >= LargeFileBytes)
        m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
}

ReplacedFile::~ReplacedFile()
{
    if (m_fd < 0)
        return;
    try {
        std::thread([fd = m_fd] { ::close(fd); }).detach();
    } catch (...) {
        ::close(m_fd); // no thread to be had: freed here
    }
}

WriteOutcome writeWholeFileThrough(const QString &path, const std::function<qint64(QIODevice &)> &write)
{
    WriteOutcome outcome;
    const ReplacedFile replaced(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.folderMissing = !QFileInfo(QFileInfo(path).absolutePath()).isDir();
        outcome.problem = file.errorString();
        return outcome;
    }
    const qint64 written = write(file);
    struct stat onDisk { };
    const bool complete
        = written >= 0 && file.flush() && fstat(file.handle(), &onDisk) == 0 && onDisk.st_size == written;
    if (!complete) {
        outcome.problem = file.errorString();
        file.cancelWriting();
        return outcome;
    }
    outcome.written = file.commit();
    if (!outcome.written)
        outcome.problem = file.errorString();
    return outcome;
}

void startWritingBack(QIODevice &device)
{
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (file == nullptr || file->handle() < 0 || !file->flush())
        return;
    // A hint: whatever it answers, the flush before the rename still decides.
    (void)sync_file_range(file->handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool WritingBack::write(const char *bytes, qint64 size)
{
    constexpr qint64 WriteBackBytes = qint64(4) << 20;
    m_failed = m_failed || (size > 0 && m_device.write(bytes, size) != size);
    if (m_failed)
        return false;
    m_written += size;
    m_notWrittenBack += size;
    if (m_notWrittenBack >= WriteBackBytes) {
        startWritingBack(m_device);
        m_notWrittenBack = 0;
    }
    return true;
}

WriteOutcome writeWholeFile(const QString &path, const QByteArray &bytes)
{
    return writeWholeFileThrough(
        path, [&](QIODevice &file) { return file.write(bytes) == bytes.size() ? qint64(bytes.size()) : -1; });
}

namespace {

void raiseUnlessWritten(const WriteOutcome &outcome, const QString &path)
{
    if (!outcome.written)
        raise(outcome.folderMissing ? ErrPathNotFound : ErrPathFileAccess, path);
}

} // namespace

void writeWholeFileThroughOrRaise(const QString &path, const std::function<qint64(QIODevice &)> &write)
{
    raiseUnlessWritten(writeWholeFileThrough(path, write), path);
}

void writeWholeFileOrRaise(const QString &path, const QByteArray &bytes)
{
    raiseUnlessWritten(writeWholeFile(path, bytes), path);
}

} // namespace qel

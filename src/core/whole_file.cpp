#include "core/whole_file.h"

#include "core/errors.h"

#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace qel {

WriteOutcome writeWholeFileThrough(const QString &path, const std::function<qint64(QIODevice &)> &write)
{
    WriteOutcome outcome;
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

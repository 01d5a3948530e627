#include "core/whole_file.h"

#include "core/errors.h"

#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace qel {

WriteOutcome writeWholeFile(const QString &path, const QByteArray &bytes)
{
    WriteOutcome outcome;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.folderMissing = !QFileInfo(QFileInfo(path).absolutePath()).isDir();
        outcome.problem = file.errorString();
        return outcome;
    }
    struct stat onDisk { };
    const bool complete = file.write(bytes) == bytes.size() && file.flush() && fstat(file.handle(), &onDisk) == 0
        && onDisk.st_size == bytes.size();
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

void writeWholeFileOrRaise(const QString &path, const QByteArray &bytes)
{
    const WriteOutcome outcome = writeWholeFile(path, bytes);
    if (!outcome.written)
        raise(outcome.folderMissing ? ErrPathNotFound : ErrPathFileAccess, path);
}

} // namespace qel

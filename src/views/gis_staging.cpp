#include "views/gis_staging.h"

#include "core/errors.h"
#include "core/whole_file.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cpl_string.h>
#include <cpl_vsi.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qel {

MemoryFolder::MemoryFolder()
{
    static std::atomic<int> counter { 0 };
    m_root = QStringLiteral("/vsimem/qel-gis-%1/").arg(++counter);
    VSIMkdir(m_root.toUtf8().constData(), 0755);
}

MemoryFolder::~MemoryFolder()
{
    VSIRmdirRecursive(m_root.toUtf8().constData());
}

void MemoryFolder::flushTo(const QString &dir)
{
    char **names = VSIReadDir(m_root.toUtf8().constData());
    for (int i = 0; names && names[i]; ++i) {
        const QString name = QString::fromUtf8(names[i]);
        const QByteArray memPath = path(name);
        vsi_l_offset length = 0;
        GByte *data = VSIGetMemFileBuffer(memPath.constData(), &length, FALSE);
        if (!data)
            continue;
        const QString target = QDir(dir).filePath(name);
        const WriteOutcome outcome
            = writeWholeFile(target, QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(length)));
        if (!outcome.written) {
            CSLDestroy(names);
            throw QelError(outcome.folderMissing ? ErrPathNotFound : ErrPathFileAccess,
                QStringLiteral("Cannot write %1: %2").arg(target, outcome.problem), target);
        }
        VSIUnlink(memPath.constData());
    }
    CSLDestroy(names);
}

void moveInto(const QString &staging, const QString &dir, const QString &lastName)
{
    QStringList names = QDir(staging).entryList(QDir::Files, QDir::Name);
    if (names.removeAll(lastName))
        names << lastName;
    for (const QString &name : names) {
        const QString target = QDir(dir).filePath(name);
        if (std::rename(
                QFile::encodeName(QDir(staging).filePath(name)).constData(), QFile::encodeName(target).constData())
            != 0)
            throw QelError(ErrPathFileAccess,
                QStringLiteral("Cannot write %1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))),
                target);
    }
}

} // namespace qel

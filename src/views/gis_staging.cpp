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

namespace {

// Enough for a few grids' files in flight without holding all of them in memory.
constexpr qsizetype MaxQueuedBytes = 48 * 1024 * 1024;

void writeOrRaise(const QString &target, const QByteArray &bytes)
{
    const WriteOutcome outcome = writeWholeFile(target, bytes);
    if (!outcome.written)
        throw QelError(outcome.folderMissing ? ErrPathNotFound : ErrPathFileAccess,
            QStringLiteral("Cannot write %1: %2").arg(target, outcome.problem), target);
}

} // namespace

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
        try {
            writeOrRaise(QDir(dir).filePath(name),
                QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(length)));
        } catch (...) {
            CSLDestroy(names);
            throw;
        }
        VSIUnlink(memPath.constData());
    }
    CSLDestroy(names);
}

QByteArray MemoryFolder::take(const QString &name)
{
    const QByteArray memPath = path(name);
    vsi_l_offset length = 0;
    const GByte *data = VSIGetMemFileBuffer(memPath.constData(), &length, FALSE);
    if (!data)
        throw QelError(ErrPathFileAccess, QStringLiteral("Cannot write %1: it was not made").arg(name), name);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(length));
    VSIUnlink(memPath.constData());
    return bytes;
}

BackgroundWriter::BackgroundWriter()
    : m_thread([this] { run(); })
{
}

BackgroundWriter::~BackgroundWriter()
{
    stop();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void BackgroundWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping with nothing left
        auto [path, bytes] = std::move(m_queue.front());
        m_queue.pop_front();
        m_queuedBytes -= bytes.size();
        m_busy = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            writeOrRaise(path, bytes);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_busy = false;
        if (failure && !m_failure) {
            m_failure = failure;
            m_queue.clear(); // the export fails; the rest would only be removed again
            m_queuedBytes = 0;
        }
        m_changed.notify_all();
    }
}

void BackgroundWriter::raiseFailure()
{
    if (m_failure)
        std::rethrow_exception(m_failure);
}

void BackgroundWriter::write(const QString &path, QByteArray bytes)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failure || m_queuedBytes < MaxQueuedBytes; });
    raiseFailure();
    m_queuedBytes += bytes.size();
    m_queue.emplace_back(path, std::move(bytes));
    m_changed.notify_all();
}

void BackgroundWriter::finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    raiseFailure();
}

void BackgroundWriter::stop()
{
    std::unique_lock lock(m_mutex);
    m_queue.clear();
    m_queuedBytes = 0;
    m_changed.wait(lock, [this] { return !m_busy; });
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

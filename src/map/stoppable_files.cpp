#include "map/stoppable_files.h"

#include <QFileInfo>

#include <cpl_vsi.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace qel {

namespace {

constexpr char Prefix[] = "/vsiqelstoppable/";

// The stop flags of the reads under way, by token. Never destroyed: a reader left running at the
// end of the program may still look one up.
struct Registry {
    std::mutex mutex;
    std::map<int, std::shared_ptr<std::atomic<bool>>> flags;
    int next = 0;
};

Registry &registry()
{
    static auto *r = new Registry;
    return *r;
}

// "<token>/real/path" (GDAL hands the callbacks the name without the prefix): the token's flag
// and the real path.
std::shared_ptr<std::atomic<bool>> parse(const char *name, const char **real)
{
    if (std::strncmp(name, Prefix, sizeof Prefix - 1) == 0)
        name += sizeof Prefix - 1;
    char *end = nullptr;
    const long token = std::strtol(name, &end, 10);
    if (!end || *end != '/')
        return nullptr;
    *real = end;
    Registry &r = registry();
    const std::lock_guard lock(r.mutex);
    const auto found = r.flags.find(int(token));
    return found == r.flags.end() ? nullptr : found->second;
}

struct Handle {
    VSILFILE *file;
    std::shared_ptr<std::atomic<bool>> stopped;
};

Handle &handle(void *h)
{
    return *static_cast<Handle *>(h);
}

int statFile(void *, const char *name, VSIStatBufL *buffer, int flags)
{
    const char *real = nullptr;
    const auto stopped = parse(name, &real);
    return stopped && !*stopped ? VSIStatExL(real, buffer, flags) : -1;
}

char **readDir(void *, const char *name, int maxFiles)
{
    const char *real = nullptr;
    const auto stopped = parse(name, &real);
    return stopped && !*stopped ? VSIReadDirEx(real, maxFiles) : nullptr;
}

void *openFile(void *, const char *name, const char *access)
{
    const char *real = nullptr;
    auto stopped = parse(name, &real);
    if (!stopped || *stopped || std::strchr(access, 'w') || std::strchr(access, 'a') || std::strchr(access, '+'))
        return nullptr; // read only
    VSILFILE *file = VSIFOpenL(real, "rb");
    return file ? new Handle { file, std::move(stopped) } : nullptr;
}

vsi_l_offset tell(void *h)
{
    return VSIFTellL(handle(h).file);
}

void throwIfStopped(void *h)
{
    if (*handle(h).stopped)
        throw StoppableFiles::Stopped {};
}

int seek(void *h, vsi_l_offset offset, int whence)
{
    throwIfStopped(h);
    return VSIFSeekL(handle(h).file, offset, whence);
}

size_t read(void *h, void *buffer, size_t size, size_t count)
{
    throwIfStopped(h);
    return VSIFReadL(buffer, size, count, handle(h).file);
}

int eof(void *h)
{
    return *handle(h).stopped || VSIFEofL(handle(h).file);
}

int close(void *h)
{
    const int result = VSIFCloseL(handle(h).file);
    delete &handle(h);
    return result;
}

void installHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        VSIFilesystemPluginCallbacksStruct *callbacks = VSIAllocFilesystemPluginCallbacksStruct();
        callbacks->stat = statFile;
        callbacks->read_dir = readDir;
        callbacks->open = openFile;
        callbacks->tell = tell;
        callbacks->seek = seek;
        callbacks->read = read;
        callbacks->eof = eof;
        callbacks->close = close;
        VSIInstallPluginHandler(Prefix, callbacks);
        VSIFreeFilesystemPluginCallbacksStruct(callbacks);
    });
}

} // namespace

StoppableFiles::StoppableFiles()
    : m_stopped(std::make_shared<std::atomic<bool>>(false))
{
    installHandler();
    Registry &r = registry();
    const std::lock_guard lock(r.mutex);
    m_token = ++r.next;
    r.flags.emplace(m_token, m_stopped);
}

StoppableFiles::~StoppableFiles()
{
    Registry &r = registry();
    const std::lock_guard lock(r.mutex);
    r.flags.erase(m_token);
}

QByteArray StoppableFiles::path(const QString &file) const
{
    return QByteArray(Prefix) + QByteArray::number(m_token) + QFileInfo(file).absoluteFilePath().toUtf8();
}

QString StoppableFiles::withRealNames(const QString &text) const
{
    QString real = text;
    return real.remove(QString::fromLatin1(Prefix) + QString::number(m_token));
}

} // namespace qel

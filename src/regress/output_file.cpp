#include "regress/output_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qel::regress {

namespace {

// The disk is started on what is written every this many bytes, so that the sync waits less.
constexpr std::size_t WriteBackBytes = std::size_t(1) << 20;

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

PendingFile::PendingFile(const char *path)
    : m_path(path)
    , m_target(path)
{
    struct stat old { };
    if (::lstat(path, &old) == 0 && S_ISLNK(old.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path, resolved))
            return;
        m_target = resolved;
    }
    const bool exists = ::stat(m_target.c_str(), &old) == 0;
    m_temporary = m_target + ".XXXXXX";
    m_fd = ::mkstemp(m_temporary.data());
    m_temporaryMade = m_fd >= 0;
    if (m_fd >= 0 && ::fchmod(m_fd, exists ? old.st_mode & 07777 : newFileMode()) != 0)
        fail();
}

PendingFile::~PendingFile()
{
    fail();
    if (m_temporaryMade)
        ::unlink(m_temporary.c_str()); // it never replaced its target
}

void PendingFile::write(std::string_view bytes)
{
    if (!ok())
        return;
    if (!writeAll(m_fd, bytes))
        return fail();
    m_written += bytes.size();
    m_notWrittenBack += bytes.size();
    if (m_notWrittenBack >= WriteBackBytes) {
        (void)::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        m_notWrittenBack = 0;
    }
}

void PendingFile::fail()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
}

bool PendingFile::onDisk()
{
    struct stat written { };
    if (::fstat(m_fd, &written) != 0 || std::size_t(written.st_size) != m_written || ::fdatasync(m_fd) != 0)
        return false;
    return ::close(std::exchange(m_fd, -1)) == 0;
}

std::size_t replaceInOrder(const std::vector<PendingFile *> &files)
{
    std::size_t count = 0;
    while (count < files.size() && files[count]->ok())
        ++count;
    for (std::size_t i = 0; i < count; ++i)
        (void)::sync_file_range(files[i]->m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    // The first sync writes out what the others hold as well; theirs then find little to do.
    std::size_t synced = 0;
    while (synced < count && files[synced]->onDisk())
        ++synced;
    std::size_t replaced = 0;
    while (replaced < synced && ::rename(files[replaced]->m_temporary.c_str(), files[replaced]->m_target.c_str()) == 0)
        files[replaced++]->m_temporaryMade = false; // it is the target now
    return replaced;
}

std::size_t writeWholeFiles(const std::vector<OutputFile> &files)
{
    std::vector<std::unique_ptr<PendingFile>> pending;
    std::vector<PendingFile *> order;
    for (const OutputFile &file : files) {
        pending.push_back(std::make_unique<PendingFile>(file.path));
        pending.back()->write(file.bytes);
        order.push_back(pending.back().get());
        if (!order.back()->ok())
            break;
    }
    return replaceInOrder(order);
}

} // namespace qel::regress

#include "regress/output_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qel::regress {

namespace {

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

struct Prepared {
    std::string temporary, target;
    int fd = -1;
};

// The bytes on a temporary file beside path's target, flushed to the system (not yet to disk).
bool prepare(const char *path, std::string_view bytes, Prepared &out)
{
    out.target = path;
    struct stat old { };
    if (::lstat(path, &old) == 0 && S_ISLNK(old.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path, resolved))
            return false;
        out.target = resolved;
    }
    const bool exists = ::stat(out.target.c_str(), &old) == 0;
    out.temporary = out.target + ".XXXXXX";
    const int fd = ::mkstemp(out.temporary.data());
    if (fd < 0)
        return false;
    struct stat written { };
    if (::fchmod(fd, exists ? old.st_mode & 07777 : newFileMode()) == 0 && writeAll(fd, bytes)
        && ::fstat(fd, &written) == 0 && std::size_t(written.st_size) == bytes.size()) {
        // Starts the disk on these bytes while the next file is written; the sync then waits less.
        (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        out.fd = fd;
        return true;
    }
    ::close(fd);
    ::unlink(out.temporary.c_str());
    return false;
}

bool onDisk(Prepared &file)
{
    const bool ok = ::fdatasync(file.fd) == 0;
    return ::close(std::exchange(file.fd, -1)) == 0 && ok;
}

} // namespace

std::size_t writeWholeFiles(const std::vector<OutputFile> &files)
{
    std::vector<Prepared> prepared(files.size());
    std::size_t count = 0;
    while (count < files.size() && prepare(files[count].path, files[count].bytes, prepared[count]))
        ++count;
    // The first sync writes out what the others hold as well; theirs then find little to do.
    std::size_t synced = 0;
    while (synced < count && onDisk(prepared[synced]))
        ++synced;
    std::size_t replaced = 0;
    while (replaced < synced && ::rename(prepared[replaced].temporary.c_str(), prepared[replaced].target.c_str()) == 0)
        ++replaced;
    for (std::size_t i = replaced; i < count; ++i) {
        if (prepared[i].fd >= 0)
            ::close(prepared[i].fd);
        ::unlink(prepared[i].temporary.c_str());
    }
    return replaced;
}

} // namespace qel::regress

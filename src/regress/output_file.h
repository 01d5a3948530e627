#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qel::regress {

// A file written through a temporary file beside its target, which replaces the target only in
// replaceInOrder, once every byte is on disk: a full disk or a crash leaves the previous file
// whole. An existing file keeps its permissions (a link: the file it points to is replaced). A
// temporary that never replaces its target is removed.
class PendingFile {
public:
    explicit PendingFile(const char *path);
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    // Appends bytes. A write that fails or falls short fails the file: nothing more goes to it.
    void write(std::string_view bytes);
    bool ok() const { return m_fd >= 0; }
    const char *path() const { return m_path; }

private:
    friend std::size_t replaceInOrder(const std::vector<PendingFile *> &files);
    void fail();
    bool onDisk();

    const char *m_path;
    std::string m_temporary, m_target;
    int m_fd = -1;
    bool m_temporaryMade = false; // and not yet renamed to the target, so removed at the end
    std::size_t m_written = 0, m_notWrittenBack = 0;
};

// The files in order, up to the first that failed, replace their targets; the temporaries of the
// others go with their PendingFile. All are put on disk before the first replaces its old file, so that the
// disk is waited for about once, not once per file. Returns how many replaced their targets.
std::size_t replaceInOrder(const std::vector<PendingFile *> &files);

struct OutputFile {
    const char *path;
    std::string_view bytes;
};

// Each file written whole as above, in order up to the first that cannot be; those before it
// replace their old files. Returns how many were written.
std::size_t writeWholeFiles(const std::vector<OutputFile> &files);

} // namespace qel::regress

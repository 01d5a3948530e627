#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace qel::regress {

struct OutputFile {
    const char *path;
    std::string_view bytes;
};

// Writes each file through a temporary file beside it that replaces the old file only once every
// byte is on disk: a full disk or a crash leaves the previous file whole. An existing file keeps
// its permissions (a link: the file it points to is replaced). The files are written in order up
// to the first that cannot be; those before it replace their old files. All are put on disk
// before the first replaces its old file, so that the disk is waited for about once, not once per
// file. Returns how many were written.
std::size_t writeWholeFiles(const std::vector<OutputFile> &files);

} // namespace qel::regress

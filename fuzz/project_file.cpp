// The project-file reader, and the writer on whatever the reader accepted: a file naming huge
// counts or odd values must neither crash the read nor the save that follows it. What was saved
// must open again and save to the same bytes, or a save and reopen would change a project.
#include "fuzz_support.h"

#include "core/project_file.h"
#include "core/project_open.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// Opens the project at path and saves it as savedName; the saved bytes, or nothing when it did
// not open.
std::optional<QByteArray> openAndSave(const QString &path, const QString &savedName)
{
    using namespace qel;
    fuzz::QuietSession quiet;
    std::optional<QByteArray> saved;
    if (readChosenProject(*quiet.session, path)) {
        quiet.session->model.ProjectFile = fuzz::scratchFolder() + savedName;
        SaveProjectFile(*quiet.session);
        QFile file(quiet.session->model.ProjectFile);
        if (file.open(QIODevice::ReadOnly))
            saved = file.readAll();
    }
    QFile::remove(fuzz::scratchFolder() + QStringLiteral("QEL.LOG"));
    return saved;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    const QString path = fuzz::writeScratchFile(QStringLiteral("input.prj"), fuzz::inputBytes(data, size));
    const auto saved = openAndSave(path, QStringLiteral("saved.prj"));
    if (!saved)
        return 0;
    const auto again = openAndSave(fuzz::scratchFolder() + QStringLiteral("saved.prj"), QStringLiteral("again.prj"));
    if (again != saved) {
        std::fprintf(stderr, "the saved project %s\n", again ? "saves to other bytes" : "does not open");
        std::abort();
    }
    return 0;
}

// The project-file reader, and the writer on whatever the reader accepted: a file naming huge
// counts or odd values must neither crash the read nor the save that follows it.
#include "fuzz_support.h"

#include "core/project_file.h"
#include "core/project_open.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    const QString path = fuzz::writeScratchFile(QStringLiteral("input.prj"), fuzz::inputBytes(data, size));
    fuzz::QuietSession quiet;
    if (readChosenProject(*quiet.session, path)) {
        quiet.session->model.ProjectFile = fuzz::scratchFolder() + QStringLiteral("saved.prj");
        SaveProjectFile(*quiet.session);
    }
    QFile::remove(fuzz::scratchFolder() + QStringLiteral("QEL.LOG"));
    return 0;
}

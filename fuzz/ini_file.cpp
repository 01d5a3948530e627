// The QEL.ini reader.
#include "fuzz_support.h"

#include "core/startup.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    fuzz::writeScratchFile(QStringLiteral("QEL.ini"), fuzz::inputBytes(data, size));
    fuzz::QuietSession quiet(fuzz::QuietSession::Start::Bare);
    ReadINIFile(*quiet.session);
    // Every read appends to the log; a long run would fill the disk.
    QFile::remove(fuzz::scratchFolder() + QStringLiteral("QEL.LOG"));
    return 0;
}

// The table reader on csv files: every table, every cell as the wizards read it.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel::fuzz;
    readEveryCell(writeScratchFile(QStringLiteral("wells.csv"), inputBytes(data, size)), QStringLiteral("Text"));
    return 0;
}

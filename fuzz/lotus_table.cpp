// The table reader on Lotus worksheets: the one binary sheet format QEL parses through its own
// collector of cells, so a cell's row, column and date come straight from the file.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel::fuzz;
    readEveryCell(writeScratchFile(QStringLiteral("sites.wk4"), inputBytes(data, size)), QStringLiteral("Lotus WK4"));
    return 0;
}

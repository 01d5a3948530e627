// A Windows metafile as the base map: read by the metafile reader into entities, shown, then painted.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel::fuzz;
    displayAndPaintBaseMap(QStringLiteral("plan.wmf"), QStringLiteral("vector"), inputBytes(data, size));
    return 0;
}

// An image as the base map: read through GDAL into its pyramid, shown, then painted. A damaged or
// lying header (sizes, band types, strips) must not crash the reading or the stretch to grey.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel::fuzz;
    // GDAL knows the image formats by their first bytes, whatever the file is called.
    displayAndPaintBaseMap(QStringLiteral("map.tif"), QStringLiteral("raster"), inputBytes(data, size));
    return 0;
}

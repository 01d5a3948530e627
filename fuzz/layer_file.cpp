// The layer-file reader, and the writer on the drawing it read.
#include "fuzz_support.h"

#include "core/errors.h"
#include "map/layer_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    try {
        const Drawing drawing = parseLayerFile(fuzz::inputBytes(data, size), QStringLiteral("input.geojson"));
        layerFileBytes(drawing);
    } catch (const QelError &) {
        // a layer file that is not one: reported by the caller in the program
    }
    return 0;
}

// An image as the base map: read through GDAL into its pyramid, shown, then painted. A damaged or
// lying header (sizes, band types, strips) must neither crash nor ask for an endless image.
#include "fuzz_support.h"

#include "map/map_display.h"
#include "map/map_renderer.h"
#include "map/map_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    // GDAL knows the image formats by their first bytes, whatever the file is called.
    fuzz::writeScratchFile(QStringLiteral("map.tif"), fuzz::inputBytes(data, size));
    fuzz::QuietSession quiet;
    ProjectModel &m = quiet.session->model;
    m.ProjectDir = fuzz::scratchFolder(), m.ProjectDirAssigned = true, m.RunMode = QStringLiteral("Batch");
    m.BaseMapFile = QStringLiteral("map.tif"), m.BaseMapType = QStringLiteral("raster");
    m.DistUnits = QStringLiteral("m");
    if (DisplayMap(*quiet.session)) {
        const DrawingComponent &map = drawingOf(*quiet.session);
        renderMapImage(map, fullView(map), QSize(64, 48));
    }
    return 0;
}

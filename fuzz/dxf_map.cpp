// A CAD plan as the base map: read through GDAL into entities, shown, then painted. Huge or
// degenerate coordinates and extents must neither crash the view nor ask for an endless image.
#include "fuzz_support.h"

#include "map/map_display.h"
#include "map/map_renderer.h"
#include "map/map_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    fuzz::writeScratchFile(QStringLiteral("plan.dxf"), fuzz::inputBytes(data, size));
    fuzz::QuietSession quiet;
    ProjectModel &m = quiet.session->model;
    m.ProjectDir = fuzz::scratchFolder(), m.ProjectDirAssigned = true, m.RunMode = QStringLiteral("Batch");
    m.BaseMapFile = QStringLiteral("plan.dxf"), m.BaseMapType = QStringLiteral("vector");
    m.DistUnits = QStringLiteral("m");
    if (DisplayMap(*quiet.session)) {
        const DrawingComponent &map = drawingOf(*quiet.session);
        renderMapImage(map, fullView(map), QSize(64, 48));
    }
    return 0;
}

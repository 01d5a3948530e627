#pragma once

#include <QString>

namespace qel {
class Session;
}

// Exports the session's results for a GIS into a scratch folder, reads the GeoPackage back with
// GDAL as a GIS would, and draws its plume bands, water-level contours and wells over the base map
// into FILE, so that a reader of the guide sees the exported layers line up with the workbench's map.
bool saveGisOverlay(qel::Session &session, const QString &file);

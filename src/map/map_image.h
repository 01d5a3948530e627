#pragma once

#include "core/session.h"

namespace qel {

// Writes the whole map (base map and every shown layer) with its title at the bottom to a PNG,
// PDF or SVG file, chosen by the extension. Reports its failures under "Map:ExportImage";
// returns whether the file was written.
bool writeMapImage(Session &session, const QString &path);

// Makes `qel --batch P --map FILE` available.
void registerMapBatchOutput();

} // namespace qel

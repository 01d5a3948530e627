#pragma once

#include "core/session.h"
#include "views/contour_kinds.h"

#include <QString>

namespace qel {

// The file name a study view's "Export grid data" proposes: detection-probability.tif,
// exact_average.tif, exact_minus_domenico.tif.
QString studyGridFileName(ContourKind kind);

// Writes the grid a study's view shows as a GeoTIFF of the GIS export's grid and coordinate
// system; the file replaces an old copy only once complete. Failures are reported under the
// view's tag; returns whether it was written.
bool writeStudyGrid(Session &session, ContourKind kind, const QString &path);

// "Export grid data" on a study's view: asks for the file (asking before it replaces one) and
// writes it. A cancelled choice sets UserCancelled and writes nothing.
void studyGridExportClicked(Session &session, ContourKind kind);

// "Export well lists" on the detection view: asks for a folder and writes detection-wells.csv and
// redundant-wells.csv of the last study there, as the batch run writes them.
void detectionListsExportClicked(Session &session);

} // namespace qel

#pragma once

#include "core/session.h"

#include <QPointF>

namespace qel {

// Loads BaseMapFile as BaseMapType says into the drawing component and records its size and
// extents. Reports its failures under "Map:DisplayMap"; a map that cannot be opened, or whose
// opening the person cancels (said in a message line), leaves BMDone
// as it was. Returns whether the map was loaded.
bool DisplayMap(Session &session);

// Only the base map remains; a raster map also drops its image and its calibration.
void ClearMap(Session &session);

// What closing the map window undoes: the Map menu goes, the map steps are unticked, BMDone and
// MSDone are cleared, the zoom commands are disabled.
void closeMap(Session &session);

// Asks the person for a point on the map with the cross-hair. Returns the status of the pick
// (13 when a point was picked); x and y change only then.
int GetRasterPoint(Session &session, double &x, double &y, const QString &prompt);

// The name of the distance unit in the map's texts; "distance units" while none is set.
QString distanceUnits(const ProjectModel &model);

// The "Coords" panel text for a cursor position in drawing units.
QString cursorPositionText(const ProjectModel &model, QPointF position);

// File > Open Base Map: asks for the file, then loads and shows it in place of the map shown
// before, whose calibration goes with it. A file that cannot be opened leaves that map as it was.
// Returns whether a map was opened.
bool fileOpenBaseMap(Session &session);

// The file filter of File > Open Base Map; entry 1 is the raster images.
QString baseMapFilter();
// The entry of baseMapFilter() for the stored base map (its type, then its extension): the one the
// dialog shows first, so that the file looked for again is listed. 1 when nothing is stored.
int baseMapFilterEntry(const ProjectModel &model);

} // namespace qel

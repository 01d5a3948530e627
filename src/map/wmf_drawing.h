#pragma once

#include "map/drawing.h"
#include "map/wmf_records.h"

#include <QString>

namespace qel {

class Progress;

// A Windows metafile as a base drawing: its shapes become lines, points and texts in their own
// colours. Coordinates are the metafile's logical units, turned so that the map shows what a
// metafile viewer shows (metafile y grows downward unless its window says otherwise, map y
// upward); the window and viewport records give the orientation and the ratio of the axes, and a
// change of them part way places the later shapes as the viewer would. Filled shapes are drawn
// as their outlines, in the brush's colour when the pen is null. An object index beyond the
// file's object table, or selecting an object never created, refuses the file through cannotOpen.
Drawing wmfDrawing(const QString &path, const WmfFile &file, Progress *progress = nullptr);

// Reads the file and makes its drawing as above.
Drawing readWmfDrawing(const QString &path, Progress *progress = nullptr);

} // namespace qel

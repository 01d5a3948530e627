#pragma once

#include "core/session.h"
#include "input/well_reader.h"

namespace qel {

// "Map Wells": draws the well list into drawing 3 and its layer file "Temp/wells" (a point and
// the identifier beside it per well; wells at 0, 0 are not drawn), names the layer node
// "Wells (N)", ticks it and redraws the map. Does nothing while the map has no real coordinates
// (MapReady). Failures are reported under "Wells:MapWells".
void MapWells(Session &session);

// The button on the data step: user events log it first.
void wellsMapWellsClicked(Session &session, const WellsWizard &wizard);

// What the project reader runs when an opened project has WEDone set (RunMode "Batch"): the
// wizard's opening code without a window, which reads the wells again, and, when the project had
// them on the map, draws them again.
void replayWellLocations(Session &session);

} // namespace qel

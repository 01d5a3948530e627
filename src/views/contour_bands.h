#pragma once

#include "core/session.h"
#include "views/contour_kinds.h"

#include <span>
#include <vector>

namespace qel {

// One horizontal band segment of a model row, in map x, in a level's colour index.
struct BandRun {
    double x1;
    double x2;
    int color;
    bool operator==(const BandRun &) const = default;
};

// The first level whose bounds hold the value (lower exclusive, upper inclusive), and its colour;
// 0 when none does.
int levelOf(const ContourView &levels, double value);
int levelColorOf(const ContourView &levels, double value);

// The runs of one row: neighbouring nodes of one level colour become one segment from the first
// node's x to the last's. White (14) is not drawn and does not break a run; the last node of the
// row only ends the open run. values holds the row west to east from x = left in steps of spacing.
// Of signed values (a difference), 0 only ends an open run and a negative one is any other value.
std::vector<BandRun> rowBandRuns(const ContourView &levels, bool skipsNonPositive, std::span<const double> values,
    double left, double spacing, bool signedValues = false);

// The lower-right corner of the legend each view drew last (0, 0 before the first); the overlap
// test of the legend locator reads them. Kept for the program's run, not in the project.
struct ContourLegendBoxes : SessionPart {
    explicit ContourLegendBoxes(Session &) { }
    struct Corner {
        double x2 = 0;
        double y2 = 0;
    };
    Corner corners[ContourKindCount];
    Corner &of(ContourKind kind) { return corners[int(kind)]; }
};

// MapPCContour, MapMDContour, MapWFContour: the view's grid as coloured bands (and its legend
// when the view has one ticked) into the view's drawing and layer file; the layer is ticked and
// the map redrawn. sample is the plume view's sample index (NumSamples + 1 for the average).
void mapContourBands(Session &session, ContourKind kind, int sample);

// "Locate": asks for the legend's top-left corner, warns when it falls in another view's legend,
// and stores it truncated to RoundXY. Nothing is drawn until the next drawing.
void locateContourLegend(Session &session, ContourKind kind);

// "Clear": the view's drawing becomes empty and its layer goes back to unticked and grey.
void clearContourBands(Session &session, ContourKind kind);

// A view's value as its boxes, table and legend show it; a difference's negative values with their
// sign.
QString contourValueText(Session &session, ContourKind kind, double value);

// What a study's view says when its study has not run on the model grid as it is now.
QString studyMissingText(ContourKind kind);

// The text the layer shows for a plume drawn for this sample: its date, or "Average".
QString plumeSampleText(const ProjectModel &model, int sample);

} // namespace qel

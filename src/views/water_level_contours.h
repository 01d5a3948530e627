#pragma once

#include "core/session.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace qel {

// What XCoord and YCoord return for a crossing outside the plot limits.
constexpr double NoCrossing = -9999;

// Where the fitted water-level plane of sample s reaches level on the horizontal line y (XCoord)
// or the vertical line x (YCoord): the coordinate when it lies within the plot limits, else
// NoCrossing. A zero coefficient is error 11, a sample outside 1..NumSamples error 9.
double XCoord(const ProjectModel &model, int sample, double y, double level);
double YCoord(const ProjectModel &model, int sample, double x, double level);

// The border crossings of one level line, tested left, bottom, right, top; a point found on two
// edges (a corner) counts once. Raises as XCoord and YCoord do, the procedure's name as source.
std::vector<QPointF> levelCrossings(const ProjectModel &model, int sample, double level);

// More lines than this cannot be read on a map; an interval that small is a typing slip.
constexpr int MaxWaterLevelLines = 10000;

// One level line of sample s inside the plot limits.
struct ContourSegment {
    QPointF from, to;
    double level;
};
// The lines of minimum, minimum + interval, ... below maximum, every one before anything is drawn
// so that a failure leaves the old contours on the map. An interval that is not above 0 is
// error 5, more than MaxWaterLevelLines lines error 6; raises as levelCrossings does.
std::vector<ContourSegment> contourSegments(
    const ProjectModel &model, int sample, double minimum, double interval, double maximum);

// Decimals of the contour labels: the most digits after a "." in the minimum, interval and
// maximum boxes, 0 when none has a point.
int DetermineDecimals(const std::array<QString, 3> &texts);

// Labels run along the lines and never upside down.
double contourLabelRotation(double direction);
// A level as a label: fixed decimals in the system's number format, no thousands separators.
QString contourLabelText(double level, int decimals);

// Draws the contour lines of sample s for minimum, minimum + interval, ... below maximum into
// drawing 4 and its layer file, each line where it crosses the plot limits with its level at the
// midpoint; names the layer "WL contours (s)", ticks it, sets WCMapIndex and redraws the map.
// Draws nothing with a zero interval or a zero line width. Failures are reported under
// "RegRes:MapWLContour" (or "RegRes:XCoord" / "RegRes:YCoord"). Returns whether it drew.
bool MapWLContour(Session &session, int sample, double minimum, double interval, double maximum, int decimals);

// The results table of the window: one header row, one row per sample.
struct ResultsTableColumn {
    QString header;
    int widthTwips = 0;
};
struct ResultsTable {
    std::vector<ResultsTableColumn> columns;
    std::vector<QStringList> rows; // row i - 1 holds sample i
};
ResultsTable InitializeGrid(const ProjectModel &model);

// The window's state without the window: the four boxes, the working array behind the first
// three, the selected sample and whether this window has contours on the map.
struct WaterLevelContoursForm {
    std::array<QString, 4> boxes; // txtWLContInt(0..3): minimum, interval, maximum, line width
    std::array<double, 3> values {}; // the leading number of boxes 0..2
    int sample = 0; // 1-based; 0 while the project has no samples
    bool autoShow = false; // chkAutoShow
    bool contoursDrawn = false;
};

// Opening: FormTag "RegRes", a zero WLInt becomes 1, the boxes show the stored values; in the
// batch run mode the stored contours are drawn again.
void openWaterLevelContours(Session &session, WaterLevelContoursForm &form);
// What the project reader runs: the opening in the batch run mode.
void replayWaterLevelContours(Session &session);

// A box changed: boxes 0..2 feed the working array, box 3 the line width. A width that is not
// a whole number of 0 or more is reported under "RegRes:txtWLContInt_Change" and not stored.
void contourBoxChanged(Session &session, WaterLevelContoursForm &form, int index, const QString &text);
// A table row (1-based, the header excluded) became the selected sample.
void sampleSelected(WaterLevelContoursForm &form, int row);
// A click on the table draws at once when chkAutoShow is ticked.
void resultsTableClicked(Session &session, WaterLevelContoursForm &form);
// "Show Contour": draws the selected sample's contours; the values drawn are kept in the project.
void showContourClicked(Session &session, WaterLevelContoursForm &form);
// "Clear Contours": takes this window's contours off the map.
void clearContoursClicked(Session &session, WaterLevelContoursForm &form);
// "Close": keeps the line width, sets WCDone, logs, marks the outline step when contours were
// drawn and empties the status panel. The window closes itself after it.
void closeWaterLevelContours(Session &session, WaterLevelContoursForm &form);

} // namespace qel

#pragma once

#include "core/session.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace qel {

// Log prefix and failure-tag prefix of the plot-limits dialog.
inline const QString PlotLmtsFormTag = QStringLiteral("PlotLmts");

// The number boxes of the dialog: map extents, plot limits, model grid.
enum class PlotBox {
    MLLeft,
    MLRight,
    MLTop,
    MLBottom,
    PLLeft,
    PLRight,
    PLTop,
    PLBottom,
    PCLeft,
    PCRight,
    PCTop,
    PCBottom,
    PCGridSpacing,
    PCNumX,
    PCNumY,
};
constexpr int NumPlotBoxes = 15;

// The control name of a box ("txtMLLeft").
QString plotBoxName(PlotBox box);

// What the dialog shows, kept apart from its widgets so the rules can read which boxes are
// filled and put back what they change. The dialog copies these into its controls after every
// call.
struct PlotLimitsForm {
    std::array<QString, NumPlotBoxes> text;
    bool sameLimits = false; // chkSameLimits
    bool buttonsEnabled = false; // cmdOK and cmdMapLimits

    QString &operator[](PlotBox box) { return text[static_cast<std::size_t>(box)]; }
    const QString &operator[](PlotBox box) const { return text[static_cast<std::size_t>(box)]; }
    bool filled(PlotBox box) const { return !(*this)[box].trimmed().isEmpty(); }
    // The model-grid edge boxes follow the plot limits while the check box is ticked.
    bool gridEdgesEnabled() const { return !sameLimits; }
};

// How a typed value compares with a bound when it is refused.
enum class Refusal { Less, LessOrEqual, GreaterOrEqual, Greater };

// One check of an edge box: refused when v relates to the bound as given (and, when named, the
// other box holds text). The warning is subject " (" v ") " phrase " (" bound ")!".
struct EdgeCheck {
    Refusal when;
    double ProjectModel::*bound;
    std::optional<PlotBox> onlyWhenFilled;
    QString subject;
    QString phrase;
};

// The checks of an edge box in the order they are made; empty for the spacing and count boxes.
const std::vector<EdgeCheck> &edgeChecks(PlotBox box);

// The warning the first failing check gives, nothing when the value passes them all.
std::optional<QString> edgeRefusal(const ProjectModel &model, const PlotLimitsForm &form, PlotBox box, double value);

// "Number of X grids (n) exceeds the maximum (400) allocated in QEL!" LF "Please reduce ...";
// for both axes the Y text follows the X text after two line feeds. Empty when both counts are
// in range (see gridCountOutOfRange).
QString gridSizeMessage(qint16 numX, qint16 numY);
// A count no grid can have: above the limit, or below zero (a damaged or hand-edited file).
inline bool gridCountOutOfRange(qint16 count)
{
    return count < 0 || count > MaxGridNodes;
}

inline const QString SpacingTooLarge = QStringLiteral("Grid spacing size too large. Choose smaller spacing.");
inline const QString InvalidSpacing = QStringLiteral("Invalid grid spacing! Try again.");

// Nodes along an edge: Int(length / spacing) + 1, rounding down. A count beyond 16 bits is
// error 6, a zero spacing error 11.
qint16 gridNodeCount(double length, double spacing);

// Form_Load: the boxes as the dialog opens. With PLDone the stored rectangles, the model grid
// following the plot limits or pulled inside the map extents, and the grid dimensions derived
// again from the spacing; otherwise the map extents of the base map alone. Runs CheckStatus
// unless the project reader is replaying the dialog.
PlotLimitsForm loadPlotLimits(Session &session);

// A box's Validate step, with the box holding `text`. An empty box is accepted unchanged. A
// refused value is reported through ReportWarning and the box keeps its text (a count box gets
// the stored count back); an accepted one is stored with its side effects and CheckStatus runs.
// Returns whether the box may be left.
bool validatePlotBox(Session &session, PlotLimitsForm &form, PlotBox box, const QString &text);

// The node counts from the spacing box: stored with the spacing when both are at least 10, the
// right and top edges moved onto the last node and their boxes updated; otherwise the error
// "Grid spacing size too large..." (none for a spacing <= 0). Returns whether a grid was set.
bool CalculateGridDims(Session &session, PlotLimitsForm &form);

// chkSameLimits: ticked copies the plot-limit boxes onto the model-grid edges.
void setSameLimits(Session &session, PlotLimitsForm &form, bool on);

// Whether the rectangles, spacing and counts are a consistent, complete set.
bool plotLimitsConsistent(const ProjectModel &model, const PlotLimitsForm &form);
// Enables OK and "Draw Limits on Map" only for a consistent set.
void CheckStatus(const ProjectModel &model, PlotLimitsForm &form);

// cmdOK: "Plot limits" checked in the outline, PLDone, the "Status" panel emptied.
void acceptPlotLimits(Session &session);

} // namespace qel

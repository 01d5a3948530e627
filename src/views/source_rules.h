#pragma once

#include "core/project_model.h"
#include "core/session.h"

#include <QPointF>
#include <QString>

#include <array>
#include <optional>

namespace qel {

// Log prefix of the source-location dialog.
inline const QString SourceFormTag = QStringLiteral("Source");

inline const QString SelectSourcePrompt = QStringLiteral("Select point (right button to abort):");

enum class SourceAxis { X, Y };

// A source coordinate is accepted between the two plot limits of its axis, both included.
struct SourceCoordinate {
    SourceAxis axis;
    double ProjectModel::*field;
    double ProjectModel::*lower;
    double ProjectModel::*upper;
    QString boundaries; // the boundary names of the warning
};

const std::array<SourceCoordinate, 2> &sourceCoordinates();
const SourceCoordinate &sourceCoordinate(SourceAxis axis);

// "Specify source within Left and Right boundary (0, 1000)!" when the value lies outside the
// limits of its axis; nothing when it lies inside.
std::optional<QString> sourceRejection(const ProjectModel &model, SourceAxis axis, double value);

// What the dialog keeps between events: the point last picked on the map. Typing a coordinate
// forgets it, so a later change of the rounding step cannot move a typed source.
struct SourcePick {
    std::optional<QPointF> point;
};

struct SourceBoxTexts {
    QString x, y;
};

// Opening: sets FormTag and returns the coordinate boxes' texts, empty while Xsource is 0.
SourceBoxTexts loadSourceLocation(Session &session);

// The picked coordinate cut down towards zero to a whole multiple of the step, when the step is
// positive and neither coordinate is 0.
QPointF roundedSourcePoint(QPointF picked, double step);

// RoundCoords: places the source at the picked point, rounded by RoundXY, and returns the new box
// texts. A rounded point outside the model grid is refused with the coordinate's warning and moves
// nothing; so does having no picked point. Failures are reported under "Source:RoundCoords".
std::optional<SourceBoxTexts> RoundCoords(Session &session, const SourcePick &pick);

// cmdSelectSource: asks for a point on the map. A picked point is kept, placed by RoundCoords and
// drawn by MapSource; an aborted pick changes nothing. Returns the new box texts.
std::optional<SourceBoxTexts> selectSource(Session &session, SourcePick &pick);

// Checks a coordinate box as the person leaves it. An empty box is not checked. The longest
// leading number of the text is the value; an accepted value is stored as typed and, when the
// other box is filled too, the source is drawn. A refused one is reported with ReportWarning and
// changes nothing. Returns whether the box may be left. A number too large for a double is error 6.
bool validateSourceCoordinate(
    Session &session, SourcePick &pick, SourceAxis axis, const QString &text, bool otherBoxFilled);

// What a rounding event leaves for the dialog to show.
struct RoundingOutcome {
    bool accepted = false; // the step stands (the box may be left)
    bool uncheck = false; // the person chose to clear "Round coordinates to nearest" instead
    std::optional<SourceBoxTexts> boxes; // the source moved
};

// chkRoundXY ticked with the step box's text: a step at or below 0 is refused ("... Please change
// it."); a positive one becomes RoundXY and the picked point is rounded again.
RoundingOutcome tickRoundXY(Session &session, const SourcePick &pick, const QString &stepText);

// txtRoundXY left: a step at or below 0 is refused and the person is asked whether to clear the
// rounding option instead; a positive one becomes RoundXY and the picked point is rounded again.
RoundingOutcome validateRoundXY(Session &session, const SourcePick &pick, const QString &stepText);

// Close: checks "Source location", logs "Source: [Close]", sets SLDone, empties "Status".
void closeSourceLocation(Session &session);

} // namespace qel

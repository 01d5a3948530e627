#pragma once

#include "core/session.h"
#include "views/contour_kinds.h"

class QWidget;

namespace qel::gui {

// What a study's contour view shows below its levels: for the detection probability, the study's
// summary, its ranked places for new wells and the existing wells from the most redundant, with
// the button that exports both lists; for the exact plume's views, the largest under-prediction of
// Domenico on the centreline. Nothing for the workflow's views.
QWidget *studyPanel(Session &session, ContourKind kind, QWidget *parent);

} // namespace qel::gui

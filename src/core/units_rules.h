#pragma once

#include "core/project_model.h"
#include "core/session.h"

#include <QString>
#include <QStringList>

#include <array>

namespace qel {

// Log prefix of the units dialog.
inline const QString UnitsFormTag = QStringLiteral("Units");

// One of the three unit choices of a project. Units are labels only: nothing is converted
// when one changes.
struct UnitChoice {
    QString variable; // project variable name, as written in the log ("DistUnits")
    QString label; // caption beside the list
    QStringList choices;
    QString ProjectModel::*field;
};

enum class UnitKind { Distance = 0, Time = 1, Concentration = 2 };

// Distance, time and concentration, in dialog order.
const std::array<UnitChoice, 3> &unitChoices();
const UnitChoice &unitChoice(UnitKind kind);

// Index of the stored text in the choice list, -1 when nothing (or an unknown text) is stored.
int unitChoiceIndex(const ProjectModel &model, UnitKind kind);

// CheckStatus: UNDone is true exactly when every unit holds one of its choices. Returns it.
bool unitsCheckStatus(ProjectModel &model);

// Stores a unit text; a choice the person made is logged ("Units: DistUnits = m"), one made
// while the dialog fills itself is not. Then CheckStatus. Returns the new UNDone.
bool chooseUnit(Session &session, UnitKind kind, const QString &text, bool byUser);

// Close: a complete choice checks "Set units" in the outline; logs "Units: [Close]" and empties
// the "Status" panel.
void closeUnits(Session &session);

} // namespace qel

#include "core/units_rules.h"

#include "core/reporting.h"

namespace qel {

const std::array<UnitChoice, 3> &unitChoices()
{
    static const std::array<UnitChoice, 3> choices = { {
        { QStringLiteral("DistUnits"), QStringLiteral("Distance units"), { QStringLiteral("ft"), QStringLiteral("m") },
            &ProjectModel::DistUnits },
        { QStringLiteral("TimeUnits"), QStringLiteral("Time units"), { QStringLiteral("d"), QStringLiteral("yr") },
            &ProjectModel::TimeUnits },
        { QStringLiteral("ConcUnits"), QStringLiteral("Concentration units"),
            { QStringLiteral("mg/L"), QStringLiteral("ug/L") }, &ProjectModel::ConcUnits },
    } };
    return choices;
}

const UnitChoice &unitChoice(UnitKind kind)
{
    return unitChoices()[static_cast<std::size_t>(kind)];
}

int unitChoiceIndex(const ProjectModel &model, UnitKind kind)
{
    const UnitChoice &choice = unitChoice(kind);
    const QString &text = model.*choice.field;
    return text.isEmpty() ? -1 : int(choice.choices.indexOf(text));
}

bool unitsCheckStatus(ProjectModel &model)
{
    bool complete = true;
    for (UnitKind kind : { UnitKind::Distance, UnitKind::Time, UnitKind::Concentration })
        complete = complete && unitChoiceIndex(model, kind) >= 0;
    model.UNDone = complete;
    return complete;
}

bool chooseUnit(Session &session, UnitKind kind, const QString &text, bool byUser)
{
    const UnitChoice &choice = unitChoice(kind);
    session.store(session.model.*choice.field, text);
    // The flag follows the stored units even when the log line below cannot be written.
    const bool complete = unitsCheckStatus(session.model);
    if (byUser)
        WriteLog(session, UnitsFormTag + QStringLiteral(": ") + choice.variable + QStringLiteral(" = ") + text);
    return complete;
}

void closeUnits(Session &session)
{
    if (session.model.UNDone)
        session.checkNode(Step::SetUnits);
    WriteLog(session, UnitsFormTag + QStringLiteral(": [Close]"));
    session.setStatus(QString());
}

} // namespace qel

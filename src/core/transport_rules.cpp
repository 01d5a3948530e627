#include "core/transport_rules.h"

#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"

namespace qel {

namespace {

const QString NotPositive = QStringLiteral(" must not be <= 0!");
const QString Negative = QStringLiteral(" must not be < 0!");

constexpr Acceptance Positive { 0.0, false, std::nullopt };
constexpr Acceptance NonNegative { 0.0, true, std::nullopt };

} // namespace

const std::array<TransportParameter, NumTransportParameters> &transportParameters()
{
    static const std::array<TransportParameter, NumTransportParameters> parameters = { {
        { 0, QStringLiteral("Hydraulic conductivity"), &ProjectModel::K, UnitRule::DistancePerTime, Positive,
            NotPositive },
        { 1, QStringLiteral("Effective porosity"), &ProjectModel::Porosity, UnitRule::None, { 0.0, false, 1.0 },
            NotPositive },
        { 2, QStringLiteral("Longitudinal dispersivity"), &ProjectModel::AlphaX, UnitRule::Distance, NonNegative,
            Negative },
        { 3, QStringLiteral("Transverse dispersivity"), &ProjectModel::AlphaY, UnitRule::Distance, NonNegative,
            Negative },
        { 4, QStringLiteral("Retardation factor"), &ProjectModel::RetFactor, UnitRule::None,
            { 1.0, true, std::nullopt }, QStringLiteral(" must not be < 1!") },
        { 5, QStringLiteral("Solute half-life"), &ProjectModel::HalfLife, UnitRule::Time, NonNegative, Negative },
        { 6, QStringLiteral("Simulation time"), &ProjectModel::Time, UnitRule::Time, Positive, NotPositive },
        { 7, QStringLiteral("Source width"), &ProjectModel::Swidth, UnitRule::Distance, Positive, NotPositive },
        { 8, QStringLiteral("Source concentration"), &ProjectModel::C0, UnitRule::Concentration, Positive,
            NotPositive },
    } };
    return parameters;
}

const TransportParameter &transportParameter(int index)
{
    if (index < 0 || index >= NumTransportParameters)
        raise(ErrSubscript);
    return transportParameters()[static_cast<std::size_t>(index)];
}

QString unitLabel(const TransportParameter &parameter, const ProjectModel &model)
{
    switch (parameter.unit) {
    case UnitRule::None: return {};
    case UnitRule::Distance: return model.DistUnits;
    case UnitRule::Time: return model.TimeUnits;
    case UnitRule::Concentration: return model.ConcUnits;
    case UnitRule::DistancePerTime:
        if (model.DistUnits.isEmpty() && model.TimeUnits.isEmpty())
            return {};
        return model.DistUnits + u'/' + model.TimeUnits;
    }
    return {};
}

std::optional<QString> rejectionSuffix(const TransportParameter &parameter, double value)
{
    const Acceptance &rule = parameter.acceptance;
    const bool aboveLower = rule.lowerIncluded ? value >= rule.lower : value > rule.lower;
    if (!aboveLower)
        return parameter.suffix;
    if (rule.upper && value > *rule.upper)
        return AboveUpperBoundSuffix;
    return std::nullopt;
}

bool validateTransportParameter(Session &session, int index, const QString &text)
{
    const TransportParameter &parameter = transportParameter(index);
    if (text.trimmed().isEmpty())
        return true;
    const double value = leadingNumber(text);
    if (const auto suffix = rejectionSuffix(parameter, value)) {
        session.ErrorText = parameter.label + *suffix;
        ReportWarning(session);
        return false;
    }
    session.store(session.model.*parameter.field, value);
    return true;
}

QString transportBoxText(const ProjectModel &model, int index)
{
    const TransportParameter &parameter = transportParameter(index);
    if (!model.TDDone || (index == HalfLifeIndex && !model.Decay))
        return {};
    return numberText(model.*parameter.field);
}

QString setDecay(Session &session, bool on)
{
    const ProjectModel &model = session.model;
    session.store(session.model.Decay, on);
    return on && model.HalfLife != 0 ? numberText(model.HalfLife) : QString();
}

void closeTransportData(Session &session)
{
    // Flag and check mark move together, even when the log line cannot be written.
    session.checkNode(Step::ModelData);
    session.model.TDDone = true;
    WriteLog(session, TransDataFormTag + QStringLiteral(": [Close]"));
    session.setStatus(QString());
}

} // namespace qel

#include "core/plume_uncertainty_rules.h"

#include "core/number_text.h"
#include "core/reporting.h"

#include <QLocale>

#include <cmath>

namespace qel {

namespace {

// The C locale without group separators: "1,000" is no number of runs.
QLocale wholeNumbers()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c;
}

} // namespace

SettingReading<int> readUncertaintyRuns(const QString &text)
{
    bool ok = false;
    const int runs = wholeNumbers().toInt(text.trimmed(), &ok);
    if (ok && runs >= 1 && runs <= MaxUncertaintyRuns)
        return { runs, {} };
    return { std::nullopt,
        QStringLiteral("The number of runs must be a whole number from 1 to %1!").arg(MaxUncertaintyRuns) };
}

SettingReading<std::uint64_t> readUncertaintySeed(const QString &text)
{
    bool ok = false;
    const qulonglong seed = wholeNumbers().toULongLong(text.trimmed(), &ok);
    if (ok)
        return { std::uint64_t(seed), {} };
    return { std::nullopt, QStringLiteral("The seed must be a whole number from 0 to 18446744073709551615!") };
}

SettingReading<double> readUncertaintyThreshold(const QString &text)
{
    const std::optional<double> value = strictNumber(text);
    if (value && std::isfinite(*value) && *value > 0)
        return { *value, {} };
    return { std::nullopt, QStringLiteral("The threshold concentration must be a number > 0!") };
}

std::optional<PlumeUncertaintySettings> readPlumeUncertaintySettings(
    Session &session, const QString &runs, const QString &seed, const QString &threshold)
{
    const SettingReading<int> r = readUncertaintyRuns(runs);
    const SettingReading<std::uint64_t> s = readUncertaintySeed(seed);
    const SettingReading<double> t = readUncertaintyThreshold(threshold);
    for (const QString *problem : { &r.problem, &s.problem, &t.problem })
        if (!problem->isEmpty()) {
            session.ErrorText = *problem;
            ReportWarning(session);
            return std::nullopt;
        }
    return PlumeUncertaintySettings { *r.value, *s.value, *t.value };
}

DefaultValue defaultUncertaintyThreshold(const ProjectModel &m)
{
    if (m.PC.NumLevels >= 1 && m.PC.CMin(1) > 0 && std::isfinite(m.PC.CMin(1)))
        return { m.PC.CMin(1), QStringLiteral("the lowest level of the plume contours") };
    return { m.C0 / 100, QStringLiteral("1 % of the source concentration: the plume contours have no levels") };
}

DefaultValue detectionWellSpacing(const ProjectModel &m)
{
    if (m.MD.NumLevels >= 1 && m.MD.CMax(1) > 0 && std::isfinite(m.MD.CMax(1)))
        return { m.MD.CMax(1), QStringLiteral("the top of the minimum-distance contours' lowest level") };
    return { 10 * m.PCGridSpacing, QStringLiteral("ten grid spacings: the minimum-distance contours have no levels") };
}

} // namespace qel

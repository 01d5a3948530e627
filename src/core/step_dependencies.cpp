#include "core/step_dependencies.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

namespace qel {

const std::vector<StepDependency> &stepDependencies()
{
    using I = StepInput;
    // From what each procedure reads: the regression input is the water levels at the wells'
    // places; the plume run takes each date's gradient and direction, the transport data, the
    // source and the model grid of the plot limits, and its WOLF and distance grids the wells
    // and the coordinate rounding; the legends and the results report name the units.
    static const std::vector<StepDependency> table = {
        { Step::RunRegression, { I::Wells, I::WaterLevels }, {} },
        { Step::ViewRegressionOutput, {}, { Step::RunRegression } },
        { Step::WaterLevelContours, { I::PlotLimits }, { Step::RunRegression } },
        { Step::RunAnalytical, { I::Wells, I::PlotLimits, I::ModelData, I::Source, I::Options },
            { Step::RunRegression } },
        { Step::ExportResults, { I::Units }, { Step::RunAnalytical } },
        { Step::ViewPlumeContours, { I::Units }, { Step::RunAnalytical } },
        { Step::ViewMinDistContours, { I::Units, I::Options }, { Step::RunAnalytical } },
        { Step::ViewWolfContours, { I::Units }, { Step::RunAnalytical } },
    };
    return table;
}

const StepDependency *stepDependency(Step step)
{
    for (const StepDependency &d : stepDependencies())
        if (d.step == step)
            return &d;
    return nullptr;
}

quint64 inputFingerprint(const ProjectModel &m, StepInput input)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    switch (input) {
    case StepInput::Units: out << m.DistUnits << m.TimeUnits << m.ConcUnits; break;
    case StepInput::Wells:
        out << m.NumWells;
        for (int k = 1; k <= m.NumWells && k <= MaxWells; ++k)
            out << m.WellID(k) << m.WellX(k) << m.WellY(k);
        break;
    case StepInput::WaterLevels:
        out << m.NumWLWells << m.NumSamples;
        for (int s = 1; s <= m.NumSamples && s < MaxSampleSlots; ++s)
            out << m.SampleDate(s);
        for (int k = 1; k <= m.NumWLWells && k <= MaxWells; ++k) {
            out << m.WLWellID(k) << m.WLWellX(k) << m.WLWellY(k) << m.WLWellUnlocated(k);
            for (int s = 1; s <= m.NumSamples && s < MaxSampleSlots; ++s)
                out << m.WLData(k, s);
        }
        break;
    case StepInput::PlotLimits:
        out << m.PLLeft << m.PLRight << m.PLBottom << m.PLTop << m.PCLeft << m.PCRight << m.PCBottom << m.PCTop
            << m.PCGridSpacing << m.PCNumX << m.PCNumY;
        break;
    case StepInput::ModelData:
        out << m.K << m.Porosity << m.AlphaX << m.AlphaY << m.RetFactor << m.Decay << m.HalfLife << m.Time;
        break;
    case StepInput::Source: out << m.Swidth << m.C0 << m.Xsource << m.Ysource; break;
    case StepInput::Options: out << m.RoundXY; break;
    }
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    quint64 value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | quint8(digest[i]);
    return value;
}

StepFreshness::Made StepFreshness::madeNow(const StepDependency &dependency) const
{
    Made made;
    for (StepInput input : dependency.inputs)
        made.inputs.push_back(inputFingerprint(m_session.model, input));
    for (Step result : dependency.results) {
        const auto run = m_runs.find(result);
        made.results.push_back(run == m_runs.end() ? 0 : run->second);
    }
    return made;
}

const StepFreshness::Made &StepFreshness::made(const StepDependency &dependency)
{
    auto found = m_made.find(dependency.step);
    if (found == m_made.end())
        found = m_made.emplace(dependency.step, madeNow(dependency)).first;
    return found->second;
}

void StepFreshness::stepRan(Step step)
{
    ++m_runs[step];
    if (const StepDependency *dependency = stepDependency(step))
        m_made[step] = madeNow(*dependency);
}

bool StepFreshness::outOfDate(Step step)
{
    const StepDependency *dependency = stepDependency(step);
    if (!dependency)
        return false;
    if (m_session.outline.state(step) != CheckState::All) {
        // Not done: whenever it is checked again it starts from what is there then.
        m_made.erase(step);
        return false;
    }
    const Made &then = made(*dependency);
    const Made now = madeNow(*dependency);
    if (now.inputs != then.inputs || now.results != then.results)
        return true;
    for (Step result : dependency->results)
        if (outOfDate(result))
            return true;
    return false;
}

} // namespace qel

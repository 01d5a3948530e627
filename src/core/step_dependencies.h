#pragma once

#include "core/session.h"
#include "core/workflow_steps.h"

#include <QtGlobal>

#include <map>
#include <vector>

namespace qel {

// What the person enters that a computed step reads.
enum class StepInput { Units, Wells, WaterLevels, PlotLimits, ModelData, Source, Options };

// A computed step and what it was made from: the inputs it reads and the steps whose results it
// reads. Steps not in the table (the inputs themselves, the headings) are never out of date.
struct StepDependency {
    Step step;
    std::vector<StepInput> inputs;
    std::vector<Step> results;
};

const std::vector<StepDependency> &stepDependencies();
// The entry of a step; nullptr for a step that reads nothing computed or entered.
const StepDependency *stepDependency(Step step);

// A fingerprint of the model values of one input: equal while the values are.
quint64 inputFingerprint(const ProjectModel &model, StepInput input);

// Which checked steps were made from inputs or results that changed since: known only for this
// run of the program, never stored in the project. A step is out of date when one of its inputs
// differs from what it was made from, when a result it read was made again, or when a step it
// reads is itself out of date; running it again makes it current.
class StepFreshness : public SessionPart {
public:
    explicit StepFreshness(Session &session)
        : m_session(session)
    {
    }

    // The step ran (it has just been checked): it is current, and what reads it is not.
    void stepRan(Step step);
    bool outOfDate(Step step);

    void projectCleared() override
    {
        m_made.clear();
        m_runs.clear();
    }

private:
    struct Made {
        std::vector<quint64> inputs;
        std::vector<quint64> results;
    };
    Made madeNow(const StepDependency &dependency) const;
    // A checked step seen for the first time (opened with the project, ticked by hand) counts
    // as made from what is there now.
    const Made &made(const StepDependency &dependency);

    Session &m_session;
    std::map<Step, Made> m_made;
    std::map<Step, quint64> m_runs;
};

} // namespace qel

#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <random>

namespace qel {

struct ProjectModel;
class Session;

// How one transport parameter varies between the runs of an uncertainty study.
enum class Distribution { Fixed, Uniform, LogUniform, Triangular };

struct ParameterRange {
    Distribution kind = Distribution::Fixed;
    double low = 0, mode = 0, high = 0; // mode only for a triangular range
    bool operator==(const ParameterRange &) const = default;
};

constexpr int NumUncertainParameters = 8;

// A parameter that may be uncertain: its key in the project file and its box in the transport
// dialog, whose label and acceptance bounds its range shares.
struct UncertainParameter {
    const char *key; // "K"
    int transportIndex;
};
const std::array<UncertainParameter, NumUncertainParameters> &uncertainParameters();

// The [Uncertainty] section of the project: one range per parameter, in the order of
// uncertainParameters(), and whether each date's gradient is drawn from its 95 % interval.
struct UncertaintyRanges {
    std::array<ParameterRange, NumUncertainParameters> ranges {};
    bool gradientFitted = false;
    bool isEmpty() const;
    bool operator==(const UncertaintyRanges &) const = default;
};

// The warning a range earns, in the transport dialog's style ("Hydraulic conductivity LOW must
// not be <= 0!"), nothing when it is accepted. The bounds are the parameter's own, for LOW, MODE
// and HIGH alike; then LOW < HIGH, LOW <= MODE <= HIGH, and LOW > 0 for a log-uniform range.
std::optional<QString> rangeProblem(int parameter, const ParameterRange &range);

// The range from the texts of its boxes. An empty text of a bound the distribution needs, or a
// text that is not a number, is a problem as well.
struct RangeReading {
    ParameterRange range;
    std::optional<QString> problem;
};
RangeReading readRange(int parameter, Distribution kind, const QString &low, const QString &mode, const QString &high);

// Checks and stores the range of a parameter (0..7) as the transport dialog's Uncertainty tab
// gives it: a refused range sets ErrorText, is reported with ReportWarning and leaves the stored
// range alone. Returns whether it was accepted. A changed range marks the project changed.
bool setUncertaintyRange(
    Session &session, int parameter, Distribution kind, const QString &low, const QString &mode, const QString &high);
void setGradientFitted(Session &session, bool on);

// The texts of a stored range's boxes: low, mode, high ("" where the distribution has none).
std::array<QString, 3> rangeBoxTexts(const ParameterRange &range);

// The lines of the [Uncertainty] section, its heading first; none when nothing is uncertain.
QStringList uncertaintyLines(const UncertaintyRanges &ranges);
// Reads one line of the section into ranges; a problem with the line is returned, ranges unchanged.
std::optional<QString> readUncertaintyLine(const QString &line, UncertaintyRanges &ranges);

// One parameter set for a Monte Carlo run: each uncertain parameter drawn from its range (inverse
// distribution function of one uniform variate), each fixed one the model's value.
struct ParameterSet {
    std::array<double, NumUncertainParameters> values {};
};
ParameterSet sampleParameters(const UncertaintyRanges &ranges, const ProjectModel &model, std::mt19937_64 &generator);
// The inverse distribution function of a range at u in [0, 1).
double rangeQuantile(const ParameterRange &range, double u);

} // namespace qel

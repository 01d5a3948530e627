#pragma once

#include "core/session.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace qel {

// What a Monte Carlo plume study is asked for: how many parameter sets, the seed of their draws and
// the concentration a node must reach to count as seeing the plume.
constexpr int DefaultUncertaintyRuns = 500;
constexpr int MaxUncertaintyRuns = 10000;
constexpr std::uint64_t DefaultUncertaintySeed = 1;

struct PlumeUncertaintySettings {
    int runs = DefaultUncertaintyRuns;
    std::uint64_t seed = DefaultUncertaintySeed;
    double threshold = 0;
};

// The texts of the dialog's boxes and of --runs, --seed and --threshold, read in the C locale;
// problem is the warning to show when the text is refused.
template<typename T> struct SettingReading {
    std::optional<T> value;
    QString problem;
};
SettingReading<int> readUncertaintyRuns(const QString &text); // 1..MaxUncertaintyRuns
SettingReading<std::uint64_t> readUncertaintySeed(const QString &text); // any 64-bit whole number
SettingReading<double> readUncertaintyThreshold(const QString &text); // finite and > 0

// The three boxes of the Run > Plume Uncertainty dialog: the settings, or nothing after the first
// refused box's warning (ReportWarning, its text in ErrorText).
std::optional<PlumeUncertaintySettings> readPlumeUncertaintySettings(
    Session &session, const QString &runs, const QString &seed, const QString &threshold);

// The threshold when none is given: the lower bound of the plume contour view's lowest level, or,
// when the view has no level above 0, 1 % of the source concentration C0. The note says which.
struct DefaultValue {
    double value = 0;
    QString note;
};
DefaultValue defaultUncertaintyThreshold(const ProjectModel &model);

// How far new detection wells keep from the existing wells and from each other: the upper bound of
// the minimum-distance view's lowest level (nodes nearer a well than that are in its lowest band,
// already watched), or ten model-grid spacings when the view has no level.
DefaultValue detectionWellSpacing(const ProjectModel &model);

} // namespace qel

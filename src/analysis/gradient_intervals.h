#pragma once

#include "core/session.h"
#include "regress/plane_fit.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace qel {

// 95 % intervals of one date's plane fit h = a x + b y + c. The standard errors of a and b come
// from the least-squares covariance s^2 (X^T X)^-1 with s^2 = RSS / (n - 3); the intervals of the
// gradient magnitude and the flow direction from the delta method with Student's t at n - 3
// degrees of freedom. Magnitude and direction are the regression's own (regress/plane_fit).
struct GradientInterval {
    int n = 0; // wells with a level that date
    bool fitted = false; // a plane was fitted: a, b, magnitude and direction are set
    bool hasInterval = false; // n > 3 and a plane: the standard errors and intervals are set
    double a = 0, b = 0;
    double seA = 0, seB = 0, covAB = 0;
    double magnitude = 0, magnitudeLow = 0, magnitudeHigh = 0; // low never below 0
    double magnitudeHalfWidth = 0;
    // Degrees clockwise from north in (-180, 180]. The interval runs clockwise from low to high, so
    // low > high when it spans due south. Unset when it would cover every direction.
    double direction = 0;
    std::optional<double> directionLow, directionHigh;
    double directionHalfWidth = 0; // degrees
    QString note; // why there is no interval, or why it has no direction bounds
};

GradientInterval gradientInterval(const std::vector<regress::WellLevel> &levels);

// The levels of every sample date exactly as the regress program reads them from the regression
// input: wells with a location and a level, coordinates and levels in the input's number text.
// A blank date or well identifier, which stops the regression, is error 5 with its message.
std::vector<std::vector<regress::WellLevel>> regressionLevels(const ProjectModel &model);

// One interval per sample date, 1..NumSamples.
std::vector<GradientInterval> gradientIntervals(const ProjectModel &model);

// An angle in degrees brought into (-180, 180].
double wrapDegrees(double degrees);

// The csv of `qel --batch --gradient-intervals`: the header, then one CR LF line per date; the
// fields a date does not have are empty.
QByteArray gradientIntervalsCsv(const ProjectModel &model, const std::vector<GradientInterval> &intervals);

// `qel --batch P --gradient-intervals FILE.csv`; an error when the regression has not run.
bool writeGradientIntervals(Session &session, const QString &target);
void registerGradientIntervalsBatchOutput();

} // namespace qel

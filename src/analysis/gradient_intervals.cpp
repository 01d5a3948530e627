#include "analysis/gradient_intervals.h"

#include "analysis/regression_run.h"
#include "analysis/student_t.h"
#include "core/batch_run.h"
#include "core/csv_rows.h"
#include "core/date_text.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "input/water_level_reader.h"
#include "regress/regress_input.h"

#include <Eigen/Dense>

#include <cmath>

namespace qel {

namespace {

constexpr double Confidence = 0.95;
constexpr double DegreesPerRadian = 180 / M_PI;

const QString CsvHeader = QStringLiteral("date,n,a,b,se_a,se_b,magnitude,magnitude_low,magnitude_high,direction,"
                                         "direction_low,direction_high");

QString optionalNumber(bool present, double value)
{
    return present ? numberText(value) : QString();
}

} // namespace

double wrapDegrees(double degrees)
{
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped <= -180)
        wrapped += 360;
    else if (wrapped > 180)
        wrapped -= 360;
    return wrapped;
}

GradientInterval gradientInterval(const std::vector<regress::WellLevel> &levels)
{
    GradientInterval result;
    const regress::PlaneFit fit = regress::fitPlane(levels);
    result.n = fit.wells;
    if (!fit.fitted) {
        result.note = fit.wells < 3 ? QStringLiteral("fewer than three wells: no plane")
                                    : QStringLiteral("the wells lie on one line: no plane");
        return result;
    }
    result.fitted = true;
    result.a = fit.a;
    result.b = fit.b;
    result.magnitude = fit.magnitude;
    result.direction = fit.direction;
    const int n = fit.wells;
    if (n <= 3) {
        result.note = QStringLiteral("three wells fit the plane exactly: no interval");
        return result;
    }
    // Centred as the fit is: the intercept drops out and (X^T X)^-1 of the centred coordinates is
    // the (a, b) block of the full three-column inverse.
    double mx = 0, my = 0, mh = 0;
    for (const regress::WellLevel &w : levels)
        mx += w.x, my += w.y, mh += w.level;
    mx /= n, my /= n, mh /= n;
    Eigen::Matrix2d normal = Eigen::Matrix2d::Zero();
    double rss = 0;
    for (const regress::WellLevel &w : levels) {
        const Eigen::Vector2d row(w.x - mx, w.y - my);
        normal += row * row.transpose();
        const double residual = (w.level - mh) - fit.a * row(0) - fit.b * row(1);
        rss += residual * residual;
    }
    const Eigen::Matrix2d covariance = rss / (n - 3) * normal.inverse();
    result.seA = std::sqrt(covariance(0, 0));
    result.seB = std::sqrt(covariance(1, 1));
    result.covAB = covariance(0, 1);
    result.hasInterval = true;

    const double t = studentTQuantile(0.5 + Confidence / 2, n - 3);
    const double a = fit.a, b = fit.b, m = fit.magnitude;
    if (m == 0) {
        // The Jacobian of |(a, b)| and of the azimuth is undefined at a flat plane.
        result.hasInterval = false;
        result.note = QStringLiteral("the gradient is 0: no interval");
        return result;
    }
    // Delta method: dm/da = a/m, dm/db = b/m; the azimuth atan2(-a, -b) has d/da = b/m^2, d/db = -a/m^2.
    const Eigen::Vector2d magnitudeGradient(a / m, b / m);
    const Eigen::Vector2d directionGradient(b / (m * m), -a / (m * m));
    const double seMagnitude = std::sqrt(std::max(0.0, magnitudeGradient.dot(covariance * magnitudeGradient)));
    const double seDirection
        = std::sqrt(std::max(0.0, directionGradient.dot(covariance * directionGradient))) * DegreesPerRadian;
    result.magnitudeHalfWidth = t * seMagnitude;
    result.magnitudeLow = std::max(0.0, m - result.magnitudeHalfWidth);
    result.magnitudeHigh = m + result.magnitudeHalfWidth;
    result.directionHalfWidth = t * seDirection;
    if (result.directionHalfWidth >= 180) {
        result.note = QStringLiteral("the direction interval covers every direction");
        return result;
    }
    result.directionLow = wrapDegrees(fit.direction - result.directionHalfWidth);
    result.directionHigh = wrapDegrees(fit.direction + result.directionHalfWidth);
    return result;
}

std::vector<std::vector<regress::WellLevel>> regressionLevels(const ProjectModel &model)
{
    std::optional<QString> stop;
    const QByteArray input = regressionInputBytes(model, stop);
    if (stop)
        throw QelError(ErrInvalidCall, *stop);
    const regress::ParseResult parsed = regress::parseRegressInput(input);
    if (!parsed.input)
        throw QelError(ErrInvalidCall, QStringLiteral("The regression input cannot be read: ") + parsed.problem);
    std::vector<std::vector<regress::WellLevel>> dates(std::size_t(parsed.input->dates.size()));
    for (std::size_t d = 0; d < dates.size(); ++d)
        for (const regress::RegressWell &w : parsed.input->wells)
            if (w.levels[d] != MissingLevel)
                dates[d].push_back({ w.x, w.y, w.levels[d] });
    return dates;
}

std::vector<GradientInterval> gradientIntervals(const ProjectModel &model)
{
    std::vector<GradientInterval> intervals;
    if (model.NumSamples < 1 || model.NumWLWells < 1)
        return intervals;
    for (const std::vector<regress::WellLevel> &levels : regressionLevels(model))
        intervals.push_back(gradientInterval(levels));
    return intervals;
}

QByteArray gradientIntervalsCsv(const ProjectModel &model, const std::vector<GradientInterval> &intervals)
{
    QString text = CsvHeader + QStringLiteral("\r\n");
    for (std::size_t i = 0; i < intervals.size(); ++i) {
        const GradientInterval &g = intervals[i];
        const bool interval = g.hasInterval;
        text += csvRow(
            { shortDateText(model.SampleDate(int(i) + 1)), QString::number(g.n), optionalNumber(g.fitted, g.a),
                optionalNumber(g.fitted, g.b), optionalNumber(interval, g.seA), optionalNumber(interval, g.seB),
                optionalNumber(g.fitted, g.magnitude), optionalNumber(interval, g.magnitudeLow),
                optionalNumber(interval, g.magnitudeHigh), optionalNumber(g.fitted, g.direction),
                optionalNumber(interval && g.directionLow, g.directionLow.value_or(0)),
                optionalNumber(interval && g.directionHigh, g.directionHigh.value_or(0)) });
    }
    return text.toUtf8();
}

bool writeGradientIntervals(Session &session, const QString &target)
{
    return guarded(session, QStringLiteral("Regression:GradientIntervals"), [&] {
        if (!session.model.RGDone)
            throw QelError(ErrInvalidCall,
                QStringLiteral("There are no gradient intervals: the project has no regression results. Run the "
                               "linear regression first."));
        const std::vector<GradientInterval> intervals = gradientIntervals(session.model);
        writeWholeFileOrRaise(target, gradientIntervalsCsv(session.model, intervals));
        for (std::size_t i = 0; i < intervals.size(); ++i)
            if (!intervals[i].note.isEmpty())
                Message(session,
                    QStringLiteral("Gradient intervals, sample %1 (%2, %3 wells): %4")
                        .arg(i + 1)
                        .arg(shortDateText(session.model.SampleDate(int(i) + 1)))
                        .arg(intervals[i].n)
                        .arg(intervals[i].note));
        Message(session,
            QStringLiteral("Saved the gradient intervals of %1 sample dates: %2").arg(intervals.size()).arg(target));
    });
}

void registerGradientIntervalsBatchOutput()
{
    registerBatchOutput(QStringLiteral("--gradient-intervals"), &writeGradientIntervals);
}

} // namespace qel

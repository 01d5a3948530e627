// regress: fits a plane to the water levels of every sample date.
// Usage: regress INPUT FINAL REGRESS RESULTS
//   INPUT    the regression input written by QEL
//   FINAL    a readable summary per date
//   REGRESS  one header line, then one line per date with the six results in fixed columns,
//            followed by the same six at full precision
//   RESULTS  the fitted level and residual of every well on every date
// Exit status 0 when every file was written, 1 when the input is unreadable, 2 for bad usage.
#include "regress/plane_fit.h"
#include "regress/regress_input.h"

#include "core/whole_file.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

using namespace qel::regress;

namespace {

constexpr double NoLevel = -9999;

// A number in a 10-character field, right-aligned, with as many digits as fit.
QString field(double value)
{
    for (int digits = 9; digits >= 1; --digits) {
        const QString text = QString::asprintf("%.*G", digits, value);
        if (text.size() <= 10)
            return text.rightJustified(10);
    }
    return QStringLiteral("0").rightJustified(10);
}

// One result line of REGRESS: the date in characters 1-21, the six values in 10-character fields,
// then after character 86 the same six with 17 significant digits. The fields alone lose
// centimetres of fitted level at survey-sized coordinates; a reader that knows only the fields
// still finds them where they always were.
QString resultLine(const QString &label, const PlaneFit &fit)
{
    const double values[] = { fit.a, fit.b, fit.c, fit.r2, fit.magnitude, fit.direction };
    QStringList fields, exact;
    for (double value : values) {
        fields << field(value);
        exact << QString::asprintf("%.17G", value);
    }
    return label.leftJustified(21, u' ', true) + fields.join(u' ') + u' ' + exact.join(u' ') + QStringLiteral("\r\n");
}

std::vector<WellLevel> levelsOf(const RegressInput &input, std::size_t date)
{
    std::vector<WellLevel> levels;
    for (const RegressWell &w : input.wells)
        if (w.levels[date] != NoLevel)
            levels.push_back({ w.x, w.y, w.levels[date] });
    return levels;
}

bool write(const char *path, const QString &text)
{
    if (qel::writeWholeFile(QString::fromLocal8Bit(path), text.toUtf8()).written)
        return true;
    std::fprintf(stderr, "regress: cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: regress INPUT FINAL REGRESS RESULTS\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "regress: cannot read %s\n", argv[1]);
        return 1;
    }
    const ParseResult parsed = parseRegressInput(file.readAll());
    if (!parsed.input) {
        const QString text = QStringLiteral("regress: %1: %2\r\n").arg(QString::fromLocal8Bit(argv[1]), parsed.problem);
        std::fputs(qPrintable(text), stderr);
        write(argv[2], text);
        return 1;
    }
    const RegressInput &input = *parsed.input;
    QString final = QStringLiteral("Linear regression of water levels: level = a x + b y + c\r\n\r\n");
    QString regress
        = QStringLiteral("Sample Date               a          b          c         R2  Gradient  Direction\r\n");
    QString results = QStringLiteral("Sample\tDate\tWell\tX\tY\tObserved\tFitted\tResidual\r\n");
    // Each well's identifier and place, the same on every date's lines.
    std::vector<QString> wellPlaces;
    wellPlaces.reserve(input.wells.size());
    for (const RegressWell &w : input.wells)
        wellPlaces.push_back(
            w.id + u'\t' + QString::number(w.x, 'g', 12) + u'\t' + QString::number(w.y, 'g', 12) + u'\t');
    results.reserve(qsizetype(input.dates.size()) * qsizetype(input.wells.size()) * 64);
    // The dates side by side at the end, for comparing them at a glance.
    QString summary
        = QStringLiteral("Summary\r\n\r\nSample  Date                  Wells      R2    Gradient  Direction\r\n");
    for (std::size_t d = 0; d < std::size_t(input.dates.size()); ++d) {
        const PlaneFit fit = fitPlane(levelsOf(input, d));
        const QString label = QStringLiteral("%1 '%2'").arg(d + 1, 4).arg(input.dates[qsizetype(d)]);
        regress += resultLine(label, fit);

        final += QStringLiteral("Sample %1, %2: %3 wells\r\n").arg(d + 1).arg(input.dates[qsizetype(d)]).arg(fit.wells);
        summary += QStringLiteral("%1  %2 %3").arg(d + 1, 6).arg(input.dates[qsizetype(d)], -20).arg(fit.wells, 6);
        summary += fit.fitted ? QStringLiteral("  %1  %2  %3\r\n")
                                    .arg(fit.r2, 6, 'f', 4)
                                    .arg(fit.magnitude, 10, 'g', 6)
                                    .arg(fit.direction, 9, 'f', 2)
                              : QStringLiteral("  no plane\r\n");
        if (!fit.fitted) {
            final += QStringLiteral("  no plane: at least three wells not on one line are needed\r\n\r\n");
            continue;
        }
        final += QStringLiteral("  a = %1, b = %2, c = %3\r\n  R2 = %4, gradient = %5, flow direction = %6 deg\r\n\r\n")
                     .arg(fit.a, 0, 'g', 10)
                     .arg(fit.b, 0, 'g', 10)
                     .arg(fit.c, 0, 'g', 10)
                     .arg(fit.r2, 0, 'f', 4)
                     .arg(fit.magnitude, 0, 'g', 6)
                     .arg(fit.direction, 0, 'f', 2);
        // Joined piece by piece: a chain of arg() calls scans the growing line once per value,
        // which for 60000 lines was most of the program's time.
        const QString datePrefix = QString::number(d + 1) + u'\t' + input.dates[qsizetype(d)] + u'\t';
        for (std::size_t k = 0; k < input.wells.size(); ++k) {
            const RegressWell &w = input.wells[k];
            if (w.levels[d] == NoLevel)
                continue;
            const double fitted = fit.a * w.x + fit.b * w.y + fit.c;
            results += datePrefix;
            results += wellPlaces[k];
            results += QString::number(w.levels[d], 'g', 12);
            results += u'\t';
            results += QString::number(fitted, 'f', 4);
            results += u'\t';
            results += QString::number(w.levels[d] - fitted, 'f', 4);
            results += QStringLiteral("\r\n");
        }
    }
    final += summary;
    return write(argv[2], final) && write(argv[3], regress) && write(argv[4], results) ? 0 : 1;
}

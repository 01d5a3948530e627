#include "views/plume_uncertainty_export.h"

#include "analysis/plume_uncertainty.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "views/gis_export.h"

#include <QDir>
#include <QFileInfo>

namespace qel {

namespace {

const QString Tag = QStringLiteral("PlumeUncertainty:Export");

} // namespace

QString exceedanceDescription(double threshold)
{
    return QStringLiteral("Probability that the average concentration reaches %1").arg(numberText(threshold));
}

QStringList plumeUncertaintyFileNames()
{
    return { QStringLiteral("exceedance.tif"), QStringLiteral("p05.tif"), QStringLiteral("p50.tif"),
        QStringLiteral("p95.tif"), QStringLiteral("detection-wells.csv"), QStringLiteral("redundant-wells.csv") };
}

bool writePlumeUncertainty(Session &session, const QString &dir, const BatchOptions &options)
{
    ProjectModel &m = session.model;
    QStringList existing;
    for (const QString &name : plumeUncertaintyFileNames())
        if (QFileInfo(QDir(dir).filePath(name)).exists())
            existing << name;
    if (!existing.isEmpty() && !options.overwrite) {
        session.ErrorText = QStringLiteral("--uncertainty wrote nothing: the folder %1 already holds files the study "
                                           "would replace (%2). Give --overwrite to replace them.")
                                .arg(dir, existing.join(QStringLiteral(", ")));
        ReportError(session);
        return false;
    }
    PlumeUncertaintySettings settings;
    settings.runs = options.runs.value_or(DefaultUncertaintyRuns);
    settings.seed = options.seed.value_or(DefaultUncertaintySeed);
    if (options.threshold) {
        settings.threshold = *options.threshold;
    } else {
        const DefaultValue threshold = defaultUncertaintyThreshold(m);
        settings.threshold = threshold.value;
        Message(session,
            QStringLiteral("Plume uncertainty threshold %1 (%2)").arg(numberText(threshold.value), threshold.note));
    }
    if (!(settings.threshold > 0)) {
        session.ErrorText = QStringLiteral("--uncertainty wrote nothing: the default threshold is not above 0; give "
                                           "--threshold.");
        ReportError(session);
        return false;
    }
    if (!runPlumeUncertainty(session, settings))
        return false;
    return guarded(session, Tag, [&] {
        const PlumeUncertaintyResult &r = *session.part<PlumeUncertaintyStore>().last;
        if (!QDir().mkpath(dir))
            throw QelError(ErrPathNotFound, QStringLiteral("Cannot make the folder %1").arg(dir), dir);
        writeModelGridGeoTiff(
            m, dir, QStringLiteral("exceedance"), exceedanceDescription(settings.threshold), QString(), r.exceedance);
        const struct {
            const char *stem;
            const std::vector<double> &values;
            const char *what;
        } percentiles[] = {
            { "p05", r.p05, "5th" },
            { "p50", r.p50, "50th" },
            { "p95", r.p95, "95th" },
        };
        for (const auto &p : percentiles)
            writeModelGridGeoTiff(m, dir, QLatin1String(p.stem),
                QStringLiteral("%1 percentile of the average concentration").arg(QLatin1String(p.what)), m.ConcUnits,
                p.values);
        writeWholeFileOrRaise(
            QDir(dir).filePath(QStringLiteral("detection-wells.csv")), detectionWellsCsv(r.detectionWells));
        writeWholeFileOrRaise(
            QDir(dir).filePath(QStringLiteral("redundant-wells.csv")), redundantWellsCsv(r.redundancy));
        Message(session, QStringLiteral("Saved the plume uncertainty grids and well lists: %1").arg(dir));
    });
}

void registerPlumeUncertaintyBatchOutput()
{
    registerBatchOutputWithOptions(QStringLiteral("--uncertainty"), &writePlumeUncertainty);
}

} // namespace qel

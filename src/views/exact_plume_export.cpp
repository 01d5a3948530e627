#include "views/exact_plume_export.h"

#include "analysis/exact_plume.h"
#include "core/batch_run.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/progress.h"
#include "core/reporting.h"
#include "views/gis_export.h"
#include "views/gis_staging.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace qel {

namespace {

const QString Tag = QStringLiteral("ExactPlume:export");

QStringList existingIn(const QString &dir)
{
    QStringList existing;
    // A folder of such a name is no file to replace: writing there fails and says so.
    for (const QString &name : { ExactAverageFile, ExactDifferenceFile })
        if (const QFileInfo file(QDir(dir).filePath(name)); file.exists() && !file.isDir())
            existing << name;
    return existing;
}

QString stemOf(const QString &file)
{
    return QFileInfo(file).completeBaseName();
}

} // namespace

void reportComparison(Session &session, const ExactComparison &c)
{
    Message(session, centrelineMessage(session.model, c));
    if (c.unconverged > 0) {
        session.ErrorText = QStringLiteral("The exact plume did not reach its accuracy at %1 nodes (all dates "
                                           "together); their values are the quadrature's best estimate.")
                                .arg(c.unconverged);
        ReportWarning(session);
    }
}

QString centrelineMessage(const ProjectModel &m, const ExactComparison &c)
{
    if (!c.found)
        return QStringLiteral("Exact strip-source plume: no node on the centreline of the average plume reaches "
                              "%1 of the source concentration, so there is no under-prediction of Domenico to give.")
            .arg(significantText(CentrelineFloor, 3));
    const QString units = m.DistUnits.isEmpty() ? QString() : u' ' + m.DistUnits;
    const double x = m.PCLeft + (c.at.ix - 1) * m.PCGridSpacing, y = m.PCTop - (c.at.iy - 1) * m.PCGridSpacing;
    return QStringLiteral("Exact strip-source plume: the largest under-prediction of Domenico on the centreline of "
                          "the average plume is %1 % of the exact concentration, at node %2, %3 (x %4, y %5), "
                          "%6%7 from the source along the average flow.")
        .arg(significantText(100 * c.underPrediction, 3))
        .arg(c.at.ix)
        .arg(c.at.iy)
        .arg(significantText(x, 8), significantText(y, 8), significantText(c.at.distance, 6), units);
}

bool exportExactPlume(Session &session, const QString &dir, bool replace)
{
    if (dir.trimmed().isEmpty()) {
        session.ErrorText = QStringLiteral("No folder was given for the exact plume.");
        ReportError(session);
        return false;
    }
    if (const QStringList existing = existingIn(dir); !existing.isEmpty() && !replace) {
        session.ErrorText = QStringLiteral("--exact-plume wrote nothing: the folder %1 already holds files it would "
                                           "replace (%2). Give --overwrite to replace them.")
                                .arg(dir, existing.join(QStringLiteral(", ")));
        ReportError(session);
        return false;
    }
    return guarded(session, Tag, [&] {
        const ExactComparison c = compareExactPlume(session);
        const ProjectModel &m = session.model;
        session.part<ExactPlumeStore>().last = c;
        if (!QDir().mkpath(dir))
            throw QelError(ErrPathNotFound, QStringLiteral("Cannot make the folder %1").arg(dir), dir);
        MemoryFolder folder;
        writeGisGeoTiff(folder, m, stemOf(ExactAverageFile), ExactAverageDescription, m.ConcUnits, c.average);
        writeGisGeoTiff(folder, m, stemOf(ExactDifferenceFile), ExactDifferenceDescription, m.ConcUnits, c.difference);
        // Both wait in a folder of their own inside dir until both are written, so that a failure
        // leaves the files before as they were.
        const QTemporaryDir staging(QDir(dir).filePath(QStringLiteral(".qel-exact-XXXXXX")));
        if (!staging.isValid())
            throw QelError(
                ErrPathFileAccess, QStringLiteral("Cannot write %1: %2").arg(dir, staging.errorString()), dir);
        folder.flushTo(staging.path());
        moveInto(staging.path(), dir, ExactDifferenceFile);
        Message(session,
            QStringLiteral("Saved %1 and %2 of the exact strip-source plume: %3")
                .arg(ExactAverageFile, ExactDifferenceFile, dir));
        reportComparison(session, c);
    });
}

bool runExactPlume(Session &session)
{
    bool completed = false;
    guarded(session, QStringLiteral("ExactPlume:run"), [&] {
        try {
            ExactComparison c = compareExactPlume(session);
            session.setStatus(QStringLiteral("Exact strip-source plume finished."));
            reportComparison(session, c);
            session.part<ExactPlumeStore>().last = std::move(c);
            completed = true;
        } catch (const WorkCancelled &) {
            reportCancelled(session, QStringLiteral("Exact plume cancelled; the results are as they were."));
        }
    });
    return completed;
}

void registerExactPlumeBatchOutput()
{
    registerBatchOutputWithOverwrite(QStringLiteral("--exact-plume"),
        [](Session &session, const QString &dir, bool overwrite) { return exportExactPlume(session, dir, overwrite); });
}

} // namespace qel

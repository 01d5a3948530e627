#include "views/study_view_export.h"

#include "analysis/plume_uncertainty.h"
#include "core/errors.h"
#include "core/replace_question.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "views/contour_bands.h"
#include "views/exact_plume_export.h"
#include "views/gis_export.h"
#include "views/plume_uncertainty_export.h"

#include <QDir>
#include <QFileInfo>

namespace qel {

namespace {

QString tagOf(ContourKind kind, const char *procedure)
{
    return QLatin1String(contourKindInfo(kind).reportTag) + QLatin1Char(':') + QLatin1String(procedure);
}

QString descriptionOf(Session &session, ContourKind kind)
{
    switch (kind) {
    case ContourKind::Detection:
        if (const auto &study = session.part<PlumeUncertaintyStore>().last)
            return exceedanceDescription(study->settings.threshold);
        return {};
    case ContourKind::ExactPlume: return ExactAverageDescription;
    case ContourKind::ExactDifference: return ExactDifferenceDescription;
    default: return {};
    }
}

// The GeoTIFF is always .tif beside the name chosen.
QString tifPath(const QString &chosen)
{
    const QFileInfo file(chosen);
    return QDir(file.absolutePath()).filePath(file.completeBaseName() + QStringLiteral(".tif"));
}

} // namespace

QString studyGridFileName(ContourKind kind)
{
    switch (kind) {
    case ContourKind::Detection: return QStringLiteral("detection-probability.tif");
    case ContourKind::ExactPlume: return ExactAverageFile;
    case ContourKind::ExactDifference: return ExactDifferenceFile;
    default: return {};
    }
}

bool writeStudyGrid(Session &session, ContourKind kind, const QString &path)
{
    return guarded(session, tagOf(kind, "ExportGrid"), [&] {
        const std::vector<double> *grid = studyGrid(session, kind);
        if (!grid)
            throw QelError(ErrInvalidCall, studyMissingText(kind));
        const QString written = tifPath(path);
        const QFileInfo file(written);
        const QString units = kind == ContourKind::Detection ? QString() : session.model.ConcUnits;
        writeModelGridGeoTiff(
            session.model, file.absolutePath(), file.completeBaseName(), descriptionOf(session, kind), units, *grid);
        Message(session,
            QStringLiteral("Saved the %1 grid: %2").arg(QLatin1String(contourKindInfo(kind).nodeText), written));
    });
}

void studyGridExportClicked(Session &session, ContourKind kind)
{
    session.UserCancelled = false;
    const FileDialogAnswer answer = chooseFileToWrite(session,
        { QStringLiteral("Select Export File"), QStringLiteral("GeoTIFF grid (*.tif)|*.tif"), QStringLiteral("tif"),
            session.model.ProjectDir, studyGridFileName(kind) },
        [](const FileDialogAnswer &a) { return tifPath(a.path); });
    if (!answer.accepted) {
        session.UserCancelled = true;
        return;
    }
    session.setStatus(QStringLiteral("Exporting grid..."));
    session.setStatus(writeStudyGrid(session, kind, answer.path) ? QStringLiteral("Grid exported.") : QString());
}

void detectionListsExportClicked(Session &session)
{
    session.UserCancelled = false;
    FileDialogRequest request { QStringLiteral("Select the folder for the well lists"), {}, {},
        session.model.ProjectDir, {} };
    request.folder = true;
    const FileDialogAnswer answer = session.frontend().openFileDialog(request);
    if (!answer.accepted) {
        session.UserCancelled = true;
        return;
    }
    const QString dir = answer.path;
    const QStringList names = { QStringLiteral("detection-wells.csv"), QStringLiteral("redundant-wells.csv") };
    QStringList existing;
    for (const QString &name : names)
        if (QFileInfo::exists(QDir(dir).filePath(name)))
            existing << name;
    if (!mayReplaceFiles(session, dir, existing))
        return;
    guarded(session, tagOf(ContourKind::Detection, "ExportWells"), [&] {
        const auto &study = session.part<PlumeUncertaintyStore>().last;
        if (!study)
            throw QelError(ErrInvalidCall, studyMissingText(ContourKind::Detection));
        writeWholeFileOrRaise(QDir(dir).filePath(names[0]), detectionWellsCsv(study->detectionWells));
        writeWholeFileOrRaise(QDir(dir).filePath(names[1]), redundantWellsCsv(study->redundancy));
        Message(session, QStringLiteral("Saved the detection and redundant well lists: %1").arg(dir));
    });
}

} // namespace qel

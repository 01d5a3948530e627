#include "views/gis_export.h"

#include "core/batch_run.h"
#include "core/errors.h"
#include "core/progress.h"
#include "core/replace_question.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "map/gdal_support.h"
#include "parallel/worker_pool.h"
#include "views/ascii_grid_writer.h"
#include "views/gis_grids.h"
#include "views/gis_staging.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <memory>
#include <vector>

namespace qel {

namespace gis {

namespace {

QString gdalReason()
{
    const QString m = QString::fromUtf8(CPLGetLastErrorMsg()).trimmed();
    return m.isEmpty() ? QStringLiteral("GDAL gave no reason") : m;
}

double valueOrNoData(double v)
{
    return std::isfinite(v) ? v : GisNoData;
}

std::vector<double> concentrationValues(const ProjectModel &m, const GridGeometry &g, int sample)
{
    std::vector<double> values;
    values.reserve(std::size_t(g.nx) * std::size_t(g.ny));
    for (int iy = 1; iy <= g.ny; ++iy)
        for (int ix = 1; ix <= g.nx; ++ix)
            values.push_back(valueOrNoData(m.Conc(ix, iy, sample)));
    return values;
}

template<typename Grid>
std::vector<double> wellGridValues(const ProjectModel &m, const GridGeometry &g, const Grid &grid)
{
    std::vector<double> values;
    values.reserve(std::size_t(g.nx) * std::size_t(g.ny));
    for (int iy = 1; iy <= g.ny; ++iy)
        for (int ix = 1; ix <= g.nx; ++ix)
            values.push_back(m.NumWells > 0 ? valueOrNoData(grid(ix, iy)) : GisNoData);
    return values;
}

} // namespace

[[noreturn]] void cannotWrite(const QString &name)
{
    throw QelError(ErrPathFileAccess, QStringLiteral("Cannot write %1: %2").arg(name, gdalReason()), name);
}

GDALDriver &driver(const char *name)
{
    GDALDriver *d = GetGDALDriverManager()->GetDriverByName(name);
    if (!d)
        throw QelError(ErrInvalidCall, QStringLiteral("The GDAL driver %1 is not available").arg(QLatin1String(name)));
    return *d;
}

std::vector<double> gridValues(const ProjectModel &m, const GridGeometry &g, const ResultGrid &grid)
{
    switch (grid.kind) {
    case ResultGrid::Kind::MinDistance: return wellGridValues(m, g, m.MinDistGrid);
    case ResultGrid::Kind::Wolf: return wellGridValues(m, g, m.WOLFGrid);
    case ResultGrid::Kind::Concentration: break;
    }
    return concentrationValues(m, g, grid.sample);
}

GdalDatasetPtr memoryRaster(const GridGeometry &g, GDALDataType type, const OGRSpatialReference *srs)
{
    GdalDatasetPtr d(driver("MEM").Create("", g.nx, g.ny, 1, type, nullptr));
    if (!d)
        cannotWrite(QStringLiteral("a grid in memory"));
    std::array<double, 6> gt = g.transform();
    d->SetGeoTransform(gt.data());
    if (srs)
        d->SetSpatialRef(srs);
    return d;
}

} // namespace gis

using namespace gis;

namespace {

const QString Tag = QStringLiteral("GIS:exportGridsForGis");

QString plumeStem(const QDate &date, int sample, QHash<QString, int> &seen)
{
    const QString day = date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("sample%1").arg(sample);
    const int n = ++seen[day];
    return QStringLiteral("plume_") + day + (n > 1 ? QStringLiteral("_%1").arg(n) : QString());
}

// The file names of the grids without their extensions, in the order of resultGrids.
QStringList gridStems(const ProjectModel &m)
{
    QStringList stems;
    QHash<QString, int> seen;
    for (int s = 1; s <= m.NumSamples; ++s)
        stems << plumeStem(m.SampleDate(s), s, seen);
    stems << QStringLiteral("plume_average") << QStringLiteral("mindist") << QStringLiteral("wolf");
    return stems;
}

std::vector<ResultGrid> resultGrids(const ProjectModel &m)
{
    using Kind = ResultGrid::Kind;
    std::vector<ResultGrid> grids;
    const QStringList stems = gridStems(m);
    for (int s = 1; s <= m.NumSamples; ++s)
        grids.push_back({ stems[s - 1], QStringLiteral("Plume concentration ") + m.SampleDate(s).toString(Qt::ISODate),
            m.ConcUnits, Kind::Concentration, s });
    const qsizetype averageAt = m.NumSamples;
    grids.push_back({ stems[averageAt], QStringLiteral("Plume concentration, average of the dates"), m.ConcUnits,
        Kind::Concentration, m.NumSamples + 1 });
    grids.push_back(
        { stems[averageAt + 1], QStringLiteral("Distance to the nearest well"), m.DistUnits, Kind::MinDistance });
    grids.push_back({ stems[averageAt + 2], QStringLiteral("WOLF factor"),
        m.ConcUnits + QStringLiteral(" . ") + m.DistUnits + QStringLiteral("-Sq"), Kind::Wolf });
    return grids;
}

// The coordinate system of the base map, when it has one that applies to the map coordinates.
struct BaseMapCrs {
    std::unique_ptr<OGRSpatialReference> srs;
    QString note; // for the closing message
};

BaseMapCrs baseMapCrs(const ProjectModel &m, const GridGeometry &g)
{
    BaseMapCrs crs;
    if (m.BaseMapFile.isEmpty()) {
        crs.note = QStringLiteral("no coordinate system: the project has no base map");
        return crs;
    }
    QString file = m.BaseMapFile;
    file.replace(u'\\', u'/'); // older projects store relative paths with backslashes
    const QString path = QDir(m.ProjectDir).filePath(file);
    const bool raster = m.BaseMapType == QLatin1String("raster");
    QuietGdalErrors quiet;
    GdalDatasetPtr d(
        GDALDataset::Open(path.toUtf8().constData(), (raster ? GDAL_OF_RASTER : GDAL_OF_VECTOR) | GDAL_OF_READONLY));
    if (!d) {
        crs.note = QStringLiteral("no coordinate system: the base map %1 could not be read").arg(path);
        return crs;
    }
    const OGRSpatialReference *found = nullptr;
    if (raster) {
        double gt[6];
        const bool georeferenced = d->GetGeoTransform(gt) == CE_None
            && !(gt[0] == 0 && gt[1] == 1 && gt[2] == 0 && gt[3] == 0 && gt[4] == 0 && gt[5] == 1);
        found = georeferenced ? d->GetSpatialRef() : nullptr;
    } else {
        for (OGRLayer *layer : d->GetLayers()) {
            if ((found = layer->GetSpatialRef()))
                break;
        }
    }
    if (!found || found->IsEmpty()) {
        crs.note = QStringLiteral("no coordinate system: the base map carries none");
        return crs;
    }
    // GeoJSON is longitude and latitude by definition, so GDAL gives one to a drawing in site
    // coordinates too; a grid outside the globe's range is not in it.
    if (found->IsGeographic() && (g.left < -180 || g.right() > 180 || g.bottom() < -90 || g.top > 90)) {
        crs.note
            = QStringLiteral("no coordinate system: the base map's longitude and latitude do not fit the model grid");
        return crs;
    }
    crs.srs.reset(found->Clone());
    // x east, y north whatever the authority's axis order, as the grids and layers are written.
    crs.srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const char *authority = crs.srs->GetAuthorityName(nullptr);
    const char *code = crs.srs->GetAuthorityCode(nullptr);
    crs.note = QStringLiteral("coordinate system ")
        + (authority && code ? QStringLiteral("%1:%2").arg(QLatin1String(authority), QLatin1String(code))
                             : QString::fromUtf8(crs.srs->GetName()));
    return crs;
}

const QString TiffExtension = QStringLiteral(".tif");
const QString AsciiGridExtension = QStringLiteral(".asc");
// The ASCII grid's coordinate system, written beside it only when there is one.
const QString ProjectionExtension = QStringLiteral(".prj");

// Every file the export writes, by name, in the order it writes them.
QStringList exportFileNames(const ProjectModel &m, bool withCrs)
{
    QStringList names;
    for (const QString &stem : gridStems(m)) {
        names << stem + TiffExtension << stem + AsciiGridExtension;
        if (withCrs)
            names << stem + ProjectionExtension;
    }
    names << PackageName;
    return names;
}

QStringList existingIn(const QString &dir, const QStringList &names)
{
    QStringList existing;
    // A folder of such a name is no file to replace: writing there fails and says so.
    for (const QString &name : names)
        if (const QFileInfo file(QDir(dir).filePath(name)); file.exists() && !file.isDir())
            existing << name;
    return existing;
}

GridGeometry gridGeometry(const ProjectModel &m)
{
    return { m.PCNumX, m.PCNumY, m.PCLeft, m.PCTop, m.PCGridSpacing };
}

// The grid as the GeoTIFF stem.tif in folder: Float64, DEFLATE, its description and units in the file.
void writeTiff(MemoryFolder &folder, const GridGeometry &g, const ResultGrid &grid, const std::vector<double> &values,
    const OGRSpatialReference *srs)
{
    QuietGdalErrors quiet;
    GdalDatasetPtr mem = memoryRaster(g, GDT_Float64, srs);
    GDALRasterBand *band = mem->GetRasterBand(1);
    band->SetNoDataValue(GisNoData);
    band->SetDescription(grid.description.toUtf8().constData());
    if (!grid.units.trimmed().isEmpty())
        band->SetUnitType(grid.units.toUtf8().constData());
    // Only read from: GDAL's interface has one pointer type for both directions.
    if (band->RasterIO(
            GF_Write, 0, 0, g.nx, g.ny, const_cast<double *>(values.data()), g.nx, g.ny, GDT_Float64, 0, 0, nullptr)
        != CE_None)
        cannotWrite(grid.stem);

    const QString name = grid.stem + TiffExtension;
    const CPLConfigOptionSetter sideFiles("GDAL_PAM_ENABLED", "YES", true);
    const char *const options[] = { "COMPRESS=DEFLATE", nullptr };
    GdalDatasetPtr out(driver("GTiff").CreateCopy(
        folder.path(name).constData(), mem.get(), TRUE, const_cast<char **>(options), nullptr, nullptr));
    if (!out)
        cannotWrite(name);
    out.reset(); // closing writes what is still cached
    if (CPLGetLastErrorType() >= CE_Failure)
        cannotWrite(name);
}

// Where the files of one export are made and where they wait until the last is written.
struct ExportTarget {
    MemoryFolder &folder;
    BackgroundWriter &writer;
    QString staging;
    QByteArray projection; // the .prj beside each ASCII grid, none when empty

    void write(const QString &name, QByteArray bytes) const
    {
        writer.write(QDir(staging).filePath(name), std::move(bytes));
    }
};

// The grid's GeoTIFF and its ASCII grid, with the .prj beside the latter when there is a coordinate
// system; no other side file, as the programs that read ASCII grids expect.
void writeGrid(const ExportTarget &target, const ProjectModel &m, const GridGeometry &g, const ResultGrid &grid,
    const OGRSpatialReference *srs)
{
    const std::vector<double> values = gridValues(m, g, grid);
    writeTiff(target.folder, g, grid, values, srs);
    target.write(grid.stem + TiffExtension, target.folder.take(grid.stem + TiffExtension));
    target.write(grid.stem + AsciiGridExtension, asciiGridText(g.nx, g.ny, g.transform(), GisNoData, values));
    if (!target.projection.isEmpty())
        target.write(grid.stem + ProjectionExtension, target.projection);
}

// How an export ended; a declined question writes nothing and is no failure.
enum class GisOutcome { Written, Declined, Cancelled, Failed };

GisOutcome exportTo(Session &session, const QString &dir, ExistingGisFiles existing)
{
    const ProjectModel &m = session.model;
    const auto nothingToExport = [&](const QString &why) {
        session.ErrorText = why;
        ReportError(session);
        return GisOutcome::Failed;
    };
    if (!m.ANDone)
        return nothingToExport(
            QStringLiteral("There are no analytical results to export for GIS. Run the analytical solution first."));
    if (m.Conc.isEmpty() || m.NumSamples < 1 || m.PCNumX < 1 || m.PCNumY < 1 || !(m.PCGridSpacing > 0))
        return nothingToExport(QStringLiteral("The last analytical run left no result grids to export for GIS."));
    if (dir.trimmed().isEmpty())
        return nothingToExport(QStringLiteral("No folder was given for the GIS export."));

    QStringList replaced;
    if (!guarded(session, Tag, [&] { replaced = existingGisFiles(m, dir); }))
        return GisOutcome::Failed;
    if (!replaced.isEmpty() && existing == ExistingGisFiles::Refuse)
        return nothingToExport(QStringLiteral("--export-gis wrote nothing: the folder %1 already holds files the "
                                              "export would replace (%2). Give --overwrite to replace them.")
                                   .arg(dir, replaced.join(QStringLiteral(", "))));
    if (existing == ExistingGisFiles::Ask && !mayReplaceFiles(session, dir, replaced))
        return GisOutcome::Declined;

    bool cancelled = false;
    const bool written = guarded(session, Tag, [&] {
        session.setStatus(QStringLiteral("Exporting grids for GIS..."));
        registerGdalDrivers();
        const bool madeFolder = !QFileInfo(dir).isDir();
        if (!QDir().mkpath(dir))
            throw QelError(ErrPathNotFound, QStringLiteral("Cannot make the folder %1").arg(dir), dir);
        const GridGeometry g = gridGeometry(m);
        const std::vector<ResultGrid> grids = resultGrids(m);
        const BaseMapCrs crs = baseMapCrs(m, g);
        MemoryFolder folder;
        // The files wait in a folder of their own inside dir until the last is written, so that a
        // cancelled or failed export leaves the files of the export before as they were.
        auto staging = std::make_unique<QTemporaryDir>(QDir(dir).filePath(QStringLiteral(".qel-gis-XXXXXX")));
        if (!staging->isValid())
            throw QelError(
                ErrPathFileAccess, QStringLiteral("Cannot write %1: %2").arg(dir, staging->errorString()), dir);
        // The disk takes the files on a thread of its own while the next grids are made.
        BackgroundWriter writer;
        Progress progress(session);
        const auto stopWhenCancelled = [&] {
            progress.breathe();
            if (!progress.cancelled())
                return false;
            cancelled = true;
            writer.stop();
            staging.reset();
            if (madeFolder)
                QDir().rmdir(dir);
            reportCancelled(
                session, QStringLiteral("GIS export cancelled; the files in %1 are as they were.").arg(dir));
            return true;
        };
        const ExportTarget target { folder, writer, staging->path(),
            crs.srs ? esriProjectionText(*crs.srs) : QByteArray() };
        // As many grids at a time as there are cores, each with a coordinate system of its own (GDAL's
        // are not to be shared between threads); progress and cancel here between them.
        const std::size_t batch = std::size_t(std::max(1, workerCount()));
        std::vector<std::unique_ptr<OGRSpatialReference>> srsCopies(batch);
        if (crs.srs)
            for (auto &copy : srsCopies)
                copy.reset(crs.srs->Clone());
        for (std::size_t i = 0; i < grids.size(); i += batch) {
            const std::size_t count = std::min(batch, grids.size() - i);
            // Items of one call run at the same time only with different numbers, so each copy is
            // used by one thread at a time.
            forEachItem(int(count),
                [&](int k) { writeGrid(target, m, g, grids[i + std::size_t(k)], srsCopies[std::size_t(k)].get()); });
            // One progress step and one look at Cancel per grid, as when they were written one by one.
            for (std::size_t done = i + 1; done <= i + count; ++done) {
                progress.setFraction(double(done) / double(grids.size() + 1));
                if (stopWhenCancelled())
                    return;
            }
        }
        writePackage(folder, m, g, grids, crs.srs.get());
        target.write(PackageName, folder.take(PackageName));
        if (stopWhenCancelled())
            return;
        writer.finish();
        moveInto(staging->path(), dir, PackageName);
        Message(session,
            QStringLiteral("Saved %1 result grids and %2 for GIS (%3): %4")
                .arg(QString::number(grids.size()), PackageName, crs.note, dir),
            true); // in place of "Exporting grids for GIS...", which would stay

        if (crs.srs)
            return;
        // Not this export's file, so it stays; but a GIS reads it as the coordinate system of the
        // ASCII grid of its name, which now has none.
        QStringList foreign;
        for (const QString &stem : gridStems(m))
            foreign << stem + ProjectionExtension;
        if (const QStringList kept = existingIn(dir, foreign); !kept.isEmpty())
            Message(session,
                QStringLiteral("Left as they were in %1: %2 (not written by this export: a GIS takes a .prj beside "
                               "an ASCII grid of its name for that grid's coordinate system)")
                    .arg(dir, kept.join(QStringLiteral(", "))));
    });
    if (cancelled)
        return GisOutcome::Cancelled;
    return written ? GisOutcome::Written : GisOutcome::Failed;
}

} // namespace

void writeGisGeoTiff(MemoryFolder &folder, const ProjectModel &m, const QString &stem, const QString &description,
    const QString &units, const std::vector<double> &values)
{
    registerGdalDrivers();
    const GridGeometry g = gridGeometry(m);
    writeTiff(folder, g, { stem, description, units }, values, baseMapCrs(m, g).srs.get());
}

QStringList existingGisFiles(const ProjectModel &m, const QString &dir)
{
    registerGdalDrivers();
    const GridGeometry g = gridGeometry(m);
    return existingIn(dir, exportFileNames(m, baseMapCrs(m, g).srs != nullptr));
}

bool exportGridsForGis(Session &session, const QString &dir, ExistingGisFiles existing)
{
    return exportTo(session, dir, existing) == GisOutcome::Written;
}

bool exportGisClicked(Session &session)
{
    FileDialogRequest request { QStringLiteral("Export grids for GIS: choose a folder"), {}, {},
        session.model.ProjectDir, {} };
    request.folder = true;
    for (;;) {
        FileDialogAnswer answer;
        guarded(session, QStringLiteral("UI:mnuFileExportGIS_Click"),
            [&] { answer = session.frontend().openFileDialog(request); });
        if (!answer.accepted)
            return false;
        // A No to replacing goes back to the choice of folder, as a save dialog does.
        const GisOutcome outcome = exportTo(session, answer.path, ExistingGisFiles::Ask);
        if (outcome != GisOutcome::Declined)
            return outcome == GisOutcome::Written;
        request.initialDir = answer.path;
    }
}

void writeModelGridGeoTiff(const ProjectModel &m, const QString &dir, const QString &stem, const QString &description,
    const QString &units, const std::vector<double> &values)
{
    const GridGeometry g = gridGeometry(m);
    if (values.size() != std::size_t(g.nx) * std::size_t(g.ny))
        raise(ErrSubscript);
    std::vector<double> written(values.size());
    std::transform(values.begin(), values.end(), written.begin(), valueOrNoData);
    MemoryFolder folder;
    writeGisGeoTiff(folder, m, stem, description, units, written);
    folder.flushTo(dir);
}

void registerGisBatchOutput()
{
    registerBatchOutputWithOverwrite(
        QStringLiteral("--export-gis"), [](Session &session, const QString &dir, bool overwrite) {
            return exportGridsForGis(session, dir, overwrite ? ExistingGisFiles::Replace : ExistingGisFiles::Refuse);
        });
}

} // namespace qel
#include "map/map_display.h"

#include "core/file_commands.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/progress.h"
#include "core/reporting.h"
#include "core/workflow_steps.h"
#include "map/map_extents.h"
#include "map/map_session.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <functional>
#include <tuple>

namespace qel {

namespace {

void enableZoom(Session &session, bool enabled)
{
    for (Command zoom : ZoomCommands)
        session.frontend().setCommandEnabled(zoom, enabled);
}

// A map that shows real coordinates at once needs no calibration: its step is shown part done
// and cannot be pressed.
void mapIsInRealCoordinates(Session &session, const MapExtents &extents)
{
    ProjectModel &m = session.model;
    const MapExtents rounded = roundMapExtents(extents);
    m.BaseMapLeft = rounded.left;
    m.BaseMapBottom = rounded.bottom;
    m.BaseMapRight = rounded.right;
    m.BaseMapTop = rounded.top;
    m.MapTextSize = mapTextSize(rounded);
    OutlineNode &scale = session.outline.node(Step::MapScale);
    scale.state = CheckState::Some;
    scale.enabled = false;
    m.MapReady = true;
    m.MSDone = true;
}

// What belonged to the map shown before: its calibration and everything derived from it. The
// method chosen last stays, as the person's preference.
void forgetPreviousMap(Session &session)
{
    ProjectModel &m = session.model;
    if (m.BMDone) {
        session.frontend().closeMapWindow();
        closeMap(session);
    }
    m.MapReady = false;
    m.CalibrationActive = false;
    m.RasterScaleSet = false;
    for (auto *points : { &m.RasterPointX, &m.RasterPointY, &m.VectorPointX, &m.VectorPointY })
        points->fill(0);
    m.RasterScaleDistance = 0;
    m.RasterScale = 0;
    m.BaseMapLeft = m.BaseMapBottom = m.BaseMapRight = m.BaseMapTop = 0;
    m.RasterWidth = m.RasterHeight = 0;
    m.PixelLeft = m.PixelTop = m.PixelRight = m.PixelBottom = 0;
}

// whenOpened runs once the file has opened and before the map's state is recorded, so that a
// file that cannot be opened leaves the map shown before, its layers and its state as they were.
bool displayMap(Session &session, const std::function<void()> &whenOpened)
{
    bool cancelled = false;
    const bool ran = guarded(session, QStringLiteral("Map:DisplayMap"), [&] {
        ProjectModel &m = session.model;
        DrawingComponent &map = drawingOf(session);
        const QString path = QDir(m.ProjectDir).filePath(m.BaseMapFile);
        const bool raster = m.BaseMapType == QLatin1String("raster");
        map.SetUpdate(1);
        try {
            Progress progress(session);
            if (raster)
                map.OpenRasterMap(path, &progress);
            else
                map.LoadBaseDrawing(path, &progress);
        } catch (const WorkCancelled &) {
            cancelled = true;
            return reportCancelled(session,
                QStringLiteral("Opening the base map %1 was cancelled; the map shown before stays.")
                    .arg(QFileInfo(path).fileName()));
        }
        if (whenOpened)
            whenOpened();
        if (raster) {
            m.RasterWidth = map.rasterWidth();
            m.RasterHeight = map.rasterHeight();
            m.PixelLeft = 0;
            m.PixelTop = 0;
            m.PixelRight = m.RasterWidth;
            m.PixelBottom = m.RasterHeight;
            if (const auto &geo = map.baseMap().georeference) {
                // A raster that carries its own georeferencing is placed like a vector drawing.
                const QPointF topLeft = geo->toMap({ 0, 0 });
                const QPointF bottomRight = geo->toMap({ m.RasterWidth, m.RasterHeight });
                mapIsInRealCoordinates(session,
                    { std::min(topLeft.x(), bottomRight.x()), std::min(topLeft.y(), bottomRight.y()),
                        std::max(topLeft.x(), bottomRight.x()), std::max(topLeft.y(), bottomRight.y()) });
                session.setStatus(QStringLiteral("Georeferenced raster map loaded. Coordinates = ") + distanceUnits(m));
            } else {
                session.setStatus(QStringLiteral("Raster map loaded. Coordinates = pixels"));
            }
        } else {
            map.ClearOverlays(0);
            mapIsInRealCoordinates(session, map.baseMap().extents);
            session.setStatus(QStringLiteral("Vector map loaded. Coordinates = ") + distanceUnits(m));
        }
        m.BMDone = true;
        session.checkNode(Step::BaseMap);
        enableZoom(session, true);
        session.frontend().showMapWindow();
    });
    return ran && !cancelled;
}

} // namespace

QString distanceUnits(const ProjectModel &m)
{
    return m.DistUnits.isEmpty() ? QStringLiteral("distance units") : m.DistUnits;
}

bool DisplayMap(Session &session)
{
    return displayMap(session, {});
}

void ClearMap(Session &session)
{
    guarded(session, QStringLiteral("Map:ClearMap"), [&] {
        DrawingComponent &map = drawingOf(session);
        map.ClearOverlays(0);
        if (session.model.BaseMapType == QLatin1String("raster")) {
            map.SetPixelToMap(0, 0, 0, 0, 1, 1, 1, 1);
            map.UnloadRaster();
        }
        map.Regenerate();
    });
}

void closeMap(Session &session)
{
    ProjectModel &m = session.model;
    session.outline.uncheck(Step::BaseMap);
    OutlineNode &scale = session.outline.node(Step::MapScale);
    scale.state = CheckState::None;
    scale.enabled = true;
    session.frontend().outlineChanged();
    m.BMDone = false;
    enableZoom(session, false);
    m.MSDone = false;
    session.setStatus(QStringLiteral("Closed map."));
}

int GetRasterPoint(Session &session, double &x, double &y, const QString &prompt)
{
    int status = InputNone;
    guarded(session, QStringLiteral("Map:GetRasterPoint"), [&] {
        DrawingComponent &map = drawingOf(session);
        map.SetCursor(QString(), 0, 32515);
        session.setStatus(QStringLiteral("Specify the point on the map window."));
        map.GetPoint(prompt, x, y);
        status = map.LastInputStatus();
        session.setStatus(QString());
    });
    return status;
}

QString cursorPositionText(const ProjectModel &m, QPointF p)
{
    // What the map shows now decides, not whether a calibration was stored: a raster is in
    // pixels until one is applied, and again once it is un-ticked or cancelled.
    if (m.BaseMapType == QLatin1String("raster") && !m.CalibrationActive && !m.MapReady)
        return QStringLiteral(" X, Y: ") + numberText(p.x()) + QStringLiteral(", ") + numberText(p.y())
            + QStringLiteral(" pixels ");
    const QLocale locale;
    return QStringLiteral(" X, Y: ") + locale.toString(p.x(), 'f', 2) + QStringLiteral(", ")
        + locale.toString(p.y(), 'f', 2) + QStringLiteral(" ") + distanceUnits(m) + QStringLiteral(" ");
}

QString baseMapFilter()
{
    return QStringLiteral("Raster image (*.bmp;*.tif;*.tiff;*.png;*.jpg;*.jpeg)|*.bmp;*.tif;*.tiff;*.png;*.jpg;*.jpeg|"
                          "AutoCAD drawing file, R2000 (*.dwg)|*.dwg|"
                          "AutoCAD DXF file (*.dxf)|*.dxf|ArcView shape file (*.shp)|*.shp|WMF file (*.wmf)|*.wmf|"
                          "GeoJSON (*.geojson;*.json)|*.geojson;*.json|GeoPackage (*.gpkg)|*.gpkg");
}

int baseMapFilterEntry(const ProjectModel &model)
{
    if (model.BaseMapType == QLatin1String("raster"))
        return 1; // the raster entry: the type follows from the entry chosen
    const QString pattern = QStringLiteral("*.") + QFileInfo(model.BaseMapFile).suffix().toLower();
    const QStringList parts = baseMapFilter().split(u'|');
    for (qsizetype i = 1; i < parts.size(); i += 2)
        if (i > 1 && parts[i].split(u';').contains(pattern))
            return int(i / 2) + 1;
    return 1;
}

bool fileOpenBaseMap(Session &session)
{
    bool opened = false;
    guarded(session, QStringLiteral("UI:mnuFileOpenBaseMap_Click"), [&] {
        WriteLog(session, QStringLiteral("File > Open Basemap"));
        ProjectModel &m = session.model;
        if (!m.ProjectDirAssigned) {
            SetProjectDirectory(session);
            if (session.UserCancelled)
                return;
        }
        session.UserCancelled = false;
        const FileDialogAnswer answer = session.frontend().openFileDialog({ QStringLiteral("Open Base Map File"),
            baseMapFilter(), QString(), m.ProjectDir, QString(), false, baseMapFilterEntry(m) });
        if (!answer.accepted) {
            session.UserCancelled = true;
            return;
        }
        const auto previous = std::tuple(m.BaseMapFile, m.BaseMapDir, m.BaseMapType, m.BaseMapFormat);
        m.BaseMapFile = RelativePath(session, answer.path);
        m.BaseMapDir = PathToDirectory(answer.path);
        m.BaseMapType = answer.filterIndex == 1 ? QStringLiteral("raster") : QStringLiteral("vector");
        m.BaseMapFormat = QFileInfo(answer.path).fileName().right(3).toLower();
        if (!displayMap(session, [&] { forgetPreviousMap(session); })) {
            // The map shown before stays, and so does what the project says of it.
            std::tie(m.BaseMapFile, m.BaseMapDir, m.BaseMapType, m.BaseMapFormat) = previous;
            return;
        }
        const QString name = QFileInfo(answer.path).fileName();
        WriteLog(session, QStringLiteral("Opened basemap file: \r\n") + answer.path);
        session.frontend().setStatusPanel(StatusPanel::File, name);
        Message(session, QStringLiteral("Opened base map file: ") + name, false);
        session.checkNode(Step::BaseMap);
        opened = true;
    });
    return opened;
}

} // namespace qel

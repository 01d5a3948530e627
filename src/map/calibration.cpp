#include "map/calibration.h"

#include "core/number_text.h"
#include "core/reporting.h"
#include "core/workflow_steps.h"
#include "map/map_display.h"
#include "map/map_extents.h"
#include "map/map_session.h"

#include <algorithm>
#include <cmath>

namespace qel {

namespace {

const QString FormTag = QStringLiteral("MapScale");

bool isEmptyBox(const QString &text)
{
    return text.trimmed().isEmpty();
}

// A box the person filled with something that is no number at all.
bool isNotANumber(const QString &text)
{
    return !isEmptyBox(text) && !strictNumber(text).has_value();
}

QString calibratedText(const ProjectModel &m)
{
    return QStringLiteral("Raster map calibrated. Coordinates = ") + distanceUnits(m);
}

} // namespace

QString calibrationMethodText(CalibrationMethod method)
{
    return method == CalibrationMethod::ScaleBar ? QStringLiteral(" a scale bar (less accurate)")
                                                 : QStringLiteral(" two calibration points (preferred)");
}

QString scaleBarWarning()
{
    return QStringLiteral("Please note that calibrating a raster map a using scale bar is \r\n"
                          "an inaccurate method. QEL assumes that the scale is the same in \r\n"
                          "both X and Y directions, which may not be true. QEL also extrapolates\r\n"
                          "map scale calculated from the small scale bar over to the entire map;\r\n"
                          "thus increasing the error manyfold!\r\n"
                          "\r\n"
                          "When you overlay well locations, you will notice the extent\r\n"
                          "of this approximation. In fact, if you have well locations (x,y)\r\n"
                          "available independently, you could select two wells in southwest and \r\n"
                          "northeast extremes, and use those locations as two points for \r\n"
                          "map calibration.  This approach will result in a more accurate calibration.");
}

MapCalibration::MapCalibration(Session &session)
    : m_session(session)
{
}

bool MapCalibration::run(const char *procedure, const std::function<void()> &body)
{
    const bool ran = guarded(m_session, FormTag + u':' + QLatin1String(procedure), body);
    changed();
    return ran;
}

void MapCalibration::changed()
{
    if (m_changed)
        m_changed();
}

std::vector<int> MapCalibration::slots() const
{
    if (m_method == CalibrationMethod::ScaleBar)
        return { 0, 1, 2 };
    return { 3, 4 };
}

void MapCalibration::setHint(const QString &text, bool problem)
{
    m_hint = text;
    m_hintIsProblem = problem;
}

void MapCalibration::setBoxesFromWorkingValues(const std::vector<int> &slots)
{
    for (int i : slots) {
        const auto k = std::size_t(i);
        m_boxes.rasterX[k] = numberText(m_rasterX[k]);
        m_boxes.rasterY[k] = numberText(m_rasterY[k]);
        if (i >= 3) {
            m_boxes.vectorX[k] = numberText(m_vectorX[k]);
            m_boxes.vectorY[k] = numberText(m_vectorY[k]);
        }
    }
}

void MapCalibration::Form_Load()
{
    run("Form_load", [&] {
        ProjectModel &m = m_session.model;
        m_session.FormTag = FormTag;
        m_eventSource = QStringLiteral("Code");
        m_method = m.CalibrationType != 0 ? CalibrationMethod::ScaleBar : CalibrationMethod::TwoPoints;
        m_okEnabled = false;
        if (!m.RasterScaleSet) {
            CheckStatus();
            m_eventSource = QStringLiteral("User");
            return;
        }
        for (int i = 0; i < NumCalibrationSlots; ++i) {
            const auto k = std::size_t(i);
            m_rasterX[k] = m.RasterPointX(i);
            m_rasterY[k] = m.RasterPointY(i);
            m_vectorX[k] = m.VectorPointX(i);
            m_vectorY[k] = m.VectorPointY(i);
        }
        setBoxesFromWorkingValues(slots());
        if (m_method == CalibrationMethod::ScaleBar) {
            m_distance = m.RasterScaleDistance;
            m_scale = m.RasterScale;
            m_boxes.distance = numberText(m_distance);
            m_boxes.scale = numberText(m_scale * 100);
        }
        if (m.CalibrationActive) {
            m_checked = true;
            CheckStatus();
            if (m_checkEnabled) {
                m_session.setStatus(calibratedText(m));
                m_okEnabled = true;
            }
            // What the map shows now is what OK keeps.
            m_applied = { m_rasterX, m_rasterY, m_vectorX, m_vectorY, m_distance, m_scale };
        } else if (m.ProjectStatus == QLatin1String("Read")) {
            CheckStatus();
            if (m_checkEnabled)
                chkCalibrate_Click(true);
        }
        if (m.RunMode == QLatin1String("Batch")) {
            if (!m.CalibrationActive)
                chkCalibrate_Click(true);
            // Only a calibration that took makes the map ready for wells and layers.
            if (m.CalibrationActive)
                m.MapReady = true;
        }
    });
    m_eventSource = QStringLiteral("User");
}

void MapCalibration::resetIfUserChange()
{
    if (m_session.model.CalibrationActive && userEvents())
        ResetCalibration();
}

void MapCalibration::cboCalibrationType_Click(int index)
{
    run("cboCalibrationType_Click", [&] {
        resetIfUserChange();
        m_method = index != 0 ? CalibrationMethod::ScaleBar : CalibrationMethod::TwoPoints;
        m_session.store(m_session.model.CalibrationType, qint16(m_method));
        CheckStatus();
    });
}

void MapCalibration::txtRasterX_Change(int slot, const QString &text)
{
    run("txtRasterX_Change", [&] {
        m_boxes.rasterX.at(std::size_t(slot)) = text;
        resetIfUserChange();
        m_rasterX.at(std::size_t(slot)) = leadingNumber(text);
        // The scale follows the ends of the bar as well as its length.
        if (m_method == CalibrationMethod::ScaleBar && (slot == 1 || slot == 2))
            CalculateScale();
        CheckStatus();
    });
}

void MapCalibration::txtRasterY_Change(int slot, const QString &text)
{
    run("txtRasterY_Change", [&] {
        m_boxes.rasterY.at(std::size_t(slot)) = text;
        resetIfUserChange();
        m_rasterY.at(std::size_t(slot)) = leadingNumber(text);
        if (m_method == CalibrationMethod::ScaleBar && (slot == 1 || slot == 2))
            CalculateScale();
        CheckStatus();
    });
}

void MapCalibration::txtVectorX_Change(int slot, const QString &text)
{
    run("txtVectorX_Change", [&] {
        m_boxes.vectorX.at(std::size_t(slot)) = text;
        resetIfUserChange();
        m_vectorX.at(std::size_t(slot)) = leadingNumber(text);
        CheckStatus();
    });
}

void MapCalibration::txtVectorY_Change(int slot, const QString &text)
{
    run("txtVectorY_Change", [&] {
        m_boxes.vectorY.at(std::size_t(slot)) = text;
        resetIfUserChange();
        m_vectorY.at(std::size_t(slot)) = leadingNumber(text);
        CheckStatus();
    });
}

void MapCalibration::txtDistance_Change(const QString &text)
{
    run("txtDistance_Change", [&] {
        m_boxes.distance = text;
        resetIfUserChange();
        // A length that is not a number gives no scale rather than the scale of the old length.
        m_distance = strictNumber(text).value_or(0);
        CalculateScale();
        CheckStatus();
    });
}

bool MapCalibration::cmdScalePoint_Click(int slot)
{
    bool picked = false;
    run("cmdScalePoint_Click", [&] {
        if (slot < 0 || slot >= NumCalibrationSlots)
            raise(ErrSubscript);
        resetIfUserChange();
        m_session.frontend().showMapWindow();
        const auto k = std::size_t(slot);
        double x = m_rasterX[k], y = m_rasterY[k];
        const QString prompt = slot == OriginSlot
            ? QStringLiteral("Locate the map origin")
            : QStringLiteral("Locate point %1").arg(slot == 1 || slot == 3 ? 1 : 2);
        if (GetRasterPoint(m_session, x, y, prompt) != InputPicked)
            return;
        // The boxes hold image pixels even when the map still shows real coordinates.
        drawingOf(m_session).MapToPixel(x, y);
        picked = true;
        const QString source = m_eventSource;
        m_eventSource = QStringLiteral("Code"); // the reset was asked already
        txtRasterX_Change(slot, numberText(roundHalfEven(x, 1)));
        txtRasterY_Change(slot, numberText(roundHalfEven(y, 1)));
        m_eventSource = source;
    });
    return picked;
}

void MapCalibration::uncalibrate()
{
    ProjectModel &m = m_session.model;
    m_checked = false;
    m.CalibrationActive = false;
    m_okEnabled = false;
    m.MSDone = false;
    m_session.markChanged();
    // Wells and layers must not be drawn onto pixel coordinates.
    m.MapReady = false;
    drawingOf(m_session).SetPixelToMap(0, 0, 0, 0, 1, 1, 1, 1);
    // The step's check mark goes with MSDone, as the outline shows what is done.
    m_session.outline.uncheck(Step::MapScale);
    m_session.frontend().outlineChanged();
    m_session.setStatus(QStringLiteral("Raster map coordinates = pixels"));
    WriteLog(m_session, QStringLiteral("Raster map coordinates = pixels"));
}

void MapCalibration::chkCalibrate_Click(bool ticked)
{
    run("chkCalibrate_Click", [&] {
        if (!ticked) {
            uncalibrate();
            return;
        }
        m_checked = true;
        m_session.model.CalibrationActive = true;
        if (!Calibrate()) {
            // A calibration that failed leaves the map in pixels, as the check box shows.
            m_checked = false;
            m_session.model.CalibrationActive = false;
            m_okEnabled = false;
            return;
        }
        // Opening the dialog re-applies the stored calibration; only the person's tick is a change.
        if (userEvents())
            m_session.markChanged();
        if (userEvents() && m_method == CalibrationMethod::ScaleBar)
            m_session.frontend().messageBox(
                scaleBarWarning(), QStringLiteral("Calibration is approximate!"), MsgButtons::Ok, MsgIcon::Information);
    });
}

bool MapCalibration::cmdOK_Click()
{
    return run("cmdOK_Click", [&] {
        ProjectModel &m = m_session.model;
        if (m.CalibrationActive) {
            const Applied &a = m_applied;
            m.RasterScale = a.scale;
            m.RasterScaleSet = true;
            m.CalibrationType = qint16(m_method);
            m_session.setStatus(calibratedText(m));
            if (m_method == CalibrationMethod::ScaleBar) {
                m.RasterScaleDistance = a.distance;
                for (int i = 0; i <= 2; ++i) {
                    m.RasterPointX(i) = a.rasterX[std::size_t(i)];
                    m.RasterPointY(i) = a.rasterY[std::size_t(i)];
                }
            } else {
                for (int i = 3; i <= 4; ++i) {
                    m.RasterPointX(i) = a.rasterX[std::size_t(i)];
                    m.RasterPointY(i) = a.rasterY[std::size_t(i)];
                    m.VectorPointX(i) = a.vectorX[std::size_t(i)];
                    m.VectorPointY(i) = a.vectorY[std::size_t(i)];
                }
            }
        }
        WriteLog(m_session, QStringLiteral("MapScale: [OK]"));
        // Without an applied calibration the map still shows pixels.
        if (m.CalibrationActive) {
            m.MapReady = true;
            m.MSDone = true;
            m_session.checkNode(Step::MapScale);
        }
    });
}

bool MapCalibration::cmdCancel_Click()
{
    bool closes = true;
    run("cmdCancel_Click", [&] {
        ProjectModel &m = m_session.model;
        WriteLog(m_session, QStringLiteral("MapScale: [Cancel]"));
        if (!(m.CalibrationActive && m.MSDone))
            return;
        const MsgAnswer answer = m_session.frontend().messageBox(
            QStringLiteral("Calibration is done. Are you sure \r\nyou want to cancel and lose the calibration "
                           "values?\r\n\r\nTo save calibration, click [No] on this dialog, \r\nthen click [OK] to "
                           "close the Map Scale dialog."),
            QStringLiteral("Are you sure?"), MsgButtons::YesNo, MsgIcon::Warning);
        if (answer != MsgAnswer::Yes) {
            WriteLog(m_session, QStringLiteral("MapScale: Calibration is done. Are you sure? [No]"));
            closes = false;
            return;
        }
        WriteLog(m_session, QStringLiteral("MapScale: Calibration is done. Are you sure? [Yes]"));
        // The calibration is dropped from the map as well, so that the map and the flags agree.
        uncalibrate();
    });
    return closes;
}

void MapCalibration::CheckStatus()
{
    run("CheckStatus", [&] {
        const ProjectModel &m = m_session.model;
        const std::vector<int> used = slots();
        const bool twoPoints = m_method == CalibrationMethod::TwoPoints;
        setHint(QString());

        // Problems of single boxes show even while other boxes are still empty.
        QString boxProblem;
        for (int i : used) {
            const auto k = std::size_t(i);
            const QString &x = m_boxes.rasterX[k], &y = m_boxes.rasterY[k];
            if (isNotANumber(x) || isNotANumber(y)
                || (twoPoints && (isNotANumber(m_boxes.vectorX[k]) || isNotANumber(m_boxes.vectorY[k]))))
                boxProblem = QStringLiteral("Coordinates must be numbers! Please try again.");
            else if (!isEmptyBox(x) && (m_rasterX[k] < 0 || m_rasterX[k] > m.PixelRight))
                boxProblem = QStringLiteral("Raster X coordinate outside range (%1,%2)! Please try again.")
                                 .arg(numberText(m.PixelLeft), numberText(m.PixelRight));
            else if (!isEmptyBox(y) && (m_rasterY[k] < 0 || m_rasterY[k] > m.PixelBottom))
                boxProblem = QStringLiteral("Raster Y coordinate outside range (%1,%2)! Please try again.")
                                 .arg(numberText(m.PixelTop), numberText(m.PixelBottom));
        }
        if (!twoPoints && isNotANumber(m_boxes.distance))
            boxProblem = QStringLiteral("The distance must be a number! Please try again.");

        bool allFilled = true;
        if (!twoPoints && (isEmptyBox(m_boxes.distance) || isEmptyBox(m_boxes.scale)))
            allFilled = false;
        for (int i : used) {
            const auto k = std::size_t(i);
            if (isEmptyBox(m_boxes.rasterX[k]) || isEmptyBox(m_boxes.rasterY[k])
                || (twoPoints && (isEmptyBox(m_boxes.vectorX[k]) || isEmptyBox(m_boxes.vectorY[k])))) {
                allFilled = false;
                break;
            }
        }
        if (allFilled) {
            const auto a = std::size_t(used[used.size() - 2]), b = std::size_t(used.back());
            const bool sameRaster
                = m_boxes.rasterX[a] == m_boxes.rasterX[b] && m_boxes.rasterY[a] == m_boxes.rasterY[b];
            const bool sameReal
                = twoPoints && m_boxes.vectorX[a] == m_boxes.vectorX[b] && m_boxes.vectorY[a] == m_boxes.vectorY[b];
            if (sameRaster || sameReal) {
                setHint(QStringLiteral("The points must not overlap!"));
                allFilled = false;
            }
        }
        if (allFilled) {
            for (int i : used) {
                if (m_rasterX[std::size_t(i)] < 0 || m_rasterY[std::size_t(i)] < 0) {
                    setHint(QStringLiteral("Negative raster coordinate!"));
                    WriteLog(m_session, QStringLiteral("MapScale: Negative raster coordinate!"));
                    allFilled = false;
                    break;
                }
            }
        }
        // Each axis is scaled on its own, so the two anchors must differ along both.
        if (allFilled && twoPoints
            && (m_rasterX[3] == m_rasterX[4] || m_rasterY[3] == m_rasterY[4] || m_vectorX[3] == m_vectorX[4]
                || m_vectorY[3] == m_vectorY[4])) {
            setHint(QStringLiteral("The two points must differ in both X and Y! Please try again."));
            allFilled = false;
        }
        if (allFilled && !twoPoints && (m_rasterX[0] == m.PixelRight || m_rasterY[0] == m.PixelTop)) {
            setHint(QStringLiteral("The origin must not lie on the top or right edge of the map! Please try again."));
            allFilled = false;
        }
        if (!boxProblem.isEmpty() && (m_hint.isEmpty() || allFilled)) {
            setHint(boxProblem);
            allFilled = false;
        }
        if (m_hint.isEmpty() && !m_scaleProblem.isEmpty())
            setHint(m_scaleProblem);

        if (allFilled) {
            m_hintIsProblem = false;
            m_checkEnabled = true;
            // A calibration the person chose to keep is still on the map: OK can keep it.
            if (m.CalibrationActive && m_checked) {
                m_okEnabled = true;
                m_session.model.MSDone = true;
            }
        } else {
            m_hintIsProblem = true;
            m_okEnabled = false;
            m_session.model.MSDone = false;
            m_checkEnabled = false;
        }
    });
}

void MapCalibration::CalculateScale()
{
    run("CalculateScale", [&] {
        m_scaleProblem.clear();
        const bool endsMissing = isEmptyBox(m_boxes.rasterX[1]) || isEmptyBox(m_boxes.rasterY[1])
            || isEmptyBox(m_boxes.rasterX[2]) || isEmptyBox(m_boxes.rasterY[2]);
        if (m_distance <= 0 || endsMissing || m_rasterX[1] < 0 || m_rasterY[1] < 0 || m_rasterX[2] < 0
            || m_rasterY[2] < 0) {
            m_boxes.scale.clear();
            m_scale = 0;
            return;
        }
        const double dx = m_rasterX[2] - m_rasterX[1], dy = m_rasterY[2] - m_rasterY[1];
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d == 0) {
            m_scaleProblem = QStringLiteral("Zero distance between point! Please try again.");
            setHint(m_scaleProblem);
            m_boxes.scale.clear();
            m_scale = 0;
            return;
        }
        m_scale = m_distance / d;
        m_boxes.scale = numberText(m_scale * 100);
    });
}

bool MapCalibration::Calibrate()
{
    return run("Calibrate", [&] {
        ProjectModel &m = m_session.model;
        DrawingComponent &map = drawingOf(m_session);
        map.SetPixelToMap(0, 0, 0, 0, 1, 1, 1, 1);
        if (m_method == CalibrationMethod::ScaleBar) {
            m_vectorX[0] = m_vectorY[0] = 0;
            m_vectorX[2] = (m.PixelRight - m_rasterX[0]) * m_scale;
            m_vectorY[2] = (m_rasterY[0] - m.PixelTop) * m_scale;
            m_session.frontend().showMapWindow();
            map.SetPixelToMap(m_rasterX[0], m_rasterY[0], 0, 0, m.PixelRight, m.PixelTop, m_vectorX[2], m_vectorY[2]);
        } else {
            m_session.frontend().showMapWindow();
            map.SetPixelToMap(m_rasterX[3], m_rasterY[3], m_vectorX[3], m_vectorY[3], m_rasterX[4], m_rasterY[4],
                m_vectorX[4], m_vectorY[4]);
        }
        WriteLog(m_session, FormTag + QStringLiteral(": Base map calibrated using ") + calibrationMethodText(m_method));
        findExtremes();
        m.CalibrationActive = true;
        m.MSDone = true;
        m_okEnabled = true;
        m_applied = { m_rasterX, m_rasterY, m_vectorX, m_vectorY, m_distance, m_scale };
        m_session.setStatus(calibratedText(m));
        WriteLog(m_session, calibratedText(m));
    });
}

void MapCalibration::FindMapExtremes()
{
    run("FindMapExtremes", [&] { findExtremes(); });
}

void MapCalibration::findExtremes()
{
    ProjectModel &m = m_session.model;
    const DrawingComponent &map = drawingOf(m_session);
    double left = m.PixelLeft, bottom = m.PixelBottom, right = m.PixelRight, top = m.PixelTop;
    map.PixelToMap(left, bottom);
    map.PixelToMap(right, top);
    // A mirrored calibration still gives the extents in their usual order.
    const MapExtents extents = roundMapExtents(
        { std::min(left, right), std::min(bottom, top), std::max(left, right), std::max(bottom, top) });
    m.BaseMapLeft = extents.left;
    m.BaseMapBottom = extents.bottom;
    m.BaseMapRight = extents.right;
    m.BaseMapTop = extents.top;
    m.MapTextSize = mapTextSize(extents);
}

bool MapCalibration::ResetCalibration()
{
    bool reset = false;
    run("ResetCalibration", [&] {
        const MsgAnswer answer = m_session.frontend().messageBox(
            QStringLiteral("Raster map is already calibrated. Do you \r\nwish to change calibration parameters "
                           "and\r\nredo calibration?"),
            QStringLiteral("Reset calibration?"), MsgButtons::YesNo, MsgIcon::Question);
        if (answer == MsgAnswer::Yes) {
            chkCalibrate_Click(false);
            reset = true;
        }
    });
    return reset;
}

void recalibrateMap(Session &session)
{
    MapCalibration calibration(session);
    calibration.Form_Load();
}

} // namespace qel

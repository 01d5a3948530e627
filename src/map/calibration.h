#pragma once

#include "core/session.h"

#include <QString>

#include <array>
#include <functional>

namespace qel {

// The two ways a raster is tied to real coordinates; the values are the method list's indexes
// and CalibrationType.
enum class CalibrationMethod : int { TwoPoints = 0, ScaleBar = 1 };

// The method list's entries; each names its method in the log too.
QString calibrationMethodText(CalibrationMethod method);

// Point slots: 0 the map origin, 1 and 2 the ends of the scale bar, 3 and 4 the two points.
inline constexpr int OriginSlot = 0;
inline constexpr int NumCalibrationSlots = 5;

// The texts of the boxes of the map-scale dialog, as the person typed them or the rules set them.
struct CalibrationBoxes {
    std::array<QString, NumCalibrationSlots> rasterX, rasterY, vectorX, vectorY;
    QString distance, scale;
};

// frmMapScale without its window: the working values, the box texts, the hint and the state of
// the check box and OK, and every rule between them. The dialog shows this state and forwards
// the person's changes; a batch run calibrates with it without any window.
class MapCalibration {
public:
    explicit MapCalibration(Session &session);

    // Opening: fills the boxes from the stored calibration and re-applies it as the project
    // state asks; in a batch run calibrates at once.
    void Form_Load();

    // The person's changes. Each first asks ResetCalibration while a calibration is applied.
    void cboCalibrationType_Click(int index);
    void txtRasterX_Change(int slot, const QString &text);
    void txtRasterY_Change(int slot, const QString &text);
    void txtVectorX_Change(int slot, const QString &text);
    void txtVectorY_Change(int slot, const QString &text);
    void txtDistance_Change(const QString &text);
    // Locate button: asks for a point on the map and fills the slot's raster boxes with it.
    // Returns whether a point was picked.
    bool cmdScalePoint_Click(int slot);
    void chkCalibrate_Click(bool ticked);
    // Returns whether the dialog closes.
    bool cmdOK_Click();
    bool cmdCancel_Click();

    void CheckStatus();
    void CalculateScale();
    // Returns whether the map now shows real coordinates.
    bool Calibrate();
    void FindMapExtremes();
    // Asks whether to drop the applied calibration; Yes un-ticks the check box. Returns whether
    // the calibration was dropped.
    bool ResetCalibration();

    CalibrationMethod method() const { return m_method; }
    const CalibrationBoxes &boxes() const { return m_boxes; }
    const QString &hint() const { return m_hint; }
    bool hintIsProblem() const { return m_hintIsProblem; }
    bool checkEnabled() const { return m_checkEnabled; }
    bool checked() const { return m_checked; }
    bool okEnabled() const { return m_okEnabled; }
    double rasterX(int slot) const { return m_rasterX.at(std::size_t(slot)); }
    double rasterY(int slot) const { return m_rasterY.at(std::size_t(slot)); }
    double vectorX(int slot) const { return m_vectorX.at(std::size_t(slot)); }
    double vectorY(int slot) const { return m_vectorY.at(std::size_t(slot)); }
    double distance() const { return m_distance; }
    double scale() const { return m_scale; }
    // The slots the current method uses.
    std::vector<int> slots() const;

    // "Code" while the rules fill the boxes themselves, "User" otherwise.
    bool userEvents() const { return m_eventSource == QLatin1String("User"); }
    // Called after every change of the state above, for the dialog to show it.
    void setChangedHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    struct Applied {
        std::array<double, NumCalibrationSlots> rasterX {}, rasterY {}, vectorX {}, vectorY {};
        double distance = 0, scale = 0;
    };

    bool run(const char *procedure, const std::function<void()> &body);
    void resetIfUserChange();
    void setHint(const QString &text, bool problem = true);
    void uncalibrate();
    void findExtremes();
    void setBoxesFromWorkingValues(const std::vector<int> &slots);
    void changed();

    Session &m_session;
    CalibrationMethod m_method = CalibrationMethod::TwoPoints;
    std::array<double, NumCalibrationSlots> m_rasterX {}, m_rasterY {}, m_vectorX {}, m_vectorY {};
    double m_distance = 0, m_scale = 0;
    CalibrationBoxes m_boxes;
    QString m_hint;
    QString m_scaleProblem; // why the scale box is empty, kept until the distance or points change
    bool m_hintIsProblem = false;
    bool m_checkEnabled = false;
    bool m_checked = false;
    bool m_okEnabled = false;
    QString m_eventSource = QStringLiteral("User");
    // The values the map's transformation was made from; OK stores these.
    Applied m_applied;
    std::function<void()> m_changed;
};

// The stored calibration applied again without asking anything, as when a project is opened.
void recalibrateMap(Session &session);

// The text of the information box shown when the scale-bar method is chosen.
QString scaleBarWarning();

} // namespace qel

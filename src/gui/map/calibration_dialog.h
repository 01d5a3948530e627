#pragma once

#include "gui/common/child_form.h"
#include "map/calibration.h"

#include <QPointer>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qel::gui {

class MainWindow;

// frmMapScale ("Set Map Scale"): ties the raster's pixels to real coordinates by two points or
// by a scale bar. The rules are MapCalibration's; the dialog shows its state and forwards the
// person's edits, clicks and picks.
class CalibrationDialog : public ChildForm {
    Q_OBJECT
public:
    explicit CalibrationDialog(Session &session, MainWindow *main = nullptr);

    MapCalibration &calibration() { return m_calibration; }
    // Called with the help-context number when Help is pressed.
    void setHelpHook(std::function<void(int)> hook) { m_helpHook = std::move(hook); }

protected:
    // Cancel, with its question when a calibration is done.
    bool closeProcedure() override;

private:
    void cmdOK_Click();
    void showState();
    void locate(int slot);
    QLineEdit *box(const QString &name, int width = 80);

    MapCalibration m_calibration;
    QPointer<MainWindow> m_main;
    QComboBox *m_cboCalibrationType = nullptr;
    QGroupBox *m_fraOrigin = nullptr, *m_fraScaleBar = nullptr, *m_fraTwoPoints = nullptr;
    std::array<QLineEdit *, NumCalibrationSlots> m_txtRasterX {}, m_txtRasterY {}, m_txtVectorX {}, m_txtVectorY {};
    QLineEdit *m_txtDistance = nullptr, *m_txtScale = nullptr;
    QLabel *m_lblHeader = nullptr, *m_lblHint = nullptr;
    std::array<QLabel *, 2> m_lblUnits {};
    QCheckBox *m_chkCalibrate = nullptr;
    QPushButton *m_cmdOK = nullptr, *m_cmdCancel = nullptr, *m_cmdHelp = nullptr;
    std::function<void(int)> m_helpHook;
};

// Map > Set Scale once its preconditions hold: opens the dialog or brings it to the front.
CalibrationDialog *showMapScaleDialog(MainWindow &main);

} // namespace qel::gui

#pragma once

#include "core/session.h"
#include "core/uncertainty_ranges.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qel::gui {

// The Uncertainty tab of the transport dialog: a distribution and its bounds for each parameter
// that may vary, and whether the dates' gradients are drawn from their intervals. A row is
// checked once its boxes are filled, as a box is left; the core's rules judge it.
class UncertaintyTab : public QWidget {
    Q_OBJECT
public:
    explicit UncertaintyTab(Session &session, QWidget *parent = nullptr);

    // Checks every row that is not fixed, missing bounds included; false and the focus on the
    // first refused row when one is refused.
    bool checkAll();

private:
    void cboDistribution_Change(int row);
    // Checks a row; an incomplete one only when `complete` is asked for.
    bool checkRow(int row, bool complete);
    Distribution kindOf(int row) const;
    std::array<QLineEdit *, 3> boxesOf(int row) const;

    Session &m_session;
    std::array<QComboBox *, NumUncertainParameters> m_cboDistribution {};
    std::array<QLineEdit *, NumUncertainParameters> m_txtLow {}, m_txtMode {}, m_txtHigh {};
    QCheckBox *m_chkGradient = nullptr;
    bool m_filling = false;
};

} // namespace qel::gui

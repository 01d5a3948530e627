#pragma once

#include "core/plume_uncertainty_rules.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace qel::gui {

// Run > Plume Uncertainty: the number of parameter sets, the seed and the threshold concentration,
// checked by core when OK is pressed; a refused box keeps the dialog open on it.
class PlumeUncertaintyDialog : public QDialog {
    Q_OBJECT
public:
    explicit PlumeUncertaintyDialog(Session &session, QWidget *parent = nullptr);

    void cmdOK_Click();
    // Set once OK was pressed with accepted boxes.
    const std::optional<PlumeUncertaintySettings> &settings() const { return m_settings; }

private:
    Session &m_session;
    QLineEdit *m_runs;
    QLineEdit *m_seed;
    QLineEdit *m_threshold;
    std::optional<PlumeUncertaintySettings> m_settings;
};

// The menu command: says what is missing when the project has no plume yet, else asks for the
// settings and runs the study.
void runPlumeUncertaintyClicked(Session &session, QWidget *parent);

} // namespace qel::gui

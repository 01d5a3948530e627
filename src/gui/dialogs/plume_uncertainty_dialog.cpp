#include "gui/dialogs/plume_uncertainty_dialog.h"

#include "analysis/plume_uncertainty.h"
#include "core/number_text.h"
#include "core/reporting.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QLineEdit *box(QWidget *parent, const QString &name, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(180);
    return edit;
}

} // namespace

PlumeUncertaintyDialog::PlumeUncertaintyDialog(Session &session, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmPlumeUncertainty"));
    setWindowTitle(QStringLiteral("Plume Uncertainty"));
    const ProjectModel &m = session.model;
    const DefaultValue threshold = defaultUncertaintyThreshold(m);
    m_runs = box(this, QStringLiteral("txtRuns"), QString::number(DefaultUncertaintyRuns));
    m_seed = box(this, QStringLiteral("txtSeed"), QString::number(DefaultUncertaintySeed));
    m_threshold = box(this, QStringLiteral("txtThreshold"), numberText(threshold.value));

    auto *intro = new QLabel(QStringLiteral("Runs the plume of every sample date for parameter sets drawn from the "
                                            "ranges of the transport data, and maps the chance that the date-averaged "
                                            "concentration reaches the threshold."),
        this);
    intro->setWordWrap(true);
    auto *note = new QLabel(QStringLiteral("Default threshold: %1.").arg(threshold.note), this);
    note->setObjectName(QStringLiteral("lblThresholdDefault"));
    note->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Parameter sets (1 to %1):").arg(MaxUncertaintyRuns), m_runs);
    form->addRow(QStringLiteral("Seed:"), m_seed);
    form->addRow(
        QStringLiteral("Threshold concentration") + (m.ConcUnits.isEmpty() ? QString() : u' ' + m.ConcUnits) + u':',
        m_threshold);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PlumeUncertaintyDialog::cmdOK_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void PlumeUncertaintyDialog::cmdOK_Click()
{
    m_settings = readPlumeUncertaintySettings(m_session, m_runs->text(), m_seed->text(), m_threshold->text());
    if (m_settings)
        accept();
}

void runPlumeUncertaintyClicked(Session &session, QWidget *parent)
{
    if (!plumeReadyForStudy(session))
        return;
    PlumeUncertaintyDialog dialog(session, parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.settings())
        return;
    runPlumeUncertainty(session, *dialog.settings());
}

} // namespace qel::gui

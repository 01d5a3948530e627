#include "gui/dialogs/uncertainty_tab.h"

#include "core/reporting.h"
#include "core/transport_rules.h"
#include "gui/common/refused_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

// In the order of Distribution.
const char *const DistributionNames[] = { "fixed", "uniform", "log-uniform", "triangular" };

} // namespace

UncertaintyTab::UncertaintyTab(Session &session, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("tabUncertainty"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    const char *headings[] = { "Parameter", "Distribution", "Low", "Mode", "High", "" };
    for (int c = 0; c < 6; ++c)
        grid->addWidget(new QLabel(QLatin1String(headings[c]), this), 0, c);
    const ProjectModel &model = session.model;
    m_filling = true;
    for (int i = 0; i < NumUncertainParameters; ++i) {
        const TransportParameter &parameter = transportParameter(uncertainParameters()[std::size_t(i)].transportIndex);
        auto *combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("cboDistribution%1").arg(i));
        for (const char *name : DistributionNames)
            combo->addItem(QLatin1String(name));
        const auto box = [&](const char *name) {
            auto *b = new QLineEdit(this);
            b->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i));
            b->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            b->setFixedWidth(90);
            connect(b, &QLineEdit::editingFinished, this, [this, i] {
                if (!m_filling)
                    checkRow(i, false);
            });
            connect(b, &QLineEdit::textEdited, this, [this, i] {
                for (QLineEdit *rowBox : boxesOf(i))
                    markRefused(rowBox, false);
            });
            return b;
        };
        m_cboDistribution[i] = combo;
        m_txtLow[i] = box("txtRangeLow");
        m_txtMode[i] = box("txtRangeMode");
        m_txtHigh[i] = box("txtRangeHigh");
        auto *label = new QLabel(parameter.label, this);
        label->setBuddy(combo);
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(combo, i + 1, 1);
        grid->addWidget(m_txtLow[i], i + 1, 2);
        grid->addWidget(m_txtMode[i], i + 1, 3);
        grid->addWidget(m_txtHigh[i], i + 1, 4);
        grid->addWidget(new QLabel(unitLabel(parameter, model), this), i + 1, 5);

        const ParameterRange &range = model.Uncertainty.ranges[std::size_t(i)];
        combo->setCurrentIndex(int(range.kind));
        const std::array<QString, 3> texts = rangeBoxTexts(range);
        for (int b = 0; b < 3; ++b)
            boxesOf(i)[std::size_t(b)]->setText(texts[std::size_t(b)]);
        cboDistribution_Change(i);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, i] {
            if (!m_filling)
                cboDistribution_Change(i);
        });
    }
    grid->setColumnStretch(6, 1);

    m_chkGradient = new QCheckBox(QStringLiteral("Draw each date's gradient from its 95 % interval"), this);
    m_chkGradient->setObjectName(QStringLiteral("chkGradientFitted"));
    m_chkGradient->setChecked(model.Uncertainty.gradientFitted);
    connect(m_chkGradient, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_filling)
            guarded(m_session, QStringLiteral("TransData:chkGradientFitted_Click"),
                [&] { setGradientFitted(m_session, on); });
    });
    m_filling = false;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Ranges of the parameters for an uncertainty study; a fixed "
                                                "parameter keeps its value."),
        this));
    layout->addLayout(grid);
    layout->addWidget(m_chkGradient);
    layout->addStretch();
}

Distribution UncertaintyTab::kindOf(int row) const
{
    return Distribution(std::clamp(m_cboDistribution[std::size_t(row)]->currentIndex(), 0, 3));
}

std::array<QLineEdit *, 3> UncertaintyTab::boxesOf(int row) const
{
    return { m_txtLow[std::size_t(row)], m_txtMode[std::size_t(row)], m_txtHigh[std::size_t(row)] };
}

void UncertaintyTab::cboDistribution_Change(int row)
{
    const Distribution kind = kindOf(row);
    const std::array<QLineEdit *, 3> boxes = boxesOf(row);
    boxes[0]->setEnabled(kind != Distribution::Fixed);
    boxes[1]->setEnabled(kind == Distribution::Triangular);
    boxes[2]->setEnabled(kind != Distribution::Fixed);
    for (QLineEdit *box : boxes)
        markRefused(box, false);
    if (!m_filling)
        checkRow(row, false);
}

bool UncertaintyTab::checkRow(int row, bool complete)
{
    const Distribution kind = kindOf(row);
    const std::array<QLineEdit *, 3> boxes = boxesOf(row);
    if (!complete)
        for (QLineEdit *box : boxes)
            if (box->isEnabled() && box->text().trimmed().isEmpty())
                return true; // judged once the row is filled, or at Close
    bool accepted = false;
    guarded(m_session, QStringLiteral("TransData:txtRange_Validate"), [&] {
        accepted = setUncertaintyRange(m_session, row, kind, boxes[0]->text(),
            boxes[1]->isEnabled() ? boxes[1]->text() : QString(), boxes[2]->text());
    });
    for (QLineEdit *box : boxes)
        markRefused(box, !accepted && box->isEnabled());
    return accepted;
}

bool UncertaintyTab::checkAll()
{
    for (int i = 0; i < NumUncertainParameters; ++i) {
        if (kindOf(i) != Distribution::Fixed && !checkRow(i, true)) {
            m_cboDistribution[std::size_t(i)]->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return true;
}

} // namespace qel::gui

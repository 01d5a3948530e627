#include "gui/dialogs/units_dialog.h"

#include "core/help_topics.h"
#include "core/reporting.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

constexpr std::array<UnitKind, 3> Kinds = { UnitKind::Distance, UnitKind::Time, UnitKind::Concentration };

// The VB-style control names the tests and the log know the lists by.
QString comboName(UnitKind kind)
{
    switch (kind) {
    case UnitKind::Distance: return QStringLiteral("cboDistUnits");
    case UnitKind::Time: return QStringLiteral("cboTimeUnits");
    case UnitKind::Concentration: return QStringLiteral("cboConcUnits");
    }
    return {};
}

} // namespace

UnitsDialog::UnitsDialog(Session &session, QWidget *parent)
    : ChildForm(session, UnitsFormTag, HelpTopic::Units, parent)
{
    setObjectName(QStringLiteral("frmUnits"));
    setWindowTitle(QStringLiteral("Set Units"));
    session.FormTag = UnitsFormTag;

    auto *intro = new QLabel(QStringLiteral("Select basic units here. These units will be used for "
                                            "entering/displaying data throughout the project."),
        this);
    intro->setObjectName(QStringLiteral("lblIntro"));
    intro->setWordWrap(true);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(8);
    for (UnitKind kind : Kinds) {
        const UnitChoice &choice = unitChoice(kind);
        auto *combo = new QComboBox(this);
        combo->setObjectName(comboName(kind));
        combo->addItems(choice.choices);
        combo->setPlaceholderText(QStringLiteral("Choose…"));
        combo->setCurrentIndex(-1);
        combo->setMinimumWidth(120);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, kind](int index) { cboUnits_Click(kind, index); });
        auto *label = new QLabel(choice.label, this);
        label->setBuddy(combo);
        form->addRow(label, combo);
        m_cboUnits[static_cast<std::size_t>(kind)] = combo;
    }

    m_cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    m_cmdClose = new QPushButton(QStringLiteral("Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdHelp, &QPushButton::clicked, this, &UnitsDialog::cmdHelp_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &UnitsDialog::closeForm);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdHelp);
    buttons->addStretch();
    buttons->addWidget(m_cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(14);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(380);

    Initialize();
}

void UnitsDialog::Initialize()
{
    guarded(session(), QStringLiteral("Units:Initialize"), [&] {
        m_EventSource = QStringLiteral("Code");
        for (UnitKind kind : Kinds)
            m_cboUnits[static_cast<std::size_t>(kind)]->setCurrentIndex(unitChoiceIndex(session().model, kind));
        m_EventSource = QStringLiteral("User");
        CheckStatus();
    });
    m_EventSource = QStringLiteral("User");
}

void UnitsDialog::cboUnits_Click(UnitKind kind, int index)
{
    if (index < 0)
        return;
    const QString tag = QStringLiteral("Units:") + comboName(kind) + QStringLiteral("_Click");
    guarded(session(), tag, [&] {
        chooseUnit(session(), kind, unitChoice(kind).choices.at(index), m_EventSource == QLatin1String("User"));
    });
    CheckStatus();
}

void UnitsDialog::CheckStatus()
{
    m_cmdClose->setEnabled(unitsCheckStatus(session().model));
}

bool UnitsDialog::closeProcedure()
{
    return guarded(session(), QStringLiteral("Units:cmdClose_Click"), [&] { closeUnits(session()); });
}

void UnitsDialog::cmdHelp_Click()
{
    if (m_helpHook)
        m_helpHook(helpContext());
}

} // namespace qel::gui

#include "gui/dialogs/transport_dialog.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "gui/common/refused_box.h"
#include "gui/dialogs/uncertainty_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QLabel *sectionHeading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TransportDialog::TransportDialog(Session &session, QWidget *parent)
    : ChildForm(session, TransDataFormTag, HelpTopic::TransportData, parent)
{
    setObjectName(QStringLiteral("frmTransData"));
    setWindowTitle(QStringLiteral("Transport Model Input Data"));
    session.FormTag = TransDataFormTag;

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(0, 1);
    grid->setColumnMinimumWidth(2, 48);
    int row = 0;
    auto addHeading = [&](const QString &text) {
        if (row > 0)
            grid->setRowMinimumHeight(row++, 8);
        grid->addWidget(sectionHeading(text, this), row++, 0, 1, 3);
    };

    m_chkDecay = new QCheckBox(QStringLiteral("Simulate first-order decay"), this);
    m_chkDecay->setObjectName(QStringLiteral("chkDecay"));
    connect(m_chkDecay, &QCheckBox::toggled, this, [this](bool on) {
        if (m_EventSource == QLatin1String("User"))
            chkDecay_Click(on);
    });

    for (const TransportParameter &parameter : transportParameters()) {
        const int i = parameter.index;
        if (i == 0)
            addHeading(QStringLiteral("Aquifer"));
        else if (i == HalfLifeIndex) {
            addHeading(QStringLiteral("Decay"));
            grid->addWidget(m_chkDecay, row++, 0, 1, 3);
        } else if (i == HalfLifeIndex + 1)
            addHeading(QStringLiteral("Source and simulation"));

        auto *label = new QLabel(parameter.label, this);
        label->setObjectName(QStringLiteral("lblParameter%1").arg(i));
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtParameter%1").arg(i));
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box->setFixedWidth(130);
        box->installEventFilter(this);
        label->setBuddy(box);
        auto *unit = new QLabel(this);
        unit->setObjectName(QStringLiteral("lblParameterUnit%1").arg(i));
        connect(box, &QLineEdit::returnPressed, this, [this, i] { txtParameter_Validate(i); });
        // A changed text is no longer the refused value; it is judged again on leaving.
        connect(box, &QLineEdit::textEdited, this, [box] { markRefused(box, false); });

        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(unit, row, 2);
        ++row;
        m_lblParameter[i] = label;
        m_txtParameter[i] = box;
        m_lblParameterUnit[i] = unit;
    }

    m_cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    m_cmdClose = new QPushButton(QStringLiteral("Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdHelp, &QPushButton::clicked, this, &TransportDialog::cmdHelp_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &TransportDialog::closeForm);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdHelp);
    buttons->addStretch();
    buttons->addWidget(m_cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(16);
    // The values on the first tab; their ranges for an uncertainty study on a tab of their own.
    auto *values = new QWidget(this);
    auto *valuesLayout = new QVBoxLayout(values);
    valuesLayout->addLayout(grid);
    valuesLayout->addStretch();
    m_uncertainty = new UncertaintyTab(session, this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabsTransData"));
    tabs->addTab(values, QStringLiteral("Values"));
    tabs->addTab(m_uncertainty, QStringLiteral("Uncertainty"));
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    setMinimumWidth(400);

    Initialize();
}

void TransportDialog::Initialize()
{
    guarded(session(), QStringLiteral("TransData:Initialize"), [&] {
        const ProjectModel &model = session().model;
        m_EventSource = QStringLiteral("Code");
        m_chkDecay->setChecked(model.Decay);
        m_txtParameter[HalfLifeIndex]->setEnabled(model.Decay);
        m_lblParameter[HalfLifeIndex]->setEnabled(model.Decay);
        for (const TransportParameter &parameter : transportParameters()) {
            m_txtParameter[parameter.index]->setText(transportBoxText(model, parameter.index));
            m_lblParameterUnit[parameter.index]->setText(unitLabel(parameter, model));
        }
    });
    m_EventSource = QStringLiteral("User");
}

bool TransportDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (const int index = boxIndex(watched); index >= 0 && leavesForSibling(this, watched, event))
        txtParameter_Validate(index);
    return ChildForm::eventFilter(watched, event);
}

bool TransportDialog::txtParameter_Validate(int index)
{
    QLineEdit *box = m_txtParameter[index];
    bool accepted = false;
    guarded(session(), QStringLiteral("TransData:txtParameter_Validate"),
        [&] { accepted = validateTransportParameter(session(), index, box->text()); });
    markRefused(box, !accepted);
    if (!accepted)
        keepFocusAfterRefusal(box);
    return accepted;
}

void TransportDialog::chkDecay_Click(bool on)
{
    guarded(session(), QStringLiteral("TransData:chkDecay_Click"), [&] {
        QLineEdit *box = m_txtParameter[HalfLifeIndex];
        const QString text = setDecay(session(), on);
        if (!on)
            box->clear();
        else if (!text.isEmpty())
            box->setText(text);
        markRefused(box, false);
        box->setEnabled(on);
        m_lblParameter[HalfLifeIndex]->setEnabled(on);
    });
}

bool TransportDialog::closeProcedure()
{
    // A refused value keeps the dialog open, just as it keeps the focus in its box. A box left
    // by a shortcut rather than by the mouse is checked here first.
    const int focused = boxIndex(focusWidget());
    if (focused >= 0 && !isMarked(focused) && !txtParameter_Validate(focused))
        return false;
    for (int i = 0; i < NumTransportParameters; ++i) {
        if (isMarked(i) && m_txtParameter[i]->isEnabled()) {
            m_txtParameter[i]->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    if (!m_uncertainty->checkAll())
        return false;
    return guarded(session(), QStringLiteral("TransData:cmdClose_Click"), [&] { closeTransportData(session()); });
}

void TransportDialog::cmdHelp_Click()
{
    if (m_helpHook)
        m_helpHook(helpContext());
}

int TransportDialog::boxIndex(const QObject *object) const
{
    for (int i = 0; i < NumTransportParameters; ++i)
        if (object && m_txtParameter[i] == object)
            return i;
    return -1;
}

bool TransportDialog::isMarked(int index) const
{
    return isRefused(m_txtParameter[index]);
}

} // namespace qel::gui

#include "gui/dialogs/source_dialog.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "gui/common/refused_box.h"
#include "views/source_symbol.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

QLineEdit *numberBox(const QString &name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(120);
    return box;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

SourceDialog::SourceDialog(Session &session, QWidget *parent)
    : ChildForm(session, SourceFormTag, HelpTopic::SourceLocation, parent)
{
    setObjectName(QStringLiteral("frmSource"));
    setWindowTitle(QStringLiteral("Source Location"));

    auto *prompt = new QLabel(
        QStringLiteral("Click the center of the source location on the base map or enter its X,Y values below."), this);
    prompt->setObjectName(QStringLiteral("lblPrompt"));
    prompt->setWordWrap(true);

    m_txtXsource = numberBox(QStringLiteral("txtXsource"), this);
    m_txtYsource = numberBox(QStringLiteral("txtYsource"), this);
    m_lblDistUnits = new QLabel(this);
    m_lblDistUnits->setObjectName(QStringLiteral("lblDistUnits"));
    auto *lblX = new QLabel(QStringLiteral("X:"), this);
    auto *lblY = new QLabel(QStringLiteral("Y:"), this);
    lblX->setBuddy(m_txtXsource);
    lblY->setBuddy(m_txtYsource);

    m_chkRoundXY = new QCheckBox(QStringLiteral("Round coordinates to nearest"), this);
    m_chkRoundXY->setObjectName(QStringLiteral("chkRoundXY"));
    m_txtRoundXY = numberBox(QStringLiteral("txtRoundXY"), this);
    m_lblRoundUnits = new QLabel(this);
    m_lblRoundUnits->setObjectName(QStringLiteral("lblRoundUnits"));

    auto *coordinates = new QGridLayout;
    coordinates->setHorizontalSpacing(8);
    coordinates->setVerticalSpacing(10);
    coordinates->addWidget(lblX, 0, 0);
    coordinates->addWidget(m_txtXsource, 0, 1);
    coordinates->addWidget(lblY, 0, 2);
    coordinates->addWidget(m_txtYsource, 0, 3);
    coordinates->addWidget(m_lblDistUnits, 0, 4);
    coordinates->addWidget(m_chkRoundXY, 1, 0, 1, 3);
    coordinates->addWidget(m_txtRoundXY, 1, 3);
    coordinates->addWidget(m_lblRoundUnits, 1, 4);
    coordinates->setColumnStretch(5, 1);
    coordinates->setColumnMinimumWidth(4, 32);

    m_cmdSelectSource = button(QStringLiteral("cmdSelectSource"), QStringLiteral("Select on map"), this);
    m_cmdMapSource = button(QStringLiteral("cmdMapSource"), QStringLiteral("Map Source"), this);
    m_cmdHelp = button(QStringLiteral("cmdHelp"), QStringLiteral("Help"), this);
    m_cmdClose = button(QStringLiteral("cmdClose"), QStringLiteral("Close"), this);

    auto *actions = new QHBoxLayout;
    actions->addWidget(m_cmdSelectSource);
    actions->addWidget(m_cmdMapSource);
    actions->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdHelp);
    buttons->addStretch();
    buttons->addWidget(m_cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(14);
    layout->addWidget(prompt);
    layout->addLayout(coordinates);
    layout->addLayout(actions);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(440);

    for (QLineEdit *box : { m_txtXsource, m_txtYsource, m_txtRoundXY }) {
        box->installEventFilter(this);
        connect(box, &QLineEdit::returnPressed, this, [this, box] { validateBox(box); });
        // A changed text is judged again on leaving.
        connect(box, &QLineEdit::textEdited, this, [box] { markRefused(box, false); });
    }
    connect(m_chkRoundXY, &QCheckBox::toggled, this, [this](bool on) {
        if (m_EventSource == QLatin1String("User"))
            chkRoundXY_Click(on);
    });
    connect(m_cmdSelectSource, &QPushButton::clicked, this, &SourceDialog::cmdSelectSource_Click);
    connect(m_cmdMapSource, &QPushButton::clicked, this, &SourceDialog::cmdMapSource_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &SourceDialog::cmdHelp_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &SourceDialog::closeForm);

    Form_Load();
}

void SourceDialog::Form_Load()
{
    m_EventSource = QStringLiteral("Code");
    guarded(session(), QStringLiteral("Source:Form_Load"), [&] {
        const SourceBoxTexts texts = loadSourceLocation(session());
        m_txtXsource->setText(texts.x);
        m_txtYsource->setText(texts.y);
        m_lblDistUnits->setText(session().model.DistUnits);
        m_lblRoundUnits->setText(session().model.DistUnits);
        setRoundingChecked(false);
    });
    m_EventSource = QStringLiteral("User");
}

bool SourceDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (leavesForSibling(this, watched, event))
        validateBox(watched);
    return ChildForm::eventFilter(watched, event);
}

bool SourceDialog::validateBox(QObject *box)
{
    if (box == m_txtXsource)
        return txtXsource_Validate();
    if (box == m_txtYsource)
        return txtYsource_Validate();
    if (box == m_txtRoundXY && m_txtRoundXY->isEnabled())
        return txtRoundXY_Validate();
    return true;
}

bool SourceDialog::txtXsource_Validate()
{
    return validateCoordinate(SourceAxis::X);
}

bool SourceDialog::txtYsource_Validate()
{
    return validateCoordinate(SourceAxis::Y);
}

bool SourceDialog::validateCoordinate(SourceAxis axis)
{
    QLineEdit *box = axis == SourceAxis::X ? m_txtXsource : m_txtYsource;
    const QLineEdit *other = axis == SourceAxis::X ? m_txtYsource : m_txtXsource;
    bool accepted = false;
    guarded(session(),
        axis == SourceAxis::X ? QStringLiteral("Source:txtXsource_Validate")
                              : QStringLiteral("Source:txtYsource_Validate"),
        [&] {
            accepted
                = validateSourceCoordinate(session(), m_pick, axis, box->text(), !other->text().trimmed().isEmpty());
        });
    if (!accepted)
        refuse(box);
    else
        markRefused(box, false);
    return accepted;
}

bool SourceDialog::txtRoundXY_Validate()
{
    RoundingOutcome outcome;
    guarded(session(), QStringLiteral("Source:txtRoundXY_Validate"),
        [&] { outcome = validateRoundXY(session(), m_pick, m_txtRoundXY->text()); });
    showBoxes(outcome.boxes);
    if (outcome.uncheck) {
        setRoundingChecked(false);
        markRefused(m_txtRoundXY, false);
        return true;
    }
    if (!outcome.accepted)
        refuse(m_txtRoundXY);
    else
        markRefused(m_txtRoundXY, false);
    return outcome.accepted;
}

void SourceDialog::chkRoundXY_Click(bool on)
{
    m_txtRoundXY->setEnabled(on);
    if (!on) {
        markRefused(m_txtRoundXY, false);
        return;
    }
    RoundingOutcome outcome;
    guarded(session(), QStringLiteral("Source:chkRoundXY_Click"),
        [&] { outcome = tickRoundXY(session(), m_pick, m_txtRoundXY->text()); });
    showBoxes(outcome.boxes);
    if (!outcome.accepted)
        refuse(m_txtRoundXY);
}

void SourceDialog::cmdSelectSource_Click()
{
    if (deferWhilePicking([this] { cmdSelectSource_Click(); }))
        return;
    if (!validateBox(focusWidget()) || refusedBox())
        return;
    // The map has to be in view to pick the point on it; the dialog comes back with the result.
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    session().frontend().showMapWindow();
    if (frame)
        frame->lower();
    runPick([&] { showBoxes(selectSource(session(), m_pick)); });
    if (frame) {
        frame->raise();
        if (QMdiArea *area = frame->mdiArea())
            area->setActiveSubWindow(frame);
    }
}

void SourceDialog::cmdMapSource_Click()
{
    if (!validateBox(focusWidget()) || refusedBox())
        return;
    MapSource(session());
}

bool SourceDialog::closeProcedure()
{
    // A refused value keeps the dialog open, just as it keeps the focus in its box. A box left
    // by a shortcut rather than by the mouse is checked here first.
    if (QLineEdit *refused = refusedBox()) {
        refused->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!validateBox(focusWidget()))
        return false;
    return guarded(session(), QStringLiteral("Source:cmdClose_Click"), [&] { closeSourceLocation(session()); });
}

void SourceDialog::cmdHelp_Click()
{
    if (m_helpHook)
        m_helpHook(helpContext());
}

void SourceDialog::refuse(QLineEdit *box)
{
    markRefused(box, true);
    keepFocusAfterRefusal(box);
}

QLineEdit *SourceDialog::refusedBox() const
{
    for (QLineEdit *box : { m_txtXsource, m_txtYsource, m_txtRoundXY })
        if (box->isEnabled() && isRefused(box))
            return box;
    return nullptr;
}

void SourceDialog::showBoxes(const std::optional<SourceBoxTexts> &boxes)
{
    if (!boxes)
        return;
    m_txtXsource->setText(boxes->x);
    m_txtYsource->setText(boxes->y);
    markRefused(m_txtXsource, false);
    markRefused(m_txtYsource, false);
}

void SourceDialog::setRoundingChecked(bool on)
{
    const QString source = m_EventSource;
    m_EventSource = QStringLiteral("Code");
    m_chkRoundXY->setChecked(on);
    m_txtRoundXY->setEnabled(on);
    m_EventSource = source;
}

} // namespace qel::gui

#include "gui/dialogs/plot_limits_dialog.h"

#include "core/help_topics.h"
#include "core/reporting.h"
#include "gui/common/refused_box.h"
#include "views/plot_limits_drawing.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

constexpr std::array<PlotBox, 4> MapEdges = { PlotBox::MLLeft, PlotBox::MLRight, PlotBox::MLTop, PlotBox::MLBottom };
constexpr std::array<PlotBox, 4> PlotEdges = { PlotBox::PLLeft, PlotBox::PLRight, PlotBox::PLTop, PlotBox::PLBottom };
constexpr std::array<PlotBox, 4> GridEdges = { PlotBox::PCLeft, PlotBox::PCRight, PlotBox::PCTop, PlotBox::PCBottom };

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

PlotLimitsDialog::PlotLimitsDialog(Session &session, QWidget *parent)
    : ChildForm(session, PlotLmtsFormTag, HelpTopic::PlotLimits, parent)
{
    setObjectName(QStringLiteral("frmPlotLmts"));
    setWindowTitle(QStringLiteral("Plot Limits"));
    session.FormTag = PlotLmtsFormTag;

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabPlotLimits"));

    QWidget *mapPage = edgePage(MapEdges,
        QStringLiteral("All calculation and display happen inside the map extents. They may not reach beyond the "
                       "base map."));
    m_tabs->addTab(mapPage, QStringLiteral("Map Extents"));

    QWidget *plotPage = edgePage(
        PlotEdges, QStringLiteral("The water-level contours are drawn inside these limits, within the map extents."));
    m_tabs->addTab(plotPage, QStringLiteral("Water Level Contours"));

    QWidget *gridPage = edgePage(GridEdges,
        QStringLiteral("Concentrations, minimum distances and WOLF factors are computed on the nodes of this grid."));
    m_chkSameLimits = new QCheckBox(QStringLiteral("Set the limits the same as that for water levels."), gridPage);
    m_chkSameLimits->setObjectName(QStringLiteral("chkSameLimits"));
    connect(m_chkSameLimits, &QCheckBox::toggled, this, [this](bool on) {
        if (m_EventSource == QLatin1String("User"))
            chkSameLimits_Click(on);
    });
    auto *spacing = new QFormLayout;
    spacing->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *spacingRow = new QHBoxLayout;
    spacingRow->addWidget(addBox(PlotBox::PCGridSpacing, gridPage));
    m_lblGridSpacingUnit = new QLabel(gridPage);
    m_lblGridSpacingUnit->setObjectName(QStringLiteral("lblGridSpacingUnit"));
    m_lblGridSpacingUnit->setMinimumWidth(40);
    spacingRow->addWidget(m_lblGridSpacingUnit);
    spacingRow->addStretch();
    spacing->addRow(QStringLiteral("Grid spacing"), spacingRow);
    auto countRow = [&](PlotBox countBox) {
        auto *row = new QHBoxLayout;
        row->addWidget(addBox(countBox, gridPage));
        row->addStretch();
        return row;
    };
    spacing->addRow(QStringLiteral("Nodes along X"), countRow(PlotBox::PCNumX));
    spacing->addRow(QStringLiteral("Nodes along Y"), countRow(PlotBox::PCNumY));
    auto *gridLayout = static_cast<QVBoxLayout *>(gridPage->layout());
    gridLayout->insertWidget(1, m_chkSameLimits);
    gridLayout->addSpacing(8);
    gridLayout->addLayout(spacing);
    gridLayout->addStretch();
    m_tabs->addTab(gridPage, QStringLiteral("Concentration Contours"));

    m_cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    m_cmdMapLimits = new QPushButton(QStringLiteral("Draw Limits on Map"), this);
    m_cmdMapLimits->setObjectName(QStringLiteral("cmdMapLimits"));
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    connect(m_cmdHelp, &QPushButton::clicked, this, &PlotLimitsDialog::cmdHelp_Click);
    connect(m_cmdMapLimits, &QPushButton::clicked, this, &PlotLimitsDialog::cmdMapLimits_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &PlotLimitsDialog::cmdOK_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdHelp);
    buttons->addStretch();
    buttons->addWidget(m_cmdMapLimits);
    buttons->addWidget(m_cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    Form_Load();
}

// The four edge boxes around a picture of the rectangle: top above, bottom below.
QWidget *PlotLimitsDialog::edgePage(const std::array<PlotBox, 4> &edges, const QString &heading)
{
    auto *page = new QWidget(m_tabs);
    auto *rectangle = new QFrame(page);
    rectangle->setFrameShape(QFrame::Box);
    rectangle->setMinimumSize(120, 56);
    const QString captions[4]
        = { QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Top"), QStringLiteral("Bottom") };
    QWidget *cells[4];
    for (int i = 0; i < 4; ++i) {
        auto *cell = new QWidget(page);
        auto *cellLayout = new QVBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->setSpacing(2);
        QLineEdit *edit = addBox(edges[static_cast<std::size_t>(i)], cell);
        auto *label = new QLabel(captions[i], cell);
        label->setBuddy(edit);
        cellLayout->addWidget(label);
        cellLayout->addWidget(edit);
        cells[i] = cell;
    }
    auto *compass = new QGridLayout;
    compass->setHorizontalSpacing(12);
    compass->setVerticalSpacing(8);
    compass->addWidget(cells[2], 0, 1, Qt::AlignHCenter);
    compass->addWidget(cells[0], 1, 0, Qt::AlignVCenter);
    compass->addWidget(rectangle, 1, 1);
    compass->addWidget(cells[1], 1, 2, Qt::AlignVCenter);
    compass->addWidget(cells[3], 2, 1, Qt::AlignHCenter);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    layout->addWidget(note(heading, page));
    auto *centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(compass);
    centred->addStretch();
    layout->addLayout(centred);
    if (edges != GridEdges)
        layout->addStretch();
    return page;
}

QLineEdit *PlotLimitsDialog::addBox(PlotBox plotBox, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(plotBoxName(plotBox));
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFixedWidth(120);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::returnPressed, this, [this, plotBox] { txtBox_Validate(plotBox); });
    // A changed text is no longer the refused value; it is judged again on leaving.
    connect(edit, &QLineEdit::textEdited, this, [this, plotBox] { markBox(plotBox, false); });
    m_txt[static_cast<std::size_t>(plotBox)] = edit;
    return edit;
}

void PlotLimitsDialog::Form_Load()
{
    m_form = loadPlotLimits(session());
    guarded(session(), PlotLmtsFormTag + QStringLiteral(":Form_Load"),
        [&] { m_lblGridSpacingUnit->setText(session().model.DistUnits); });
    showForm();
}

void PlotLimitsDialog::showForm()
{
    m_EventSource = QStringLiteral("Code");
    for (int i = 0; i < NumPlotBoxes; ++i) {
        const QString &text = m_form.text[static_cast<std::size_t>(i)];
        if (m_txt[static_cast<std::size_t>(i)]->text() != text)
            m_txt[static_cast<std::size_t>(i)]->setText(text);
    }
    m_chkSameLimits->setChecked(m_form.sameLimits);
    for (PlotBox edge : GridEdges)
        box(edge)->setEnabled(m_form.gridEdgesEnabled());
    m_cmdOK->setEnabled(m_form.buttonsEnabled);
    m_cmdMapLimits->setEnabled(m_form.buttonsEnabled);
    m_EventSource = QStringLiteral("User");
}

bool PlotLimitsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (const int index = boxIndex(watched); index >= 0 && leavesForSibling(this, watched, event))
        txtBox_Validate(static_cast<PlotBox>(index));
    return ChildForm::eventFilter(watched, event);
}

bool PlotLimitsDialog::txtBox_Validate(PlotBox plotBox)
{
    const bool accepted = validatePlotBox(session(), m_form, plotBox, box(plotBox)->text());
    showForm();
    markBox(plotBox, !accepted);
    if (!accepted)
        keepFocus(plotBox);
    return accepted;
}

void PlotLimitsDialog::keepFocus(PlotBox plotBox)
{
    QLineEdit *edit = box(plotBox);
    // After the focus change under way has finished, so the box really keeps it; its tab comes
    // to the front first, or a hidden box could not take the focus.
    QTimer::singleShot(0, edit, [this, edit] {
        for (int page = 0; page < m_tabs->count(); ++page)
            if (m_tabs->widget(page)->isAncestorOf(edit))
                m_tabs->setCurrentIndex(page);
        edit->setFocus(Qt::OtherFocusReason);
    });
}

bool PlotLimitsDialog::boxesSettled()
{
    const int focused = boxIndex(focusWidget());
    if (focused >= 0 && !isMarked(static_cast<PlotBox>(focused)) && !txtBox_Validate(static_cast<PlotBox>(focused)))
        return false;
    for (int i = 0; i < NumPlotBoxes; ++i) {
        const auto plotBox = static_cast<PlotBox>(i);
        if (isMarked(plotBox) && box(plotBox)->isEnabled()) {
            keepFocus(plotBox);
            return false;
        }
    }
    return true;
}

void PlotLimitsDialog::chkSameLimits_Click(bool on)
{
    // A refused value elsewhere keeps the focus, so the click does not count.
    if (!boxesSettled()) {
        showForm();
        return;
    }
    guarded(session(), PlotLmtsFormTag + QStringLiteral(":chkSameLimits_Click"),
        [&] { setSameLimits(session(), m_form, on); });
    for (PlotBox edge : GridEdges)
        markBox(edge, false);
    showForm();
}

void PlotLimitsDialog::cmdOK_Click()
{
    if (!boxesSettled() || !m_form.buttonsEnabled)
        return;
    if (guarded(session(), PlotLmtsFormTag + QStringLiteral(":cmdOK_Click"), [&] { acceptPlotLimits(session()); }))
        closeAccepted();
}

void PlotLimitsDialog::cmdMapLimits_Click()
{
    if (!boxesSettled() || !m_form.buttonsEnabled)
        return;
    WriteLog(session(), PlotLmtsFormTag + QStringLiteral(": [Draw Limits on Map]"));
    MapPlotLimits(session());
}

void PlotLimitsDialog::cmdHelp_Click()
{
    if (m_helpHook)
        m_helpHook(helpContext());
}

int PlotLimitsDialog::boxIndex(const QObject *object) const
{
    for (int i = 0; i < NumPlotBoxes; ++i)
        if (object && m_txt[static_cast<std::size_t>(i)] == object)
            return i;
    return -1;
}

void PlotLimitsDialog::markBox(PlotBox plotBox, bool refused)
{
    markRefused(box(plotBox), refused);
}

bool PlotLimitsDialog::isMarked(PlotBox plotBox) const
{
    return isRefused(box(plotBox));
}

} // namespace qel::gui

#include "gui/map/calibration_dialog.h"

#include "core/help_topics.h"
#include "gui/help/help_window.h"
#include "gui/workbench/main_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

const QColor HintProblem(0xc6, 0x28, 0x28);

void setTextIfChanged(QLineEdit *box, const QString &text)
{
    // Rewriting the text the person is typing would move the cursor.
    if (box->text() != text)
        box->setText(text);
}

} // namespace

QLineEdit *CalibrationDialog::box(const QString &name, int width)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFixedWidth(width);
    return edit;
}

CalibrationDialog::CalibrationDialog(Session &session, MainWindow *main)
    : ChildForm(session, QStringLiteral("MapScale"), HelpTopic::MapScale)
    , m_calibration(session)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmMapScale"));
    setWindowTitle(QStringLiteral("Set Map Scale"));
    MapCalibration &c = m_calibration;

    m_cboCalibrationType = new QComboBox(this);
    m_cboCalibrationType->setObjectName(QStringLiteral("cboCalibrationType"));
    m_cboCalibrationType->addItem(calibrationMethodText(CalibrationMethod::TwoPoints));
    m_cboCalibrationType->addItem(calibrationMethodText(CalibrationMethod::ScaleBar));
    connect(m_cboCalibrationType, &QComboBox::activated, this, [&c](int index) { c.cboCalibrationType_Click(index); });
    auto *methodRow = new QHBoxLayout;
    methodRow->addWidget(new QLabel(QStringLiteral("Calibrate map from"), this));
    methodRow->addWidget(m_cboCalibrationType, 1);

    for (int i = 0; i < NumCalibrationSlots; ++i) {
        m_txtRasterX[i] = box(QStringLiteral("txtRasterX%1").arg(i));
        m_txtRasterY[i] = box(QStringLiteral("txtRasterY%1").arg(i));
        connect(
            m_txtRasterX[i], &QLineEdit::textEdited, this, [&c, i](const QString &t) { c.txtRasterX_Change(i, t); });
        connect(
            m_txtRasterY[i], &QLineEdit::textEdited, this, [&c, i](const QString &t) { c.txtRasterY_Change(i, t); });
        if (i >= 3) {
            m_txtVectorX[i] = box(QStringLiteral("txtVectorX%1").arg(i), 100);
            m_txtVectorY[i] = box(QStringLiteral("txtVectorY%1").arg(i), 100);
            connect(m_txtVectorX[i], &QLineEdit::textEdited, this,
                [&c, i](const QString &t) { c.txtVectorX_Change(i, t); });
            connect(m_txtVectorY[i], &QLineEdit::textEdited, this,
                [&c, i](const QString &t) { c.txtVectorY_Change(i, t); });
        }
    }
    auto locateButton = [this](int slot, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QStringLiteral("cmdScalePoint%1").arg(slot));
        connect(button, &QPushButton::clicked, this, [this, slot] { locate(slot); });
        return button;
    };

    // Two points: image and real coordinates of each.
    m_fraTwoPoints = new QGroupBox(QStringLiteral("Two points"), this);
    m_fraTwoPoints->setObjectName(QStringLiteral("fraTwoPoints"));
    auto *two = new QGridLayout(m_fraTwoPoints);
    m_lblHeader = new QLabel(m_fraTwoPoints);
    m_lblHeader->setObjectName(QStringLiteral("lblHeader"));
    two->addWidget(m_lblHeader, 0, 0, 1, 5);
    for (int i = 3; i <= 4; ++i) {
        const int row = i - 2;
        two->addWidget(m_txtRasterX[i], row, 0);
        two->addWidget(m_txtRasterY[i], row, 1);
        two->addWidget(m_txtVectorX[i], row, 2);
        two->addWidget(m_txtVectorY[i], row, 3);
        two->addWidget(locateButton(i, QStringLiteral("Locate point %1").arg(i - 2)), row, 4);
    }
    two->setColumnMinimumWidth(2, 110);

    // Scale bar: an origin, the bar's two ends and its real length.
    m_fraOrigin = new QGroupBox(QStringLiteral("Map origin"), this);
    m_fraOrigin->setObjectName(QStringLiteral("fraOrigin"));
    auto *origin = new QGridLayout(m_fraOrigin);
    origin->addWidget(new QLabel(QStringLiteral("Image coordinates"), m_fraOrigin), 0, 0, 1, 2);
    origin->addWidget(m_txtRasterX[0], 1, 0);
    origin->addWidget(m_txtRasterY[0], 1, 1);
    origin->addWidget(locateButton(0, QStringLiteral("Locate origin")), 1, 2);
    origin->setColumnStretch(3, 1);

    m_fraScaleBar = new QGroupBox(QStringLiteral("Scale bar"), this);
    m_fraScaleBar->setObjectName(QStringLiteral("fraScaleBar"));
    auto *bar = new QGridLayout(m_fraScaleBar);
    bar->addWidget(new QLabel(QStringLiteral("Image coordinates"), m_fraScaleBar), 0, 0, 1, 2);
    for (int i = 1; i <= 2; ++i) {
        bar->addWidget(m_txtRasterX[i], i, 0);
        bar->addWidget(m_txtRasterY[i], i, 1);
        bar->addWidget(locateButton(i, QStringLiteral("Locate point %1").arg(i)), i, 2);
    }
    m_txtDistance = box(QStringLiteral("txtDistance"), 100);
    connect(m_txtDistance, &QLineEdit::textEdited, this, [&c](const QString &t) { c.txtDistance_Change(t); });
    m_txtScale = box(QStringLiteral("txtScale"), 100);
    m_txtScale->setReadOnly(true);
    for (auto &label : m_lblUnits)
        label = new QLabel(m_fraScaleBar);
    m_lblUnits[0]->setObjectName(QStringLiteral("lblDistanceUnits"));
    m_lblUnits[1]->setObjectName(QStringLiteral("lblScaleUnits"));
    bar->addWidget(new QLabel(QStringLiteral("Enter distance between the points"), m_fraScaleBar), 3, 0, 1, 2);
    bar->addWidget(m_txtDistance, 3, 2);
    bar->addWidget(m_lblUnits[0], 3, 3);
    bar->addWidget(new QLabel(QStringLiteral("Calculated scale  100 pixels ="), m_fraScaleBar), 4, 0, 1, 2);
    bar->addWidget(m_txtScale, 4, 2);
    bar->addWidget(m_lblUnits[1], 4, 3);
    bar->setColumnStretch(4, 1);

    m_chkCalibrate = new QCheckBox(QStringLiteral("Calibrate map to real coordinates"), this);
    m_chkCalibrate->setObjectName(QStringLiteral("chkCalibrate"));
    connect(m_chkCalibrate, &QCheckBox::clicked, this, [&c](bool on) { c.chkCalibrate_Click(on); });
    m_lblHint = new QLabel(this);
    m_lblHint->setObjectName(QStringLiteral("lblHint"));
    m_lblHint->setWordWrap(true);
    m_lblHint->setMinimumHeight(m_lblHint->fontMetrics().height() * 2);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    connect(m_cmdOK, &QPushButton::clicked, this, &CalibrationDialog::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &CalibrationDialog::closeForm);
    connect(m_cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_helpHook)
            m_helpHook(helpContext());
    });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdHelp);
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addLayout(methodRow);
    layout->addWidget(m_fraTwoPoints);
    layout->addWidget(m_fraOrigin);
    layout->addWidget(m_fraScaleBar);
    layout->addWidget(m_chkCalibrate);
    layout->addWidget(m_lblHint);
    layout->addStretch();
    layout->addLayout(buttons);

    c.setChangedHandler([this] { showState(); });
    c.Form_Load();
    showState();
}

void CalibrationDialog::showState()
{
    const MapCalibration &c = m_calibration;
    const ProjectModel &m = session().model;
    const bool scaleBar = c.method() == CalibrationMethod::ScaleBar;
    m_cboCalibrationType->setCurrentIndex(int(c.method()));
    m_fraTwoPoints->setVisible(!scaleBar);
    m_fraOrigin->setVisible(scaleBar);
    m_fraScaleBar->setVisible(scaleBar);
    m_lblHeader->setText(QStringLiteral(" Image coords        Real coordinates (") + m.DistUnits + u')');
    for (QLabel *label : m_lblUnits)
        label->setText(m.DistUnits);
    const CalibrationBoxes &b = c.boxes();
    for (int i = 0; i < NumCalibrationSlots; ++i) {
        setTextIfChanged(m_txtRasterX[i], b.rasterX[i]);
        setTextIfChanged(m_txtRasterY[i], b.rasterY[i]);
        if (m_txtVectorX[i]) {
            setTextIfChanged(m_txtVectorX[i], b.vectorX[i]);
            setTextIfChanged(m_txtVectorY[i], b.vectorY[i]);
        }
    }
    setTextIfChanged(m_txtDistance, b.distance);
    setTextIfChanged(m_txtScale, b.scale);
    m_chkCalibrate->setChecked(c.checked());
    // A ticked box stays enabled so that the calibration can be undone.
    m_chkCalibrate->setEnabled(c.checkEnabled() || c.checked());
    m_cmdOK->setEnabled(c.okEnabled());
    m_lblHint->setText(c.hint());
    QPalette palette = m_lblHint->palette();
    palette.setColor(
        QPalette::WindowText, c.hintIsProblem() ? HintProblem : this->palette().color(QPalette::WindowText));
    m_lblHint->setPalette(palette);
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->adjustSize();
}

void CalibrationDialog::cmdOK_Click()
{
    if (deferWhilePicking([this] { cmdOK_Click(); }))
        return;
    if (m_calibration.cmdOK_Click())
        closeAccepted();
}

void CalibrationDialog::locate(int slot)
{
    if (deferWhilePicking([this, slot] { locate(slot); }))
        return;
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (frame)
        frame->lower();
    runPick([&] { m_calibration.cmdScalePoint_Click(slot); });
    if (frame) {
        frame->raise();
        if (m_main)
            m_main->mdiArea()->setActiveSubWindow(frame);
    }
    m_txtRasterX[slot]->setFocus(Qt::OtherFocusReason);
}

bool CalibrationDialog::closeProcedure()
{
    // The window's own close button is Cancel, with its question.
    return m_calibration.cmdCancel_Click();
}

CalibrationDialog *showMapScaleDialog(MainWindow &main)
{
    if (auto *open = qobject_cast<CalibrationDialog *>(main.findChildForm(QStringLiteral("frmMapScale")))) {
        main.showChild(open);
        return open;
    }
    auto *dialog = new CalibrationDialog(main.session(), &main);
    Session &session = main.session();
    dialog->setHelpHook([&session, dialog](int context) { showHelpTopic(session, dialog, context); });
    main.showChild(dialog);
    return dialog;
}

} // namespace qel::gui

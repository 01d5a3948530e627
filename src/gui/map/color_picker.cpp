#include "gui/map/color_picker.h"

#include "core/reporting.h"
#include "map/color_table.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qel::gui {

namespace {

// &H80FFFF: light yellow marks the chosen name.
constexpr std::uint32_t MarkedLabel = 0x80FFFF;

void setBackground(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
}

} // namespace

ColorPickerState &colorPickerState(Session &session)
{
    return session.part<ColorPickerState>();
}

void setColorPickTarget(Session &session, const QString &caller, ColorPickTarget *target)
{
    if (target)
        colorPickerState(session).targets.insert(caller, target);
    else
        colorPickerState(session).targets.remove(caller);
}

ColorPicker::ColorPicker(Session &session, QWidget *parent)
    : ChildForm(session, QStringLiteral("DBCColors"), 0, parent)
{
    setObjectName(QStringLiteral("frmDBCColors"));
    setWindowTitle(QStringLiteral("Select a color"));
    session.FormTag = QStringLiteral("DBCColors");

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < 14; ++i) {
        auto *box = new QPushButton(this);
        box->setObjectName(QStringLiteral("picColorName%1").arg(i));
        box->setFixedSize(36, 22);
        box->setFlat(true);
        box->setAutoFillBackground(true);
        const QColor color = colorFromBgr(PickerBoxColor[std::size_t(i + 1)]);
        box->setStyleSheet(
            QStringLiteral("QPushButton { background: %1; border: 1px solid #606060; }").arg(color.name()));
        box->setToolTip(colorName(i + 1));
        connect(box, &QPushButton::clicked, this, [this, i] { picColorName_Click(i); });
        auto *name = new QLabel(colorName(i + 1), this);
        name->setObjectName(QStringLiteral("lblColorName%1").arg(i));
        name->setAutoFillBackground(true);
        name->setContentsMargins(4, 1, 4, 1);
        name->setBuddy(box);
        grid->addWidget(box, i % 7, (i / 7) * 2);
        grid->addWidget(name, i % 7, (i / 7) * 2 + 1);
        m_picColorName[std::size_t(i)] = box;
        m_lblColorName[std::size_t(i)] = name;
    }
    grid->setColumnMinimumWidth(1, 96);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, [this] {
        WriteLog(this->session(), formTag() + QStringLiteral(": [Close]"));
        closeForm();
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void ColorPicker::picColorName_Click(int box)
{
    guarded(session(), QStringLiteral("DBCColors:picColorName_Click"), [&] {
        if (box < 0 || box >= 14)
            qel::raise(ErrSubscript);
        WriteLog(session(), formTag() + QStringLiteral(": Clicked color ") + QString::number(box));
        ColorPickerState &state = colorPickerState(session());
        state.SelectedColorIndex = qint16(box + 1);
        // Black is kept as 1: a stored 0 would read as "no colour".
        state.SelectedColor = box + 1 == BlackColorIndex ? 1u : PickerBoxColor[std::size_t(box + 1)];
        if (ColorPickTarget *target = state.targets.value(state.ColorCaller);
            target && target->lastClickedColumn() == ColorColumn)
            target->setPickedColor(state.SelectedColorIndex, state.SelectedColor);
        for (QLabel *label : m_lblColorName)
            setBackground(label, palette().color(QPalette::Button));
        setBackground(m_lblColorName[std::size_t(box)], colorFromBgr(MarkedLabel));
    });
}

} // namespace qel::gui

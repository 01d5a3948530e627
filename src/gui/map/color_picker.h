#pragma once

#include "core/session.h"
#include "gui/common/child_form.h"

#include <QHash>
#include <QPointer>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

namespace qel::gui {

// A contour view whose level table takes the picked colour.
class ColorPickTarget {
public:
    virtual ~ColorPickTarget() = default;
    // The column of the person's last click in the level table (2 is the colour column).
    virtual int lastClickedColumn() const = 0;
    // The table's current cell shows the colour and the level of its row takes the index.
    virtual void setPickedColor(int colorIndex, std::uint32_t color) = 0;
};

// The picker's shared state: which view opened it and what was picked last.
struct ColorPickerState : SessionPart {
    explicit ColorPickerState(Session &) { }

    QString ColorCaller; // "PlumeSpect", "MinDist" or "WOLF"
    qint16 SelectedColorIndex = 0;
    std::uint32_t SelectedColor = 0;
    // The open views by their caller names.
    QHash<QString, ColorPickTarget *> targets;
};

ColorPickerState &colorPickerState(Session &session);
// A view registers itself while it is open (null removes it).
void setColorPickTarget(Session &session, const QString &caller, ColorPickTarget *target);

// The colour column of a contour view's level table.
inline constexpr int ColorColumn = 2;

// frmDBCColors ("Select a color"): fourteen colour boxes with their names. A click gives the
// colour to the level of the view that opened it; the picker stays open for further clicks.
class ColorPicker : public ChildForm {
    Q_OBJECT
public:
    explicit ColorPicker(Session &session, QWidget *parent = nullptr);

    void picColorName_Click(int box);
    QLabel *nameLabel(int box) const { return m_lblColorName.at(std::size_t(box)); }

private:
    std::array<QPushButton *, 14> m_picColorName {};
    std::array<QLabel *, 14> m_lblColorName {};
};

} // namespace qel::gui

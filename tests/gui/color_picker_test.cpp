#include "gui/map/color_picker.h"
#include "map/color_table.h"
#include "support/test_session.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::gui;
using qel::test::TestSession;

namespace {

struct FakeView : ColorPickTarget {
    int column = ColorColumn;
    int index = 0;
    std::uint32_t color = 0xDEAD;
    int lastClickedColumn() const override { return column; }
    void setPickedColor(int i, std::uint32_t c) override
    {
        index = i;
        color = c;
    }
};

} // namespace

TEST(ColorPicker, AClickColoursTheCallersLevelAndMarksTheName)
{
    TestSession t;
    FakeView plume, wolf;
    setColorPickTarget(*t.session, QStringLiteral("PlumeSpect"), &plume);
    setColorPickTarget(*t.session, QStringLiteral("WOLF"), &wolf);
    colorPickerState(*t.session).ColorCaller = QStringLiteral("PlumeSpect");
    ColorPicker picker(*t.session);

    const struct {
        int box, index;
        std::uint32_t color;
    } cases[] = { { 6, 7, 1 }, { 11, 12, 0xC00000 }, { 0, 1, 0x8080FF }, { 13, 14, 0xFFFFFF } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box);
        picker.findChild<QPushButton *>(QStringLiteral("picColorName%1").arg(c.box))->click();
        EXPECT_EQ(plume.index, c.index);
        EXPECT_EQ(plume.color, c.color);
        EXPECT_EQ(colorPickerState(*t.session).SelectedColorIndex, c.index);
        EXPECT_EQ(picker.nameLabel(c.box)->palette().color(QPalette::Window), colorFromBgr(0x80FFFF));
        EXPECT_NE(picker.nameLabel((c.box + 1) % 14)->palette().color(QPalette::Window), colorFromBgr(0x80FFFF));
    }
    EXPECT_EQ(wolf.index, 0);
    EXPECT_TRUE(t.readLog().contains(QStringLiteral("DBCColors: Clicked color 11\r\n")));

    // A last click outside the colour column changes only the marked name.
    plume.column = 1;
    picker.picColorName_Click(2);
    EXPECT_EQ(plume.index, 14);
    EXPECT_EQ(picker.nameLabel(2)->palette().color(QPalette::Window), colorFromBgr(0x80FFFF));
    setColorPickTarget(*t.session, QStringLiteral("PlumeSpect"), nullptr);
    picker.picColorName_Click(3); // no view: nothing to colour, nothing fails
    EXPECT_EQ(t.session->errorsReported, 0);
}

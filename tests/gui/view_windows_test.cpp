#include "core/date_text.h"
#include "gui/gui_input.h"
#include "gui/map/color_picker.h"
#include "gui/views/contour_view_window.h"
#include "gui/views/regression_results_window.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench_fixture.h"
#include "map/color_table.h"
#include "map/map_session.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

// Both views read the results of two sample dates in a saved project.
class ViewWindowTest : public WorkbenchTest {
protected:
    ViewWindowTest()
    {
        useProjectFolder();
        m.NumSamples = 2;
        m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
        m.MapTextSize = 10;
    }
    QTableWidget *grid() const { return control<QTableWidget>(QStringLiteral("MSFlexGrid1")); }

    ProjectModel &m = session->model;
};

using gui::ContourViewWindow;

class ContourViewWindowTest : public ViewWindowTest {
protected:
    ContourViewWindowTest()
    {
        m.ConcMin = 0, m.ConcMax = 10;
        m.MinDistMin = 0, m.MinDistMax = 150.456;
        m.WOLFMin = 0, m.WOLFMax = 2.5e6;
        m.PCLeft = 0, m.PCTop = 100, m.PCGridSpacing = 10, m.PCNumX = 3, m.PCNumY = 2;
        m.MapRight = 600, m.MapTop = 600;
        m.RoundXY = 0.1;
        m.Conc.allocate(3, 2, 3);
        for (int ix = 1; ix <= 3; ++ix)
            for (int iy = 1; iy <= 2; ++iy)
                m.Conc(ix, iy, 3) = 5, m.MinDistGrid(ix, iy) = 60, m.WOLFGrid(ix, iy) = 1e6;
        makeWorkbench();
    }

    ContourViewWindow *open(const char *menuEntry)
    {
        return view = openFrom<ContourViewWindow>(QString::fromLatin1(menuEntry));
    }
    QLineEdit *editor() const { return view->cellEditor(); }

    void clickCell(int row, int column, bool twice = false) const { test::clickCell(grid(), row, column, twice); }
    // Replaces a box's text as typed and moves the focus on to another control of the view.
    void retype(QLineEdit *box, const QString &text, QWidget *next)
    {
        retypeBox(box, text);
        leaveTo(next);
    }

    ContourViewWindow *view = nullptr;
};

// The range labels round as each view rounds.
TEST_F(ContourViewWindowTest, EachViewShowsItsRangeRoundedItsWay)
{
    const struct {
        const char *menu, *rangeMin, *rangeMax;
    } cases[] = {
        { "mnuViewPlumeContours", "Cmin: 0", "Cmax: 10." },
        { "mnuViewMinDistContours", "DISTmin: 15.05", "DISTmax: 150.46" },
        { "mnuViewWOLFContours", "WOLFmin: 0", "WOLFmax: 2.5E+6" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.menu);
        ASSERT_TRUE(open(c.menu));
        QStringList texts;
        for (const QLabel *label : view->findChildren<QLabel *>())
            texts << label->text();
        EXPECT_TRUE(texts.contains(QLatin1String(c.rangeMin))) << texts.join(u'|').toStdString();
        EXPECT_TRUE(texts.contains(QLatin1String(c.rangeMax))) << texts.join(u'|').toStdString();
        // What the values are: a caption beside them, and each label's tip.
        EXPECT_TRUE(view->findChild<QLabel *>(QStringLiteral("lblRangeCaption"))
                        ->text()
                        .contains(QStringLiteral("smallest value above zero")));
        for (const QLabel *label : view->findChildren<QLabel *>()) {
            if (label->text() == QLatin1String(c.rangeMin)) {
                EXPECT_TRUE(label->toolTip().contains(QStringLiteral("smallest"))) << label->toolTip().toStdString();
            }
            if (label->text() == QLatin1String(c.rangeMax)) {
                EXPECT_TRUE(label->toolTip().contains(QStringLiteral("largest"))) << label->toolTip().toStdString();
            }
        }
    }
}

// An edited bound moves the bound of the band it meets, in the table at once; Draw then draws the
// table as it stands.
TEST_F(ContourViewWindowTest, AnEditedBoundMovesTheBandItMeets)
{
    open("mnuViewPlumeContours");
    click("cmdGenerate");
    QTableWidget *table = grid();
    clickCell(1, 1, true);
    editor()->setText(QStringLiteral("4.5"));
    pressKey(editor(), Qt::Key_Return);
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("4.5"));
    EXPECT_EQ(table->item(2, 0)->text(), QStringLiteral("4.5"));
    clickCell(3, 0, true);
    editor()->setText(QStringLiteral("6.5"));
    pressKey(editor(), Qt::Key_Return);
    EXPECT_EQ(table->item(2, 1)->text(), QStringLiteral("6.5"));
    const ContourView &pc = session->model.PC;
    EXPECT_EQ(pc.CMin(3), 4.5);
    EXPECT_EQ(pc.CMax(3), 6.5);
    EXPECT_EQ(pc.CMin(4), 6.5);
}

TEST_F(ContourViewWindowTest, TheTableIsEditedThroughItsEditBox)
{
    frontend.expectErrors = true;
    open("mnuViewPlumeContours");
    click("cmdGenerate");
    QTableWidget *table = grid();
    const ContourView &pc = session->model.PC;

    // A double-click starts with the cell's text, a typed character with just that one.
    clickCell(1, 1, true);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), QStringLiteral("4."));
    pressKey(editor(), Qt::Key_Escape);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(pc.CMax(2), 4) << "Esc commits nothing";

    pressKey(table, Qt::Key_7, QStringLiteral("7"));
    EXPECT_EQ(editor()->text(), QStringLiteral("7"));
    typeKeys(editor(), QStringLiteral(".5"));
    pressKey(editor(), Qt::Key_Return);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(pc.CMax(2), 7.5);
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("7.5"));

    // Leaving the cell commits, and the cell shows what the view made of it.
    table->setCurrentCell(0, 0);
    pressKey(table, Qt::Key_3, QStringLiteral("3"));
    ASSERT_TRUE(editor()->isVisible()) << "the first row takes keys too";
    editor()->setText(QStringLiteral("0"));
    table->setCurrentCell(3, 0);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("0.001"));

    // A text that is no number is reported once and stays in the edit box to be corrected.
    const int reported = session->errorsReported;
    pressKey(table, Qt::Key_X, QStringLiteral("x"));
    pressKey(editor(), Qt::Key_Return);
    pressKey(editor(), Qt::Key_Return);
    EXPECT_EQ(session->errorsReported, reported + 1);
    EXPECT_TRUE(editor()->isVisible());
    pressKey(editor(), Qt::Key_Escape);
    EXPECT_EQ(pc.CMin(4), 6);
}

TEST_F(ContourViewWindowTest, ALogScaleWarningMarksTheBoxAndKeepsTheFocus)
{
    open("mnuViewPlumeContours");
    auto *min = control<QLineEdit>(QStringLiteral("txtPCMin"));
    auto *max = control<QLineEdit>(QStringLiteral("txtPCMax"));
    auto *levels = control<QLineEdit>(QStringLiteral("txtPCNumLevels"));
    auto *useLog = control<QCheckBox>(QStringLiteral("chkUseLog"));

    // The minimum box shows 0: the log scale is refused and stays unticked.
    useLog->click();
    EXPECT_FALSE(useLog->isChecked());
    EXPECT_FALSE(session->model.PC.UseLog);

    retype(min, QStringLiteral("0.5"), max);
    useLog->click();
    ASSERT_TRUE(useLog->isChecked());
    const std::size_t warned = frontend.boxes.size();
    retype(min, QStringLiteral("0"), max);
    EXPECT_EQ(frontend.boxes.size(), warned + 1);
    EXPECT_EQ(QApplication::focusWidget(), min);
    EXPECT_TRUE(looksRefused(min));
    // Unticking the log scale takes the mark away.
    useLog->click();
    EXPECT_FALSE(looksRefused(min));

    retype(levels, QStringLiteral("7"), max);
    EXPECT_EQ(levels->text(), QStringLiteral("5")) << "the count the rules allow";
    EXPECT_NE(QApplication::focusWidget(), levels) << "a corrected value lets the focus go";
}

TEST_F(ContourViewWindowTest, TheColourColumnOpensThePickerForTheLevel)
{
    open("mnuViewWOLFContours");
    click("cmdGenerate");
    clickCell(0, gui::ColorColumn);
    gui::ChildForm *picker = window->findChildForm(QStringLiteral("frmDBCColors"));
    ASSERT_NE(picker, nullptr);
    static_cast<gui::ColorPicker *>(picker)->picColorName_Click(7); // Dark Red
    EXPECT_EQ(session->model.WF.CColor(1), 8);
    EXPECT_EQ(grid()->item(0, gui::ColorColumn)->background().color(), colorFromBgr(PickerBoxColor[8]));
}

using gui::RegressionResultsWindow;

// Two sample dates fitted over plot limits 0..100 by 0..100: 0.02 x + 0.01 y + 9 and
// -0.01 x + 0.03 y + 10. Both planes cross every level from 10 to 11.5 inside the limits.
class RegressionResultsWindowTest : public ViewWindowTest {
protected:
    RegressionResultsWindowTest()
    {
        m.Xcoeff(1) = 0.02, m.Ycoeff(1) = 0.01, m.Const(1) = 9, m.R2(1) = 0.98765;
        m.Magnitude(1) = 1.23456789012345e-5, m.Direction(1) = 30; // as long as a number gets
        m.Xcoeff(2) = -0.01, m.Ycoeff(2) = 0.03, m.Const(2) = 10, m.R2(2) = 0.5;
        m.Magnitude(2) = 1.25e-5, m.Direction(2) = -120;
        m.PLRight = 100, m.PLTop = 100, m.MapRight = 100, m.MapTop = 100;
        m.WLMin = 10, m.WLMax = 12, m.WLInt = 0.5, m.WLLineWidth = 2;
        makeWorkbench();
    }

    RegressionResultsWindow *open()
    {
        return view = openFrom<RegressionResultsWindow>(QStringLiteral("mnuViewWaterLevelContours"));
    }
    QLineEdit *box(int i) const { return control<QLineEdit>(QStringLiteral("txtWLContInt%1").arg(i)); }
    void clickRow(int row) const { clickCell(grid(), row, 1); }
    const Drawing &contours() const { return drawingOf(*session).drawing(WaterLevelDrawing); }
    QString layerCaption() const { return window->layerWindow()->tree()->node(int(LayerKey::WlContours))->text(0); }

    RegressionResultsWindow *view = nullptr;
};

TEST_F(RegressionResultsWindowTest, TheTableShowsEverySampleDateWithItsFit)
{
    ASSERT_TRUE(open());
    QTableWidget *table = grid();
    // Each column rounded for reading: the gradient to 4 significant digits, the direction to a
    // tenth of a degree; the full value stays in the cell's tip and is what a copy takes.
    const QString columns[][2][2] = {
        { { shortDateText(QDate(2024, 3, 15)), shortDateText(QDate(2024, 3, 15)) },
            { shortDateText(QDate(2024, 9, 1)), shortDateText(QDate(2024, 9, 1)) } },
        { { "0.02", "0.02" }, { "-0.01", "-0.01" } },
        { { "0.01", "0.01" }, { "0.03", "0.03" } },
        { { "9", "9" }, { "10", "10" } },
        { { "0.99", "0.99" }, { "0.50", "0.50" } },
        { { "1.235e-05", "1.23456789012345E-05" }, { "1.25e-05", "1.25E-05" } },
        { { "30.0", "30" }, { "-120.0", "-120" } },
    };
    ASSERT_EQ(table->columnCount(), 7);
    ASSERT_EQ(table->rowCount(), 2);
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 2; ++r) {
            SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
            const QTableWidgetItem *item = table->item(r, c);
            EXPECT_EQ(item->text(), columns[c][r][0]);
            EXPECT_EQ(item->data(RegressionResultsWindow::FullTextRole).toString(), columns[c][r][1]);
            EXPECT_EQ(item->toolTip(), columns[c][r][0] == columns[c][r][1] ? QString() : columns[c][r][1]);
        }
    // The direction's heading says how it is counted, as the plane fit computes it.
    const QString direction = table->horizontalHeaderItem(6)->text();
    EXPECT_TRUE(direction.startsWith(QStringLiteral("Direction (deg)"))) << direction.toStdString();
    EXPECT_TRUE(direction.contains(QStringLiteral("flow towards"))) << direction.toStdString();
    EXPECT_TRUE(direction.contains(QStringLiteral("clockwise from north"))) << direction.toStdString();
    EXPECT_GE(table->columnWidth(5), table->fontMetrics().horizontalAdvance(QStringLiteral("1.235e-05")));

    // Ctrl+C copies the selected date's results in full.
    table->setCurrentCell(0, 2);
    QApplication::clipboard()->clear();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QApplication::sendEvent(table, &copy);
    EXPECT_EQ(QApplication::clipboard()->text(),
        shortDateText(QDate(2024, 3, 15)) + QStringLiteral("\t0.02\t0.01\t9\t0.99\t1.23456789012345E-05\t30"));
}

// The boxes reach the drawing of the selected date (labels, rotation and closing are the water
// level contours' rules); Show Contour draws it and Clear takes it off.
TEST_F(RegressionResultsWindowTest, ShowContourDrawsTheSelectedDateAndClearTakesItOff)
{
    open();
    clickRow(1); // without the tick only selected, as the tick's test shows

    retypeBox(box(1), QStringLiteral("0.25"));
    retypeBox(box(2), QStringLiteral("11"));
    retypeBox(box(3), QStringLiteral("3"));
    click("cmdShowContour");
    ASSERT_EQ(contours().entities.size(), 8u) << "a line and a label for 10, 10.25, 10.5 and 10.75";
    EXPECT_EQ(contours().entities.front().lineWidth, 3.0);
    EXPECT_TRUE(drawingOf(*session).isShown(WaterLevelDrawing));
    EXPECT_EQ(layerCaption(), QStringLiteral("WL contours (2)"));

    click("cmdClearContours");
    EXPECT_EQ(layerCaption(), QStringLiteral("WL contours"));
    EXPECT_FALSE(drawingOf(*session).isShown(WaterLevelDrawing));
}

TEST_F(RegressionResultsWindowTest, WithTheTickAClickOnADateDrawsItAtOnce)
{
    open();
    auto *autoShow = control<QCheckBox>(QStringLiteral("chkAutoShow"));
    const struct {
        bool ticked;
        int row;
        const char *caption;
    } cases[] = {
        { false, 1, "WL contours" }, { true, 1, "WL contours (2)" }, { true, 0, "WL contours (1)" },
        { false, 1, "WL contours (1)" }, // the drawn date stays until Show Contour
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        if (autoShow->isChecked() != c.ticked)
            autoShow->click();
        clickRow(c.row);
        EXPECT_EQ(view->form().sample, c.row + 1);
        EXPECT_EQ(layerCaption(), QLatin1String(c.caption));
    }
    EXPECT_EQ(session->errorsReported, 0) << session->ErrorText.toStdString();
}

} // namespace
} // namespace qel::test

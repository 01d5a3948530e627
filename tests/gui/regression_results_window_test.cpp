#include "core/date_text.h"
#include "gui/gui_input.h"
#include "gui/views/regression_results_window.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"
#include "map/map_session.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::RegressionResultsWindow;

// Two sample dates fitted over plot limits 0..100 by 0..100: 0.02 x + 0.01 y + 9 and
// -0.01 x + 0.03 y + 10. Both planes cross every level from 10 to 11.5 inside the limits.
class RegressionResultsWindowTest : public WorkbenchTest {
protected:
    RegressionResultsWindowTest()
    {
        useProjectFolder();
        ProjectModel &m = session->model;
        m.NumSamples = 2;
        m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
        m.Xcoeff(1) = 0.02, m.Ycoeff(1) = 0.01, m.Const(1) = 9, m.R2(1) = 0.98765;
        m.Magnitude(1) = 1.23456789012345e-5, m.Direction(1) = 30; // as long as a number gets
        m.Xcoeff(2) = -0.01, m.Ycoeff(2) = 0.03, m.Const(2) = 10, m.R2(2) = 0.5;
        m.Magnitude(2) = 1.25e-5, m.Direction(2) = -120;
        m.PLRight = 100, m.PLTop = 100, m.MapRight = 100, m.MapTop = 100;
        m.MapTextSize = 10;
        m.WLMin = 10, m.WLMax = 12, m.WLInt = 0.5, m.WLLineWidth = 2;
        makeWorkbench();
    }

    RegressionResultsWindow *open()
    {
        return view = openFrom<RegressionResultsWindow>(QStringLiteral("mnuViewWaterLevelContours"));
    }
    QTableWidget *grid() const { return control<QTableWidget>(QStringLiteral("MSFlexGrid1")); }
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
    const struct {
        const char *header;
        int twips;
        QString first, second;
    } columns[] = {
        { "Date", 1000, shortDateText(QDate(2024, 3, 15)), shortDateText(QDate(2024, 9, 1)) },
        { "Xcoeff", 880, "0.02", "-0.01" },
        { "Ycoeff", 880, "0.01", "0.03" },
        { "Const", 700, "9", "10" },
        { "R2", 550, "0.99", "0.50" },
        { "Magnitude", 1000, "1.23456789012345E-05", "1.25E-05" },
        { "Direction", 880, "30", "-120" },
    };
    ASSERT_EQ(table->columnCount(), 7);
    ASSERT_EQ(table->rowCount(), 2);
    for (int c = 0; c < 7; ++c) {
        SCOPED_TRACE(columns[c].header);
        EXPECT_EQ(table->horizontalHeaderItem(c)->text(), QLatin1String(columns[c].header));
        EXPECT_EQ(table->item(0, c)->text(), columns[c].first);
        EXPECT_EQ(table->item(1, c)->text(), columns[c].second);
        // The classic width at least, and never a number cut short.
        const int width = table->columnWidth(c);
        EXPECT_GE(width, qRound(columns[c].twips * view->logicalDpiX() / 1440.0));
        for (int r = 0; r < 2; ++r)
            EXPECT_LT(table->fontMetrics().horizontalAdvance(table->item(r, c)->text()), width - 8);
    }
    EXPECT_EQ(table->currentRow(), 0) << "the first date is selected";
    EXPECT_EQ(view->form().sample, 1);

    const char *texts[] = { "10", "0.5", "12", "2" };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(box(i)->text(), QLatin1String(texts[i]));
}

// The boxes reach the drawing of the selected date (labels, rotation and closing are the water
// level contours' rules); Show Contour draws it and Clear takes it off.
TEST_F(RegressionResultsWindowTest, ShowContourDrawsTheSelectedDateAndClearTakesItOff)
{
    open();
    // A click selects the date; without the tick nothing is drawn yet.
    clickRow(1);
    EXPECT_EQ(view->form().sample, 2);
    EXPECT_FALSE(drawingOf(*session).isShown(WaterLevelDrawing));

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

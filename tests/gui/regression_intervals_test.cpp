// The 95 % intervals in the regression results window: the window makes room for their columns
// and the rose, and the intervals read as the table's own columns do.
#include "gui/views/direction_rose.h"
#include "gui/views/regression_results_window.h"
#include "gui/workbench_fixture.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

namespace qel::test {
namespace {

// Five wells and three dates: levels falling due east on a plane (flow 90 degrees, an interval
// of no width), the same with some scatter, and a north-south slope with scatter.
class RegressionIntervalsTest : public WorkbenchTest {
protected:
    RegressionIntervalsTest()
    {
        useProjectFolder();
        m.NumWLWells = 5;
        m.NumSamples = 3;
        m.SampleDate(1) = QDate(2024, 3, 13), m.SampleDate(2) = QDate(2024, 6, 1), m.SampleDate(3) = QDate(2024, 9, 1);
        const double xy[5][2] = { { 0, 0 }, { 100, 0 }, { 0, 100 }, { 100, 100 }, { 40, 70 } };
        for (int j = 1; j <= 5; ++j) {
            const double x = xy[j - 1][0], y = xy[j - 1][1];
            m.WLWellID(j) = QStringLiteral("W%1").arg(j);
            m.WLWellX(j) = x, m.WLWellY(j) = y;
            m.WLData(j, 1) = 10 - 0.01 * x;
            m.WLData(j, 2) = 10 - 0.01 * x + 0.003 * (j % 2);
            m.WLData(j, 3) = 10 - 0.01 * y + 0.002 * (j % 2);
        }
        const double fits[3][6]
            = { { -0.01, 0, 10, 1, 0.01, 90 }, { -0.01, 0, 10, 0.99, 0.01, 90.2 }, { 0, -0.01, 10, 0.99, 0.01, 0.3 } };
        for (int s = 1; s <= 3; ++s) {
            const double *f = fits[s - 1];
            m.Xcoeff(s) = f[0], m.Ycoeff(s) = f[1], m.Const(s) = f[2], m.R2(s) = f[3];
            m.Magnitude(s) = f[4], m.Direction(s) = f[5];
        }
        m.PLRight = 100, m.PLTop = 100, m.MapRight = 100, m.MapTop = 100;
        m.WLMin = 9, m.WLMax = 10, m.WLInt = 0.5, m.WLLineWidth = 1;
        m.RGDone = true;
        makeWorkbench();
    }

    void open()
    {
        openFrom<gui::RegressionResultsWindow>(QStringLiteral("mnuViewWaterLevelContours"));
        ASSERT_NE(form, nullptr);
        frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        ASSERT_NE(frame, nullptr);
        room = window->visibleArea();
        findControls();
    }
    // The window in a document area of its own, larger than the screen.
    void openInLargeArea()
    {
        area = std::make_unique<QMdiArea>();
        area->resize(1500, 900);
        area->show();
        form = new gui::RegressionResultsWindow(*session);
        frame = area->addSubWindow(form);
        frame->adjustSize();
        frame->show();
        settle();
        room = area->viewport()->rect();
        findControls();
    }
    void findControls()
    {
        grid = control<QTableWidget>(QStringLiteral("MSFlexGrid1"));
        rose = control<gui::DirectionRose>(QStringLiteral("DirectionRose"));
        ticks = control<QCheckBox>(QStringLiteral("chkIntervals"));
    }
    void tick(bool on) const
    {
        ticks->setChecked(on);
        settle();
    }
    // A widget's place in the window's coordinates.
    QRect placeOf(const QWidget *w) const { return QRect(w->mapTo(form.data(), QPoint()), w->size()); }

    // Every column is in view, or the table scrolls sideways to the last of them.
    void expectEveryColumnReachable() const
    {
        const int last = grid->columnCount() - 1;
        QScrollBar *bar = grid->horizontalScrollBar();
        const int shown = grid->viewport()->width();
        if (grid->horizontalHeader()->length() > shown) {
            EXPECT_TRUE(bar->isVisible()) << grid->horizontalHeader()->length() << " pixels of columns in " << shown;
            bar->setValue(bar->maximum());
        }
        EXPECT_LE(grid->columnViewportPosition(last) + grid->columnWidth(last), shown);
        bar->setValue(0);
    }
    void expectNothingCovered() const
    {
        const QRect inside = form->rect();
        if (rose->isVisible()) {
            EXPECT_FALSE(placeOf(rose).intersects(placeOf(grid))) << "the rose covers the table";
            EXPECT_TRUE(inside.contains(placeOf(rose))) << "the rose is cut off";
        }
        EXPECT_TRUE(inside.contains(placeOf(grid))) << "the table is cut off";
        EXPECT_TRUE(room.contains(frame->geometry())) << "the window reaches past the area";
        // The controls below the table keep their room.
        for (const char *name : { "chkAutoShow", "chkIntervals", "txtWLContInt0", "cmdClose" }) {
            const auto *below = control<QWidget>(QLatin1String(name));
            EXPECT_GT(placeOf(below).top(), placeOf(grid).bottom()) << name;
            EXPECT_GE(placeOf(below).height(), below->sizeHint().height()) << name;
            EXPECT_TRUE(inside.contains(placeOf(below))) << name;
        }
        // Every date's row is in view, above the horizontal scroll bar when there is one.
        EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
        EXPECT_LE(grid->rowViewportPosition(grid->rowCount() - 1) + grid->rowHeight(0), grid->viewport()->height());
    }

    ProjectModel &m = session->model;
    QTableWidget *grid = nullptr;
    gui::DirectionRose *rose = nullptr;
    QCheckBox *ticks = nullptr;
    QMdiSubWindow *frame = nullptr;
    QRect room; // where the window may go
    std::unique_ptr<QMdiArea> area;
};

TEST_F(RegressionIntervalsTest, TickingTheBoxMakesRoomForTheIntervalsAndUntickingGivesItBack)
{
    // The workbench as the tests start it (as wide as the test screen lets it be), one narrower
    // still, and an area with room for the whole window.
    enum Place { Workbench, SmallWorkbench, LargeArea };
    for (const Place place : { Workbench, SmallWorkbench, LargeArea }) {
        SCOPED_TRACE(int(place));
        if (place == SmallWorkbench) {
            window->resize(640, 560);
            settle();
        }
        if (place == LargeArea)
            openInLargeArea();
        else
            open();
        const QSize before = frame->size();
        expectNothingCovered();
        expectEveryColumnReachable();

        tick(true);
        ASSERT_EQ(grid->columnCount(), 9);
        EXPECT_TRUE(rose->isVisible());
        expectNothingCovered();
        expectEveryColumnReachable();
        // It grows to show everything, or as far as the area lets it and the table scrolls.
        const bool fits = !grid->horizontalScrollBar()->isVisible();
        EXPECT_EQ(fits, place == LargeArea);
        if (fits) {
            EXPECT_GT(frame->width(), before.width());
            EXPECT_EQ(grid->viewport()->width(), grid->horizontalHeader()->length()) << "no column cut short";
        } else {
            EXPECT_EQ(frame->width(), room.width());
        }

        tick(false);
        EXPECT_EQ(grid->columnCount(), 7);
        EXPECT_FALSE(rose->isVisible());
        EXPECT_EQ(frame->size(), before) << "the room goes back";
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
        expectNothingCovered();
        form->closeForm();
        settle();
        ASSERT_TRUE(form.isNull());
    }
    EXPECT_EQ(session->errorsReported, 0) << session->ErrorText.toStdString();
}

TEST_F(RegressionIntervalsTest, EveryDirectionBoundShowsItsTenthOfADegree)
{
    open();
    tick(true);
    ASSERT_EQ(grid->columnCount(), 9);
    // The plane fits the first date exactly: its interval is the direction itself, 90.0.
    EXPECT_EQ(grid->item(0, 8)->text().toStdString(), "90.0 to 90.0");
    EXPECT_EQ(grid->item(0, 6)->text().toStdString(), "90.0");
    const QRegularExpression bounds(QStringLiteral("^-?\\d+\\.\\d to -?\\d+\\.\\d$"));
    for (int r = 0; r < grid->rowCount(); ++r) {
        SCOPED_TRACE(r);
        const QTableWidgetItem *item = grid->item(r, 8);
        EXPECT_TRUE(bounds.match(item->text()).hasMatch()) << item->text().toStdString();
        // A copy takes the intervals in full, as it does the table's own columns.
        grid->setCurrentCell(r, 0);
        const QStringList copied
            = static_cast<gui::RegressionResultsWindow *>(form.data())->selectedResults().split(u'\t');
        ASSERT_EQ(copied.size(), 9);
        for (const QString &field : copied)
            EXPECT_FALSE(field.isEmpty());
        EXPECT_TRUE(copied[8].contains(QStringLiteral(" to "))) << copied[8].toStdString();
    }
}

} // namespace
} // namespace qel::test

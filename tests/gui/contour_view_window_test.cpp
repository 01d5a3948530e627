#include "gui/gui_input.h"
#include "gui/map/color_picker.h"
#include "gui/views/contour_view_window.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"
#include "map/color_table.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::ContourViewWindow;

class ContourViewWindowTest : public WorkbenchTest {
protected:
    ContourViewWindowTest()
    {
        useProjectFolder();
        ProjectModel &m = session->model;
        m.NumSamples = 2;
        m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
        m.ConcMin = 0, m.ConcMax = 10;
        m.MinDistMin = 0, m.MinDistMax = 150.456;
        m.WOLFMin = 0, m.WOLFMax = 2.5e6;
        m.PCLeft = 0, m.PCTop = 100, m.PCGridSpacing = 10, m.PCNumX = 3, m.PCNumY = 2;
        m.MapRight = 600, m.MapTop = 600, m.MapTextSize = 10;
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
    template<typename W> W *child(const QString &name) const
    {
        W *w = view ? view->findChild<W *>(name) : nullptr;
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QTableWidget *grid() const { return child<QTableWidget>(QStringLiteral("MSFlexGrid1")); }
    QLineEdit *editor() const { return view->cellEditor(); }
    void click(const char *button) const { child<QPushButton>(QString::fromLatin1(button))->click(); }

    static void key(QWidget *to, int code, const QString &text = {})
    {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(to, &event);
    }
    static void type(QWidget *to, const QString &text) { typeKeys(to, text); }
    void clickCell(int row, int column, bool twice = false) const { test::clickCell(grid(), row, column, twice); }
    // Replaces a box's text as typed and moves the focus on to another control of the view.
    void retype(QLineEdit *box, const QString &text, QWidget *next)
    {
        retypeBox(box, text);
        leaveTo(next);
    }

    ContourViewWindow *view = nullptr;
};

TEST_F(ContourViewWindowTest, EachViewOpensOnceFromItsMenuEntryWithItsOwnControls)
{
    const struct {
        const char *menu, *form, *caption, *log, *rangeMin, *rangeMax, *minText, *draw, *box;
        QStringList headings;
        bool logScale, samples, exports;
    } cases[] = {
        { "mnuViewPlumeContours", "frmPlumeSpect", "Plume Contours", "View > Plume Contours", "Cmin: 0", "Cmax: 10.",
            "0", "Draw Plume", "txtPCMin", { "Cmin", "Cmax", "Color" }, true, true, false },
        { "mnuViewMinDistContours", "frmMinDist", "Minimum Distance Contours", "View > MinDist", "DISTmin: 15.05",
            "DISTmax: 150.46", "0", "Draw contours", "txtMDMin", { "Dmin", "Dmax", "Color" }, false, false, true },
        { "mnuViewWOLFContours", "frmWOLF", "WOLF Contours", "View > WOLF", "WOLFmin: 0", "WOLFmax: 2.5E+6", "0",
            "Draw contours", "txtWFMin", { "Fmin", "Fmax", "Color" }, true, false, true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form);
        logMark = readLog().size();
        ASSERT_TRUE(open(c.menu));
        EXPECT_EQ(view->objectName(), QLatin1String(c.form));
        EXPECT_EQ(view->windowTitle(), QLatin1String(c.caption));
        EXPECT_TRUE(newLogLines().contains(QLatin1String(c.log)));
        const QList<QLabel *> labels = view->findChildren<QLabel *>();
        QStringList texts;
        for (const QLabel *label : labels)
            texts << label->text();
        EXPECT_TRUE(texts.contains(QLatin1String(c.rangeMin))) << texts.join(u'|').toStdString();
        EXPECT_TRUE(texts.contains(QLatin1String(c.rangeMax))) << texts.join(u'|').toStdString();
        EXPECT_EQ(child<QLineEdit>(QLatin1String(c.box))->text(), QLatin1String(c.minText));
        EXPECT_EQ(child<QPushButton>(QStringLiteral("cmdShowContour"))->text(), QLatin1String(c.draw));
        QStringList headings;
        for (int i = 0; i < grid()->columnCount(); ++i)
            headings << grid()->horizontalHeaderItem(i)->text();
        EXPECT_EQ(headings, c.headings);
        auto *useLog = view->findChild<QCheckBox *>(QStringLiteral("chkUseLog"));
        EXPECT_EQ(useLog != nullptr, c.logScale);
        if (useLog) {
            EXPECT_EQ(useLog->text(), QStringLiteral("Use Log scale"));
        }
        auto *dates = view->findChild<QComboBox *>(QStringLiteral("cboDate"));
        ASSERT_EQ(dates != nullptr, c.samples);
        if (dates) {
            EXPECT_EQ(dates->count(), 3);
            EXPECT_EQ(dates->itemText(2), QStringLiteral("Average"));
        }
        auto *exportGrid = view->findChild<QPushButton *>(QStringLiteral("cmdExport"));
        EXPECT_EQ(exportGrid != nullptr, c.exports);
        if (exportGrid) {
            EXPECT_EQ(exportGrid->text(), QStringLiteral("Export grid data"));
        }

        // A second command brings the open view to the front.
        ContourViewWindow *first = view;
        window->command(QStringLiteral("mnuViewSummary"))->trigger();
        open(c.menu);
        EXPECT_EQ(view, first);
        int frames = 0;
        for (QMdiSubWindow *frame : window->mdiArea()->subWindowList())
            frames += frame->widget() && frame->widget()->objectName() == QLatin1String(c.form);
        EXPECT_EQ(frames, 1);
    }
}

TEST_F(ContourViewWindowTest, GenerateFillsTheTableAndDrawPutsTheBandsOnTheMap)
{
    open("mnuViewPlumeContours");
    auto *dates = child<QComboBox>(QStringLiteral("cboDate"));
    dates->setCurrentIndex(2); // "Average"
    click("cmdGenerate");
    ASSERT_EQ(grid()->rowCount(), 5);
    const QStringList lower = { "0.001", "2.", "4.", "6.", "8." };
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(grid()->item(r, 0)->text(), lower[r]);
        // Level 1 gets blue (5), level 5 red (1).
        EXPECT_EQ(grid()->item(r, 2)->background().color(), colorFromBgr(ColorTable[std::size_t(5 - r)]));
    }
    click("cmdShowContour");
    EXPECT_EQ(session->errorsReported, 0) << session->ErrorText.toStdString();
    EXPECT_EQ(session->model.PCMapIndex, 3);
    EXPECT_FALSE(drawingOf(*session).drawing(PlumesDrawing).entities.empty());
    EXPECT_EQ(session->layers.node(LayerKey::Plumes).text, QStringLiteral("Plume (Average)"));
    EXPECT_EQ(session->layers.node(LayerKey::Plumes).state, CheckState::All);
    click("cmdClearContours");
    EXPECT_EQ(session->layers.node(LayerKey::Plumes).state, CheckState::None);

    click("cmdClose");
    EXPECT_TRUE(session->model.PCDone);
    EXPECT_TRUE(newLogLines().contains(QStringLiteral("frmPlumeSpect: [Close]")));
}

TEST_F(ContourViewWindowTest, TheTableIsEditedThroughItsEditBox)
{
    open("mnuViewPlumeContours");
    click("cmdGenerate");
    QTableWidget *table = grid();
    const ContourView &pc = session->model.PC;

    // Double-click and F2 start with the cell's text, a typed character with just that one.
    clickCell(1, 1, true);
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), QStringLiteral("4."));
    key(editor(), Qt::Key_Escape);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(pc.CMax(2), 4) << "Esc commits nothing";

    table->setCurrentCell(1, 1);
    key(table, Qt::Key_F2);
    EXPECT_EQ(editor()->text(), QStringLiteral("4."));
    key(editor(), Qt::Key_Escape);
    key(table, Qt::Key_7, QStringLiteral("7"));
    EXPECT_EQ(editor()->text(), QStringLiteral("7"));
    type(editor(), QStringLiteral(".5"));
    key(editor(), Qt::Key_Return);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(pc.CMax(2), 7.5);
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("7.5"));

    // Down commits and moves on; Up in the first row does neither.
    key(table, Qt::Key_9, QStringLiteral("9"));
    key(editor(), Qt::Key_Down);
    EXPECT_EQ(pc.CMax(2), 9);
    EXPECT_EQ(table->currentRow(), 2);
    table->setCurrentCell(0, 0);
    key(table, Qt::Key_3, QStringLiteral("3"));
    key(editor(), Qt::Key_Up);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(table->currentRow(), 0);

    // Leaving the cell commits; a zero becomes 0.001 with the view's message.
    editor()->setText(QStringLiteral("0"));
    table->setCurrentCell(3, 0);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(pc.CMin(1), 0.001);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("0.001"));
    ASSERT_FALSE(frontend.boxes.empty());
    EXPECT_EQ(frontend.boxes.back().title, QStringLiteral("Zero invalid"));

    // A text that is no number is reported once and stays in the edit box to be corrected.
    const int reported = session->errorsReported;
    key(table, Qt::Key_X, QStringLiteral("x"));
    key(editor(), Qt::Key_Return);
    key(editor(), Qt::Key_Return);
    EXPECT_EQ(session->errorsReported, reported + 1);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_TRUE(session->ErrorText.startsWith(QStringLiteral("QEL(PlumeSpect:MSFlexGrid1_LeaveCell): 13: ")));
    key(editor(), Qt::Key_Escape);
    EXPECT_EQ(pc.CMin(4), 6);
}

TEST_F(ContourViewWindowTest, ALogScaleWarningMarksTheBoxAndKeepsTheFocus)
{
    open("mnuViewPlumeContours");
    auto *min = child<QLineEdit>(QStringLiteral("txtPCMin"));
    auto *max = child<QLineEdit>(QStringLiteral("txtPCMax"));
    auto *levels = child<QLineEdit>(QStringLiteral("txtPCNumLevels"));
    auto *useLog = child<QCheckBox>(QStringLiteral("chkUseLog"));

    // The minimum box shows 0: the log scale is refused and stays unticked.
    useLog->click();
    EXPECT_FALSE(useLog->isChecked());
    EXPECT_FALSE(session->model.PC.UseLog);
    EXPECT_TRUE(frontend.boxes.back().text.startsWith(QStringLiteral("For log scale, min/max values must not be\n")));

    retype(min, QStringLiteral("0.5"), max);
    useLog->click();
    ASSERT_TRUE(useLog->isChecked());
    retype(min, QStringLiteral("0"), max);
    EXPECT_EQ(
        frontend.boxes.back().text, QStringLiteral("For log scale, minimum value must not be zero! Please change."));
    EXPECT_EQ(QApplication::focusWidget(), min);
    EXPECT_TRUE(min->font().bold());
    EXPECT_GT(min->palette().color(QPalette::Text).red(), 150);
    // Unticking the log scale takes the mark away.
    useLog->click();
    EXPECT_FALSE(min->font().bold());

    retype(levels, QStringLiteral("7"), max);
    EXPECT_EQ(levels->text(), QStringLiteral("5"));
    EXPECT_EQ(session->model.PC.NumLevels, 5);
    EXPECT_NE(QApplication::focusWidget(), levels) << "a corrected value lets the focus go";
}

TEST_F(ContourViewWindowTest, TheColourColumnOpensThePickerForTheLevel)
{
    open("mnuViewWOLFContours");
    click("cmdGenerate");
    clickCell(0, gui::ColorColumn);
    gui::ChildForm *picker = window->findChildForm(QStringLiteral("frmDBCColors"));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(gui::colorPickerState(*session).ColorCaller, QStringLiteral("WOLF"));
    static_cast<gui::ColorPicker *>(picker)->picColorName_Click(7); // Dark Red
    EXPECT_EQ(session->model.WF.CColor(1), 8);
    EXPECT_EQ(grid()->item(0, gui::ColorColumn)->background().color(), colorFromBgr(PickerBoxColor[8]));
    // A second click opens no second picker.
    clickCell(1, gui::ColorColumn);
    int pickers = 0;
    for (QMdiSubWindow *frame : window->mdiArea()->subWindowList())
        pickers += frame->widget() && frame->widget()->objectName() == QStringLiteral("frmDBCColors");
    EXPECT_EQ(pickers, 1);
}

TEST_F(ContourViewWindowTest, ExportAsksForTheFileAndWritesTheGrid)
{
    open("mnuViewMinDistContours");
    const QString target = session->model.ProjectDir + QStringLiteral("md.txt");
    frontend.queueFile(target);
    click("cmdExport");
    ASSERT_EQ(frontend.fileRequests.size(), 1u);
    EXPECT_EQ(frontend.fileRequests.front().title, QStringLiteral("Select Export File"));
    EXPECT_EQ(readBytes(target), QByteArray("     60.00     60.00     60.00\r\n     60.00     60.00     60.00\r\n"));
}

} // namespace
} // namespace qel::test

// A new user's project built in the workbench along the outline, step by step, from the example
// site's data files alone: the raster plan calibrated by two points, the wells and levels from the
// workbook, the dialogs filled in by typing, the runs, and the three kinds of bands on the map.
// What the walk computes must be what the committed example computes.
#include "core/workflow_steps.h"
#include "gui/gui_input.h"
#include "gui/map/map_window.h"
#include "gui/workbench/workbench_windows.h"
#include "gui/workbench_fixture.h"
#include "input/import_wizard.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

const QString GoldenDir = QStringLiteral(QEL_TEST_DATA "/example/");

// The lines of a project file's section, from its header to the blank line after it.
QByteArray section(const QByteArray &project, const char *header)
{
    const qsizetype start = project.indexOf(header);
    if (start < 0)
        return {};
    const qsizetype end = project.indexOf("\r\n\r\n", start);
    return project.mid(start, end < 0 ? -1 : end - start);
}

class NewProjectWalk : public WorkbenchTest {
protected:
    NewProjectWalk()
    {
        // The person starts with the plan and the workbook in a folder of their own.
        copyExample(home(), QStringLiteral("site"), { "site-plan.png", "site-data.xlsx" });
        qputenv("QEL_REGRESS", QByteArray(QEL_BINARY_DIR "/bin/regress"));
        makeWorkbench();
        frontend.mapWindows = true;
    }
    ~NewProjectWalk() override { qunsetenv("QEL_REGRESS"); }

    QString site() const { return home() + QStringLiteral("site/"); }

    // Runs the step from the outline and returns the window it opened, the one the next controls
    // are looked up in.
    gui::ChildForm *step(Step s)
    {
        window->runOutlineStep(s);
        QApplication::processEvents();
        form = window->activeChildForm();
        return form;
    }
    // Types into the box on whichever tab holds it and tabs on to the help button.
    void enter(const char *box, const char *text) const
    {
        QLineEdit *edit = control<QLineEdit>(box);
        showTabOf(edit);
        retypeBox(edit, QLatin1String(text));
        leaveTo(control<QWidget>("cmdHelp"));
    }
    void choose(const char *box, const QString &text) const
    {
        auto *combo = control<QComboBox>(box);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }
    void expectNoComplaint(const char *after) const
    {
        EXPECT_EQ(session->errorsReported, 0) << after << ": " << session->ErrorText.toStdString();
        for (const ScriptedFrontend::Box &box : frontend.boxes)
            EXPECT_NE(box.icon, MsgIcon::Warning) << after << ": " << box.text.toStdString();
    }

    void setUnits()
    {
        ASSERT_NE(step(Step::SetUnits), nullptr);
        choose("cboDistUnits", QStringLiteral("m"));
        choose("cboTimeUnits", QStringLiteral("d"));
        choose("cboConcUnits", QStringLiteral("ug/L"));
        click("cmdClose");
    }
    // The first file the project needs asks for the project file first.
    void openPlan()
    {
        frontend.answers.push_back(MsgAnswer::Ok);
        frontend.queueFile(site() + QStringLiteral("alpha.prj"));
        frontend.queueFile(site() + QStringLiteral("site-plan.png"), 1);
        step(Step::BaseMap);
        ASSERT_NE(gui::findMapWindow(*window), nullptr);
        EXPECT_TRUE(QFile::exists(site() + QStringLiteral("alpha.prj")));
    }
    // The plan's top left corner mark is at pixel (20, 20), its bottom right one at (1020, 820).
    void calibrate()
    {
        ASSERT_NE(step(Step::MapScale), nullptr);
        const char *points[][2] = { { "txtRasterX3", "20" }, { "txtRasterY3", "20" }, { "txtVectorX3", "0" },
            { "txtVectorY3", "400" }, { "txtRasterX4", "1020" }, { "txtRasterY4", "820" }, { "txtVectorX4", "500" },
            { "txtVectorY4", "0" } };
        for (const auto &[box, text] : points)
            retypeBox(control<QLineEdit>(box), QLatin1String(text));
        click("chkCalibrate");
        click("cmdOK");
    }
    void importSheet(Step s, const char *folderButton, const QString &sheet, bool mapWells)
    {
        ASSERT_NE(step(s), nullptr);
        click("cmdNext");
        control<QListWidget>("lstFileFormats")->setCurrentRow(SetFileFormats(QStringLiteral("Excel 12.0 Xml")));
        frontend.queueFile(site() + QStringLiteral("site-data.xlsx"));
        click(folderButton);
        click("cmdNext");
        choose("cboDataTable", sheet);
        click("cmdReadData");
        click("cmdNext");
        if (mapWells)
            click("cmdMapWells");
        click("cmdNext"); // Finish
    }
    void setPlotLimits()
    {
        ASSERT_NE(step(Step::PlotLimits), nullptr);
        const char *limits[][2] = { { "txtMLLeft", "0" }, { "txtMLRight", "500" }, { "txtMLBottom", "0" },
            { "txtMLTop", "400" }, { "txtPLLeft", "0" }, { "txtPLRight", "500" }, { "txtPLBottom", "0" },
            { "txtPLTop", "400" }, { "txtPCGridSpacing", "2.5" } };
        for (const auto &[box, text] : limits)
            enter(box, text);
        click("cmdMapLimits");
        click("cmdOK");
    }
    void enterTransportData()
    {
        ASSERT_NE(step(Step::ModelData), nullptr);
        const char *values[] = { "5", "0.3", "10", "1", "1.5", "730", "3650", "20", "1000" };
        click("chkDecay"); // before the half-life box takes typing
        for (int i = 0; i < 9; ++i) {
            QLineEdit *box = control<QLineEdit>(qPrintable(QStringLiteral("txtParameter%1").arg(i)));
            retypeBox(box, QLatin1String(values[i]));
            pressKey(box, Qt::Key_Return);
        }
        click("cmdClose");
    }
    void placeSource()
    {
        ASSERT_NE(step(Step::SourceLocation), nullptr);
        enter("txtXsource", "220");
        enter("txtYsource", "312");
        click("cmdClose");
    }
    // Generates the levels of a contour view, draws them and closes the view.
    void drawBands(Step s, const char *date = nullptr)
    {
        ASSERT_NE(step(s), nullptr);
        if (date)
            choose("cboDate", QLatin1String(date));
        click("cmdGenerate");
        click("cmdShowContour");
    }
};

TEST_F(NewProjectWalk, EveryOutlineStepFromTheDataFilesToTheWolfBands)
{
    setUnits();
    openPlan();
    calibrate();
    ASSERT_TRUE(session->model.MapReady);
    importSheet(Step::WellLocations, "imgWEDataFile", QStringLiteral("Wells"), true);
    ASSERT_EQ(session->model.NumWells, 25);
    importSheet(Step::WaterLevels, "imgWLDataFile", QStringLiteral("Levels"), false);
    ASSERT_EQ(session->model.NumSamples, 8);
    setPlotLimits();
    enterTransportData();
    placeSource();
    expectNoComplaint("input data");

    step(Step::RunRegression);
    ASSERT_TRUE(session->model.RGDone) << session->ErrorText.toStdString();
    step(Step::ViewRegressionOutput);
    EXPECT_FALSE(frontend.shownFiles.isEmpty());
    ASSERT_NE(step(Step::WaterLevelContours), nullptr);
    clickCell(control<QTableWidget>("MSFlexGrid1"), 0, 1);
    click("cmdShowContour");
    click("cmdClose");
    expectNoComplaint("regression");

    step(Step::RunAnalytical);
    ASSERT_TRUE(session->model.ANDone) << session->ErrorText.toStdString();
    frontend.queueFile(site() + QStringLiteral("QELResults.out"));
    step(Step::ExportResults);
    EXPECT_TRUE(QFile::exists(site() + QStringLiteral("QELResults.out")));
    drawBands(Step::ViewPlumeContours, "Average");
    click("cmdClose");
    drawBands(Step::ViewMinDistContours);
    frontend.queueFile(site() + QStringLiteral("mindist.txt"));
    click("cmdExport");
    click("cmdClose");
    drawBands(Step::ViewWolfContours);
    frontend.queueFile(site() + QStringLiteral("wolf.txt"));
    click("cmdExport");
    expectNoComplaint("transport run");

    // The bands are on the map, and the walk computed what the example computes.
    const DrawingComponent &map = drawingOf(*session);
    for (const auto &[drawing, layer] : { std::pair(PlumesDrawing, LayerKey::Plumes),
             std::pair(MinDistanceDrawing, LayerKey::MinDistances), std::pair(WolfDrawing, LayerKey::WolfFactor) }) {
        SCOPED_TRACE(drawing);
        EXPECT_FALSE(map.drawing(drawing).entities.empty());
        EXPECT_TRUE(map.isShown(drawing));
        EXPECT_EQ(session->layers.node(layer).state, CheckState::All);
    }
    // The example's golden grids are kept as their digests.
    for (const QString &grid : { QStringLiteral("mindist.txt"), QStringLiteral("wolf.txt") }) {
        const QByteArray bytes = readBytes(site() + grid);
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + '\n',
            readBytes(GoldenDir + grid + QStringLiteral(".sha256")))
            << grid.toStdString();
    }
    EXPECT_EQ(readBytes(site() + QStringLiteral("regress.out")), readBytes(GoldenDir + QStringLiteral("regress.out")));
    click("cmdClose");

    for (const WorkflowStep &s : workflowSteps()) {
        if (s.parent && s.step != Step::ViewRegressionOutput) {
            EXPECT_EQ(session->outline.state(s.step), CheckState::All) << s.caption;
        }
    }

    // Saved, the project holds what the example holds for what was typed and picked.
    frontend.answers.push_back(MsgAnswer::Yes); // overwrite the project file it has
    window->command(QStringLiteral("mnuFileSave"))->trigger();
    EXPECT_FALSE(session->model.ProjectChanged);
    expectNoComplaint("save");
    const QByteArray saved = readBytes(site() + QStringLiteral("alpha.prj"));
    const QByteArray example = readBytes(ExampleDir + QStringLiteral("alpha-site-raster.prj"));
    for (const char *name : { "[Units]", "[Map Calibration]", "[Plot Limits]", "[Transport Data]" })
        EXPECT_EQ(section(saved, name).toStdString(), section(example, name).toStdString());
}

} // namespace
} // namespace qel::test

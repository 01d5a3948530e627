#include "analysis/results_report.h"
#include "gui/document/document_window.h"
#include "gui/map/map_window.h"
#include "gui/text/output_viewer.h"
#include "gui/workbench_fixture.h"
#include "map/map_display.h"
#include "support/test_session.h"
#include "views/grid_export.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace qel;
using namespace qel::test;

namespace {

class SaveReplaceTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        makeWindow();
        useProjectFolder();
        ProjectModel &m = session->model;
        // A 2 x 1 grid of one date, on the drawing site_plan.dxf: enough for every save.
        m.NumSamples = 1, m.SampleDate(1) = QDate(2023, 3, 15);
        m.PCRight = 10, m.PCGridSpacing = 10, m.PCNumX = 2, m.PCNumY = 1;
        m.Conc.allocate(22, 21, 2);
        m.MinDistGrid(1, 1) = 1, m.MinDistGrid(2, 1) = 2;
        m.ANDone = true;
        QFile::copy(QStringLiteral(QEL_TEST_DATA "/map/site_plan.dxf"), m.ProjectDir + QStringLiteral("site_plan.dxf"));
        m.BaseMapFile = QStringLiteral("site_plan.dxf"), m.BaseMapType = QStringLiteral("vector");
        frontend.mapWindows = true;
    }
};

const QByteArray OldBytes = "a file of the user's\r\n";

} // namespace

// Each save onto an existing file asks once, about the file it writes (the map image's name gets
// its extension after the dialog): No keeps the file byte for byte and goes back to the dialog,
// in the same folder with the same name, where Cancel ends; Yes replaces the file.
TEST_F(SaveReplaceTest, EverySaveAsksBeforeReplacingTheFileItWrites)
{
    const QString dir = session->model.ProjectDir;
    auto viewer = std::make_unique<gui::OutputViewer>(*session);
    viewer->loadFile(writeBytes(home() + QStringLiteral("shown.out"), "shown text\r\n"));
    auto summary = std::make_unique<gui::DocumentWindow>(*session);
    summary->showProjectData();
    ASSERT_TRUE(DisplayMap(*session));
    QApplication::processEvents();
    gui::MapWindow *map = gui::findMapWindow(*window);
    ASSERT_NE(map, nullptr);

    const struct {
        const char *what;
        const char *chosen; // the name the dialog gives
        int filterIndex;
        const char *written; // the file the save writes
        std::function<void()> save;
        QByteArray writtenStart;
    } cases[] = {
        { "grid export", "md.txt", 1, "md.txt", [&] { mdExportClicked(*session); }, "      1.00      2.00\r\n" },
        { "results report", "QELResults.out", 1, "QELResults.out", [&] { ExportAnalyticalResults(*session); },
            "DOMENICO SOLUTION\r\n" },
        { "map image", "view", 2, "view.pdf", [&] { map->exportImage(); }, "%PDF" },
        { "output viewer", "copy.out", 1, "copy.out", [&] { viewer->fileSaveAs(); }, "shown text\r\n" },
        { "project summary", "summary.rtf", 1, "summary.rtf", [&] { summary->fileSaveAs(); }, "{\\rtf" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString written = writeBytes(dir + QLatin1String(c.written), OldBytes);
        const qsizetype asked = frontend.boxTexts(MsgIcon::Question).size();

        frontend.queueFile(dir + QLatin1String(c.chosen), c.filterIndex);
        frontend.answers.push_back(MsgAnswer::No);
        frontend.queueCancelledFile();
        c.save();
        const QStringList questions = frontend.boxTexts(MsgIcon::Question);
        ASSERT_EQ(questions.size(), asked + 1);
        EXPECT_EQ(frontend.boxes.back().title, QStringLiteral("Overwrite?"));
        EXPECT_TRUE(questions.last().endsWith(QStringLiteral("\r\n\r\n") + written)) << questions.last().toStdString();
        EXPECT_EQ(readBytes(written), OldBytes);
        EXPECT_EQ(frontend.fileRequests.back().initialDir, dir);
        EXPECT_EQ(frontend.fileRequests.back().initialName, QLatin1String(c.written));
        EXPECT_TRUE(frontend.fileAnswers.empty()) << "the dialog came back once";

        frontend.queueFile(dir + QLatin1String(c.chosen), c.filterIndex);
        frontend.answers.push_back(MsgAnswer::Yes);
        c.save();
        EXPECT_EQ(frontend.boxTexts(MsgIcon::Question).size(), asked + 2);
        EXPECT_TRUE(readBytes(written).startsWith(c.writtenStart)) << readBytes(written).left(40).toStdString();
        EXPECT_TRUE(frontend.answers.empty());
    }
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("view"))) << "the name without its extension is never written";
}

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
        // A 2 x 1 grid of one date: enough for the grid export and the results report.
        m.NumSamples = 1, m.SampleDate(1) = QDate(2023, 3, 15);
        m.PCLeft = 0, m.PCRight = 10, m.PCTop = 0, m.PCBottom = 0, m.PCGridSpacing = 10, m.PCNumX = 2, m.PCNumY = 1;
        m.Conc.allocate(22, 21, 2);
        m.MinDistGrid(1, 1) = 1, m.MinDistGrid(2, 1) = 2;
        m.ANDone = true;
    }

    gui::MapWindow *openMap()
    {
        frontend.mapWindows = true;
        ProjectModel &m = session->model;
        QFile::copy(QStringLiteral(QEL_TEST_DATA "/map/site_plan.dxf"), m.ProjectDir + QStringLiteral("site_plan.dxf"));
        m.BaseMapFile = QStringLiteral("site_plan.dxf");
        m.BaseMapType = QStringLiteral("vector");
        EXPECT_TRUE(DisplayMap(*session));
        QApplication::processEvents();
        return gui::findMapWindow(*window);
    }

    // Questions asked so far.
    std::vector<ScriptedFrontend::Box> questions() const
    {
        std::vector<ScriptedFrontend::Box> asked;
        for (const auto &box : frontend.boxes)
            if (box.icon == MsgIcon::Question)
                asked.push_back(box);
        return asked;
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
    gui::MapWindow *map = openMap();
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
        const std::size_t asked = questions().size();

        frontend.queueFile(dir + QLatin1String(c.chosen), c.filterIndex);
        frontend.answers.push_back(MsgAnswer::No);
        frontend.queueCancelledFile();
        c.save();
        ASSERT_EQ(questions().size(), asked + 1);
        const ScriptedFrontend::Box question = questions().back();
        EXPECT_EQ(question.title, QStringLiteral("Overwrite?"));
        EXPECT_EQ(question.buttons, MsgButtons::YesNo);
        EXPECT_TRUE(question.text.endsWith(QStringLiteral("\r\n\r\n") + written)) << question.text.toStdString();
        EXPECT_EQ(readBytes(written), OldBytes);
        EXPECT_EQ(frontend.fileRequests.back().initialDir, dir);
        EXPECT_EQ(frontend.fileRequests.back().initialName, QLatin1String(c.written));
        EXPECT_TRUE(frontend.fileAnswers.empty()) << "the dialog came back once";

        frontend.queueFile(dir + QLatin1String(c.chosen), c.filterIndex);
        frontend.answers.push_back(MsgAnswer::Yes);
        c.save();
        EXPECT_EQ(questions().size(), asked + 2);
        EXPECT_TRUE(readBytes(written).startsWith(c.writtenStart)) << readBytes(written).left(40).toStdString();
        EXPECT_TRUE(frontend.answers.empty());
    }
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("view"))) << "the name without its extension is never written";
}

#include "core/file_commands.h"

#include "support/test_session.h"

#include <gtest/gtest.h>

namespace qel::test {
namespace {

// Log lines written after the session header, without their line ends.
QStringList logLinesAfterStart(const TestSession &t)
{
    const QStringList lines = t.readLog().split(QStringLiteral("\r\n"));
    return lines.mid(lines.lastIndexOf(QString(52, u'=')) + 1);
}

void expectOneBox(const ScriptedFrontend &f, const QString &title, const QString &text, MsgButtons buttons)
{
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0].title, title);
    EXPECT_EQ(f.boxes[0].text, text);
    EXPECT_EQ(f.boxes[0].buttons, buttons);
}

class FileCommands : public ::testing::Test {
protected:
    TestSession t;
    Session &s = *t.session;
    ScriptedFrontend &f = t.frontend;
};

TEST(FileCommandsTable, UnsavedChangesAnsweredNoKeepTheProject)
{
    const struct {
        void (*command)(Session &);
        const char *log, *action;
    } cases[] = { { &fileOpen, "File > Open", "open another project file" },
        { &fileNew, "File > New", "start a new project" }, { &fileClose, "File > Close", "close the project" },
        { &editClear, "Edit > Clear", "clear the project" } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.log);
        TestSession t;
        ProjectModel &m = t.session->model;
        m.ProjectChanged = true;
        m.MapTitle = QStringLiteral("Site A");
        t.frontend.answers = { MsgAnswer::No };

        c.command(*t.session);

        const QString action = QString::fromLatin1(c.action);
        expectOneBox(t.frontend, "Are you sure?", "Are you sure you want to ignore current data, and " + action + "?",
            MsgButtons::YesNo);
        EXPECT_TRUE(t.frontend.fileRequests.empty());
        EXPECT_EQ(m.MapTitle, QStringLiteral("Site A"));
        EXPECT_TRUE(m.ProjectChanged);
        EXPECT_TRUE(logLinesAfterStart(t).contains("Ignore current data and " + action + "? [No]"));
    }
}

// Clear asks only when something is unsaved; Yes clears.
TEST(FileCommandsTable, ClearAsksOnlyForUnsavedChanges)
{
    for (const bool changed : { false, true }) {
        SCOPED_TRACE(changed);
        TestSession t;
        t.session->model.ProjectChanged = changed;
        t.session->model.MapTitle = QStringLiteral("Site A");
        if (changed)
            t.frontend.answers = { MsgAnswer::Yes };
        editClear(*t.session);
        EXPECT_EQ(t.frontend.boxes.size(), changed ? 1u : 0u);
        EXPECT_TRUE(t.session->model.MapTitle.isEmpty());
        EXPECT_FALSE(t.session->model.ProjectChanged);
    }
}

TEST_F(FileCommands, AnUnwritableLogWarnsOnceAndStopsNoCommand)
{
    s.app.LogFile = t.home(); // a folder: the log cannot be written
    f.queueCancelledFile();
    f.queueCancelledFile();

    fileOpen(s);
    fileOpen(s);

    ASSERT_EQ(f.fileRequests.size(), 2u) << "both commands went on to their dialog";
    const QStringList warnings = f.boxTexts(MsgIcon::Warning);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("QEL(WriteLog): 75: \nPath/File access error\n")))
        << warnings[0].toStdString();
    EXPECT_EQ(s.errorsReported, 0);
}

TEST_F(FileCommands, SaveAsOnAnExistingFileAnsweredNoThenANewName)
{
    const QString existing = t.writeFile(QStringLiteral("Data/old.prj"), "[Project]\r\n");
    const QString fresh = t.home() + QStringLiteral("Data/fresh"); // no extension: gets .prj
    f.queueFile(existing);
    f.queueFile(fresh);
    f.answers = { MsgAnswer::No };

    fileSaveAs(s);

    ASSERT_EQ(f.fileRequests.size(), 2u);
    expectOneBox(f, "Overwrite?", "Overwrite existing file?\r\n\r\nold.prj", MsgButtons::YesNo);
    EXPECT_EQ(s.model.ProjectFile, fresh + QStringLiteral(".prj"));
    EXPECT_EQ(readBytes(existing), "[Project]\r\n");
}

TEST(FileCommandsTable, SaveAsksBeforeOverwriting)
{
    const struct {
        MsgAnswer answer;
        QString log;
        std::size_t saveDialogs;
    } cases[] = {
        { MsgAnswer::No, "Overwrite file? [No]", 1 },
        { MsgAnswer::Cancel, "", 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.log.toStdString());
        TestSession t;
        Session &s = *t.session;
        s.model.ProjectFile = t.home() + QStringLiteral("a.prj");
        t.frontend.answers = { c.answer };
        if (c.saveDialogs)
            t.frontend.queueCancelledFile();

        fileSave(s);

        expectOneBox(t.frontend, "Overwrite?",
            "A file already exists by the name:\r\n\r\n" + s.model.ProjectFile
                + "\r\n\r\nPress [Yes] to overwrite this file, [No] to save under new file name, \r\nor [Cancel] to go "
                  "back without saving data.",
            MsgButtons::YesNoCancel);
        EXPECT_EQ(t.frontend.fileRequests.size(), c.saveDialogs);
        EXPECT_EQ(logLinesAfterStart(t).value(1), c.log);
    }
}

// Cancel, No and an unchanged project are the main window's closing test. Yes with no project
// file leads to Save As, and cancelling that keeps the session.
TEST_F(FileCommands, ExitAnsweredYesThenACancelledSaveAsKeepsTheSession)
{
    s.model.ProjectChanged = true;
    f.answers = { MsgAnswer::Yes };
    f.queueCancelledFile();

    EXPECT_FALSE(fileExit(s));
    expectOneBox(f, "Save data?",
        "You are about to terminate QEL session.\nPress [Yes] to save data, [No] to quit without saving, "
        "or [Cancel] to return to QEL.",
        MsgButtons::YesNoCancel);
    EXPECT_EQ(f.fileRequests.size(), 1u);
}

// No base map at all is the outline window's test (a map step says what is missing).
TEST(FileCommandsTable, MapCommandPreconditions)
{
    const QString notOpened = QStringLiteral("Base map is not properly opened.");
    const struct {
        bool units, baseMap, scale, ready;
        const char *type;
        bool (*command)(Session &);
        QString log, title, text; // empty text: the dialog may open
    } cases[] = {
        { false, true, true, true, "raster", &mapSetScale, "Set units first", "Need units", "Set units first." },
        { true, true, false, false, "vector", &mapSetPlotLimits, notOpened, "Need basemap.",
            notOpened + " Please check and try again." },
        { true, true, true, false, "raster", &mapSetPlotLimits, "Base map is not properly opened or calibrated.",
            "Need basemap.", "Base map is not properly opened or calibrated. Please check and try again." },
        { true, true, false, false, "raster", &mapSetPlotLimits, "Map is not properly calibrated.", "Need basemap.",
            "Map is not properly calibrated. Please check 'Map scale' first." },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TestSession t;
        ProjectModel &m = t.session->model;
        m.UNDone = c.units;
        m.BMDone = c.baseMap;
        m.MSDone = c.scale;
        m.MapReady = c.ready;
        m.BaseMapType = QString::fromLatin1(c.type);

        EXPECT_EQ(c.command(*t.session), c.text.isEmpty());
        if (c.text.isEmpty()) {
            EXPECT_TRUE(t.frontend.boxes.empty());
            continue;
        }
        expectOneBox(t.frontend, c.title, c.text, MsgButtons::Ok);
        EXPECT_EQ(logLinesAfterStart(t).value(1), "Msg: " + c.log);
    }
}

TEST_F(FileCommands, SaveAfterAFailedOpenNeverReplacesTheUnreadableFile)
{
    f.expectErrors = true;
    const QByteArray cut = newProjectBytes().left(newProjectBytes().size() / 2);
    const QString path = t.writeFile(QStringLiteral("site/broken.prj"), cut);
    f.expectErrors = true; // the open fails with its error box
    f.queueFile(path);
    fileOpen(s);
    ASSERT_EQ(f.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(s.model.ProjectFile.isEmpty());

    // The menu's Save has no file to write and asks for a name; the toolbar's is the window test's.
    f.queueCancelledFile();
    fileSave(s);
    ASSERT_EQ(f.fileRequests.size(), 1u);
    EXPECT_TRUE(f.fileRequests[0].initialName.isEmpty());
    EXPECT_EQ(readBytes(path), cut);
}

} // namespace
} // namespace qel::test

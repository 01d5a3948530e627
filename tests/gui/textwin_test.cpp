#include "core/help_topics.h"
#include "gui/help/help_window.h"
#include "gui/text/about_box.h"
#include "gui/text/output_viewer.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace qel;
using namespace qel::gui;
using namespace qel::test;

namespace {

// Runs the body with PATH set to one folder.
template<typename Body> void withPath(const QString &path, Body &&body)
{
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", path.toLocal8Bit());
    body();
    qputenv("PATH", saved);
}

struct HelpFixture : ::testing::Test {
    TestSession t;
    std::unique_ptr<QWidget> mainWindow = std::make_unique<QWidget>();
};

struct OutputFixture : ::testing::Test {
    TestSession t;
    QPointer<OutputViewer> viewer;

    void SetUp() override
    {
        t.session->model.ProjectDir = t.home() + QStringLiteral("Data/");
        viewer = new OutputViewer(*t.session);
    }
    void TearDown() override { delete viewer.data(); }
};

} // namespace

TEST(AboutBox, DisclaimerOpensAndCloses)
{
    TestSession t;
    AboutBox box(*t.session);
    box.findChild<QPushButton *>(QStringLiteral("cmdDisclaimer"))->click();
    auto *disclaimer = box.findChild<QDialog *>(QStringLiteral("frmDisclaimer"));
    ASSERT_NE(disclaimer, nullptr);
    EXPECT_TRUE(disclaimer->isVisible());
    auto *close = disclaimer->findChild<QPushButton *>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_FALSE(disclaimer->isVisible());
}

TEST(AboutBox, SystemInfoWithoutAToolSaysSo)
{
    TestSession t;
    QTemporaryDir nothing;
    withPath(nothing.path(), [&] {
        EXPECT_TRUE(findSystemInfoTool().program.isEmpty());
        AboutBox box(*t.session);
        box.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    });
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST(AboutBox, FindsAnInstalledSystemInfoTool)
{
    QTemporaryDir bin;
    for (const char *name : { "gnome-system-monitor", "hardinfo" }) {
        QFile tool(bin.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\nexit 0\n");
        tool.setPermissions(tool.permissions() | QFileDevice::ExeOwner);
    }
    withPath(bin.path(), [&] { EXPECT_EQ(findSystemInfoTool().program, bin.filePath(QStringLiteral("hardinfo"))); });
}

TEST_F(HelpFixture, TopicsOpenInTheirWindowAndWindowsAreReused)
{
    const struct {
        int context;
        const char *window;
        const char *file;
    } cases[] = {
        { HelpTopic::Contents, "main", "index.html" }, { HelpTopic::Outline, "main", "outline.html" },
        { HelpTopic::Options, "proc1", "options.html" }, { 987654, "proc1", "index.html" }, // unknown: the contents
    };
    HelpWindow *windows[2] = {};
    for (const auto &c : cases) {
        HelpWindow *window = showHelpTopic(*t.session, mainWindow.get(), c.context);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowName(), QString::fromLatin1(c.window)) << c.context;
        EXPECT_EQ(window->currentTopic(), QString::fromLatin1(c.file)) << c.context;
        HelpWindow *&known = windows[window->windowName() == QLatin1String("main") ? 0 : 1];
        if (known) {
            EXPECT_EQ(window, known) << c.context;
        }
        known = window;
    }
    EXPECT_NE(windows[0], windows[1]);
    // A dialog's help button reaches the same windows as the main window.
    QWidget dialog(mainWindow.get());
    EXPECT_EQ(showHelpTopic(*t.session, &dialog, HelpTopic::Options), windows[1]);
    EXPECT_EQ(showHelpContents(*t.session, &dialog), windows[0]);
}

TEST_F(HelpFixture, BackForwardAndContents)
{
    HelpWindow *window = showHelpTopic(*t.session, mainWindow.get(), HelpTopic::Layers);
    auto *back = window->findChild<QToolButton *>(QStringLiteral("cmdBack"));
    auto *forward = window->findChild<QToolButton *>(QStringLiteral("cmdForward"));
    auto *contents = window->findChild<QToolButton *>(QStringLiteral("cmdContents"));
    ASSERT_TRUE(back && forward && contents);
    EXPECT_FALSE(back->isEnabled());
    contents->click();
    EXPECT_EQ(window->currentTopic(), QStringLiteral("index.html"));
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(window->currentTopic(), QStringLiteral("layers.html"));
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(window->currentTopic(), QStringLiteral("index.html"));
}

TEST_F(HelpFixture, MissingTopicIsExplainedInTheWindow)
{
    QTemporaryDir folder;
    QFile index(folder.filePath(QStringLiteral("index.html")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("<html><body><h1>Contents</h1></body></html>");
    index.close();

    HelpWindow window(folder.path(), QStringLiteral("proc1"));
    window.showTopic(HelpTopic::Options);
    auto *browser = window.findChild<QTextBrowser *>(QStringLiteral("txtHelp"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(window.currentTopic().isEmpty());
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("options.html")));
    EXPECT_TRUE(browser->toHtml().contains(QStringLiteral("index.html")));
    window.showContents();
    EXPECT_EQ(window.currentTopic(), QStringLiteral("index.html"));
}

TEST(HelpTopicsShipped, EveryLinkLeadsToATopic)
{
    // Topics other windows' authors ship alongside these.
    const QStringList writtenElsewhere = { QStringLiteral("units.html"), QStringLiteral("transport-data.html") };
    const QDir folder(QStringLiteral(QEL_SOURCE_DIR "/docs/help"));
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#:]+)(?:#[^\"]*)?\""));
    for (const QFileInfo &file : folder.entryInfoList({ QStringLiteral("*.html") }, QDir::Files)) {
        QFile html(file.filePath());
        ASSERT_TRUE(html.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(html.readAll());
        EXPECT_TRUE(text.contains(QStringLiteral("<title>"))) << file.fileName().toStdString();
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (writtenElsewhere.contains(target))
                continue;
            EXPECT_TRUE(folder.exists(target)) << file.fileName().toStdString() << " -> " << target.toStdString();
        }
    }
    // Also that the folder was found at all: without these the loop above checks nothing.
    for (int context : { HelpTopic::Contents, HelpTopic::Outline, HelpTopic::Layers, HelpTopic::MessageWindow,
             HelpTopic::OutputViewer, HelpTopic::SummaryDocument, HelpTopic::About, HelpTopic::Options })
        EXPECT_TRUE(folder.exists(helpTopicFile(context))) << context;
}

TEST_F(OutputFixture, LoadsTextFiles)
{
    const struct {
        const char *name;
        QByteArray bytes;
        const char *shown;
        const char *extension;
    } cases[] = {
        { "regress.out", "Date\tR2\r\n1\t0.98\r\n", "Date\tR2\n1\t0.98\n", "OUT" },
        { "unix.txt", "a\nb", "a\nb", "TXT" }, { "latin.dat", "12 \xb0 C", "12 \u00b0 C", "DAT" },
        { "utf8.out", "12 \xc2\xb0 C", "12 \u00b0 C", "OUT" }, { "empty.out", "", "", "OUT" },
        { "summary.Rtf", "{\\rtf1 Hello {\\b bold} \\'e9}", "Hello bold \u00e9", "RTF" },
        { "plain.out", "{\\rtf1 x}", "{\\rtf1 x}", "OUT" }, // markup in an .out file is shown as it stands
    };
    for (const auto &c : cases) {
        const QString path = t.writeFile(QString::fromLatin1(c.name), c.bytes);
        ASSERT_TRUE(viewer->loadFile(path)) << c.name;
        EXPECT_EQ(viewer->text(), QString::fromUtf8(c.shown)) << c.name;
        EXPECT_EQ(viewer->fileName(), QString::fromLatin1(c.name));
        EXPECT_EQ(viewer->fileExtension(), QString::fromLatin1(c.extension));
        EXPECT_EQ(t.frontend.messageLines.last(), QStringLiteral("Opened file: ") + path);
    }
    EXPECT_TRUE(t.frontend.boxes.empty());
}

TEST_F(OutputFixture, UnreadableFileIsReportedAndTheTextStays)
{
    viewer->loadFile(t.writeFile(QStringLiteral("first.out"), "kept"));
    EXPECT_FALSE(viewer->loadFile(t.home() + QStringLiteral("missing.out")));
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(
        QStringLiteral("QEL(Output:Form_FileOpen): 53: \nFile not found")));
    EXPECT_FALSE(viewer->loadFile(t.home())); // a folder is no file either
    EXPECT_EQ(viewer->text(), QStringLiteral("kept"));
    EXPECT_EQ(viewer->fileName(), QStringLiteral("first.out"));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (first.out)"));
}

TEST_F(OutputFixture, OpenDialogAndCancel)
{
    t.frontend.queueCancelledFile();
    viewer->fileOpen();
    EXPECT_TRUE(t.session->UserCancelled);
    ASSERT_EQ(t.frontend.fileRequests.size(), 1u);
    EXPECT_EQ(t.frontend.fileRequests[0].initialDir, t.session->model.ProjectDir);
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (unsaved)"));
    EXPECT_TRUE(t.frontend.messageLines.isEmpty());

    const QString path = t.writeFile(QStringLiteral("final.out"), "plane\r\n");
    t.frontend.queueFile(path);
    viewer->fileOpen();
    EXPECT_FALSE(t.session->UserCancelled);
    EXPECT_EQ(viewer->filePath(), path);
}

TEST_F(OutputFixture, SaveAsKeepsLineEndsAndRenamesTheCaption)
{
    // An unsaved viewer takes the saved name too.
    t.frontend.queueFile(t.home() + QStringLiteral("new.out"));
    viewer->fileSaveAs();
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (new.out)"));
    EXPECT_TRUE(QFile::exists(t.home() + QStringLiteral("new.out")));

    viewer->loadFile(t.writeFile(QStringLiteral("results.out"), "a\tb\r\nc\r\n"));
    const QString target = t.home() + QStringLiteral("copy.out");
    t.frontend.queueFile(target);
    viewer->fileSaveAs();
    EXPECT_EQ(readBytes(target), QByteArray("a\tb\r\nc\r\n"));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (copy.out)"));
    EXPECT_EQ(t.frontend.messageLines.last(), QStringLiteral("Saved output file: ") + target);

    // A Unix file stays a Unix file.
    viewer->loadFile(t.writeFile(QStringLiteral("unix.out"), "x\ny\n"));
    t.frontend.queueFile(target);
    viewer->fileSaveAs();
    EXPECT_EQ(readBytes(target), QByteArray("x\ny\n"));

    t.frontend.queueFile(t.home() + QStringLiteral("no/such/folder/out.out"));
    viewer->fileSaveAs();
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(Output:Form_FileSaveAs): 75")));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (copy.out)"));
}

TEST_F(OutputFixture, PrintsToAPdfFile)
{
    QByteArray lines;
    for (int i = 1; i <= 200; ++i)
        lines += "Well MW-" + QByteArray::number(i) + "\t12.5\t0.003\r\n";
    viewer->loadFile(t.writeFile(QStringLiteral("long.out"), lines));
    const QString pdf = t.home() + QStringLiteral("printed.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(viewer->printTo(&printer));
    const QByteArray bytes = readBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GE(bytes.count("/Type /Page\n"), 3) << "200 lines fill more than two pages";
    EXPECT_EQ(t.frontend.panelStatus, QStringLiteral("Document printed."));
}

#include "core/help_topics.h"
#include "gui/help/help_window.h"
#include "gui/text/about_box.h"
#include "gui/text/output_viewer.h"
#include "support/test_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::gui;
using namespace qel::test;

namespace {

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

TEST(AboutBox, SystemInfoWithoutAToolSaysSo)
{
    TestSession t;
    QTemporaryDir nothing;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", nothing.path().toLocal8Bit());
    EXPECT_TRUE(findSystemInfoTool().program.isEmpty());
    AboutBox box(*t.session);
    box.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    qputenv("PATH", path);
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST(HelpWindow, MissingTopicIsExplainedInTheWindow)
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

TEST_F(OutputFixture, LoadsTextFiles)
{
    const struct {
        const char *name;
        QByteArray bytes;
        const char *shown;
        const char *extension;
    } cases[] = {
        { "regress.out", "Date\tR2\r\n1\t0.98\r\n", "Date\tR2\n1\t0.98\n", "OUT" },
        { "latin.dat", "12 \xb0 C", "12 \u00b0 C", "DAT" }, { "utf8.out", "12 \xc2\xb0 C", "12 \u00b0 C", "OUT" },
        { "empty.out", "", "", "OUT" },
        { "summary.Rtf", "{\\rtf1 Hello {\\b bold} \\'e9}", "Hello bold \u00e9", "RTF" },
        { "plain.out", "{\\rtf1 x}", "{\\rtf1 x}", "OUT" }, // markup in an .out file is shown as it stands
    };
    for (const auto &c : cases) {
        const QString path = t.writeFile(QString::fromLatin1(c.name), c.bytes);
        ASSERT_TRUE(viewer->loadFile(path)) << c.name;
        EXPECT_EQ(viewer->text(), QString::fromUtf8(c.shown)) << c.name;
        EXPECT_EQ(viewer->fileName(), QString::fromLatin1(c.name));
        EXPECT_EQ(viewer->fileExtension(), QString::fromLatin1(c.extension));
    }
    EXPECT_TRUE(t.frontend.boxes.empty());
}

TEST_F(OutputFixture, UnreadableFileIsReportedAndTheTextStays)
{
    t.frontend.expectErrors = true;
    viewer->loadFile(t.writeFile(QStringLiteral("first.out"), "kept"));
    EXPECT_FALSE(viewer->loadFile(t.home() + QStringLiteral("missing.out")));
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(
        QStringLiteral("QEL(Output:Form_FileOpen): 53: \nFile not found")));
    EXPECT_EQ(viewer->text(), QStringLiteral("kept"));
    EXPECT_EQ(viewer->fileName(), QStringLiteral("first.out"));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (first.out)"));
}

TEST_F(OutputFixture, SaveAsKeepsLineEndsAndRenamesTheCaption)
{
    viewer->loadFile(t.writeFile(QStringLiteral("results.out"), "a\tb\r\nc\r\n"));
    const QString target = t.home() + QStringLiteral("copy.out");
    t.frontend.queueFile(target);
    viewer->fileSaveAs();
    EXPECT_EQ(readBytes(target), QByteArray("a\tb\r\nc\r\n"));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (copy.out)"));

    // A Unix file stays a Unix file.
    viewer->loadFile(t.writeFile(QStringLiteral("unix.out"), "x\ny\n"));
    t.frontend.queueFile(target);
    t.frontend.answers.push_back(MsgAnswer::Yes); // to replacing copy.out
    viewer->fileSaveAs();
    EXPECT_EQ(readBytes(target), QByteArray("x\ny\n"));

    t.frontend.queueFile(t.home() + QStringLiteral("no/such/folder/out.out"));
    t.frontend.expectErrors = true;
    viewer->fileSaveAs();
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(Output:Form_FileSaveAs): 75")));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (copy.out)"));
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

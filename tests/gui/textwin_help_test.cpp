#include "core/help_topics.h"
#include "gui/help/help_window.h"
#include "support/test_session.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace qel;
using namespace qel::gui;
using namespace qel::test;

namespace {

struct HelpFixture : ::testing::Test {
    TestSession t;
    std::unique_ptr<QWidget> mainWindow = std::make_unique<QWidget>();
};

QString helpSourceFolder()
{
    return QStringLiteral(QEL_SOURCE_DIR "/docs/help");
}

} // namespace

TEST_F(HelpFixture, TopicsOpenInTheirWindowAndWindowsAreReused)
{
    const struct {
        int context;
        const char *window;
        const char *file;
    } cases[] = {
        { HelpTopic::Contents, "main", "index.html" }, { HelpTopic::Outline, "main", "outline.html" },
        { HelpTopic::OutputViewer, "main", "output-viewer.html" }, { HelpTopic::Options, "proc1", "options.html" },
        { 987654, "proc1", "index.html" }, // unknown: the contents
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
    const QDir folder(helpSourceFolder());
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

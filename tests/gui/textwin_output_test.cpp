#include "gui/text/output_viewer.h"
#include "support/test_session.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>
#include <QTextEdit>

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
        EXPECT_EQ(viewer->windowTitle(), QStringLiteral("QEL Output File (%1)").arg(QString::fromLatin1(c.name)));
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
    EXPECT_EQ(t.frontend.fileRequests[0].filter, QStringLiteral("Output Files (*.out)|*.out|All Files (*.*)|*.*"));
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

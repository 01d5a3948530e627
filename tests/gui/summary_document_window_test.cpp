#include "core/project_summary.h"
#include "gui/document/document_window.h"
#include "support/test_session.h"

#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace qel;
using qel::gui::DocumentWindow;

namespace {

struct SummaryWindow {
    SummaryWindow()
    {
        t.session->model.ProjectFile = QStringLiteral("C:\\Sites\\A.prj");
        window = std::make_unique<DocumentWindow>(*t.session);
        window->showProjectData();
    }

    QTextEdit *text() const { return window->textField(); }

    // Selects the first occurrence of a text in the field.
    void select(const QString &what) const
    {
        const QTextCursor found = text()->document()->find(what);
        ASSERT_FALSE(found.isNull()) << what.toStdString();
        text()->setTextCursor(found);
    }

    test::TestSession t;
    std::unique_ptr<DocumentWindow> window;
};

} // namespace

TEST(SummaryWindow, OpensRtfAsRichTextAndOtherFilesAsPlainText)
{
    SummaryWindow w;
    w.t.frontend.expectErrors = true;
    const QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\qr{\\b bold} text\\par}";
    const struct {
        const char *name;
        const char *shown;
        bool bold;
    } cases[] = {
        { "letter.RTF", "bold text", true },
        { "letter.txt", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\qr{\\b bold} text\\par}", false },
    };
    for (const auto &c : cases) {
        const QString path = w.t.writeFile(QLatin1String(c.name), rtf);
        w.t.frontend.queueFile(path);
        w.window->fileOpen();
        EXPECT_EQ(w.text()->toPlainText(), QLatin1String(c.shown)) << c.name;
        const QTextBlock first = w.text()->document()->begin();
        EXPECT_EQ(first.begin().fragment().charFormat().fontWeight() >= QFont::Bold, c.bold) << c.name;
    }

    w.t.frontend.queueFile(w.t.home() + QStringLiteral("gone.rtf"));
    w.window->fileOpen();
    ASSERT_EQ(w.t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(w.t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(Doc:Form_FileOpen): 53:")));
}

TEST(SummaryWindow, FormattingButtonsFollowTheSelection)
{
    SummaryWindow w;
    struct Buttons {
        bool bold = false, italic = false, underline = false;
        Qt::Alignment alignment = Qt::AlignLeft;
        bool operator==(const Buttons &) const = default;
    };
    std::vector<Buttons> spy;
    QObject::connect(w.window.get(), &DocumentWindow::formatChanged, [&](bool b, bool i, bool u, Qt::Alignment a) {
        spy.push_back({ b, i, u, a });
    });
    const auto last = [&] { return spy.empty() ? Buttons { .alignment = {} } : spy.back(); };

    w.select(QStringLiteral("QEL PROJECT SUMMARY"));
    EXPECT_TRUE(last() == (Buttons { .bold = true, .alignment = Qt::AlignHCenter }));
    w.select(QStringLiteral("Data file"));
    EXPECT_TRUE(last() == Buttons {});

    w.window->setBold(true);
    w.window->setItalic(true);
    w.window->setUnderline(true);
    w.window->setAlignment(Qt::AlignRight);
    w.select(QStringLiteral("Data file"));
    EXPECT_TRUE(last() == (Buttons { true, true, true, Qt::AlignRight }));

    // The formats reach the saved file.
    const QString path = w.t.home() + QStringLiteral("f.rtf");
    w.t.frontend.queueFile(path);
    w.window->fileSaveAs();
    EXPECT_TRUE(test::readBytes(path).contains("\\pard\\qr\\tx360\\tx720\\tx3240\\plain\\f3\\fs18 \\tab \\tab "
                                               "\\plain\\f3\\fs18\\b\\i\\ul Data file"));
}

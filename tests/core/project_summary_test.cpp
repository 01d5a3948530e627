#include "core/errors.h"
#include "core/project_summary.h"
#include "support/test_session.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace qel;

namespace {

const QDate PrintDate(2026, 12, 5);

QString golden(const char *name)
{
    return QString::fromLatin1(test::readBytes(QStringLiteral(QEL_TEST_DATA "/summary/") + QLatin1String(name)));
}

QStringList paragraphTexts(const QString &rtf)
{
    QStringList texts;
    for (const RtfParagraph &paragraph : readRtfText(rtf))
        texts << paragraph.text();
    return texts;
}

} // namespace

TEST(ProjectSummary, GoldenDocuments)
{
    const struct {
        const char *projectFile;
        const char *golden;
    } cases[] = {
        { "C:\\Sites\\A.prj", "with-file.rtf" },
        { "", "without-file.rtf" },
    };
    for (const auto &c : cases) {
        test::TestSession t;
        t.session->model.ProjectFile = QString::fromLatin1(c.projectFile);
        EXPECT_EQ(composeProjectSummaryRtf(*t.session, PrintDate).toStdString(), golden(c.golden).toStdString())
            << c.golden;
    }
}

// The line forms are the golden documents'; a document without its closing part is refused.
TEST(ProjectSummary, OutputLineNeedsTheClosingPart)
{
    QString broken = QStringLiteral("{\\rtf1 text}");
    EXPECT_THROW(OutputLine(broken, QStringLiteral("Label"), {}, false), QelError);
}

// Odd characters in the file name stay text, and the date is English whatever the locale.
TEST(ProjectSummary, FileNameAndDateLines)
{
    const struct {
        QString projectFile;
        QLocale locale;
        QDate date;
        int line;
        QString text;
    } cases[] = {
        { QStringLiteral("C:\\Sites {old}\\Caf\u00c9 \u0416.prj"), QLocale::c(), PrintDate, 4,
            QStringLiteral("\t\tData file\tc:\\sites {old}\\caf\u00e9 \u0436.prj") },
        { "", QLocale(QLocale::German, QLocale::Germany), QDate(2026, 3, 9), 5, "\t\tDate printed\t09-Mar-2026" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QLocale saved;
        QLocale::setDefault(c.locale);
        test::TestSession t;
        t.session->model.ProjectFile = c.projectFile;
        const QStringList texts = paragraphTexts(composeProjectSummaryRtf(*t.session, c.date));
        QLocale::setDefault(saved);
        EXPECT_EQ(texts.size(), 8);
        EXPECT_EQ(texts.value(c.line), c.text);
    }
}

TEST(ProjectSummary, TheDocumentIsDeafWhileItIsFilled)
{
    test::TestSession t;
    t.frontend.expectErrors = true;
    bool readyDuringFill = true;
    EXPECT_TRUE(ShowProjectData(
        *t.session, [&](const QString &) { readyDuringFill = t.session->DocReady; }, PrintDate));
    EXPECT_FALSE(readyDuringFill);
    EXPECT_TRUE(t.session->DocReady);

    // A failure is reported under the procedure's tag and does not leave the document deaf.
    EXPECT_FALSE(ShowProjectData(*t.session, [](const QString &) { raise(ErrPathFileAccess, QStringLiteral("x")); }));
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(ShowProjectData): 75: \n")));
    EXPECT_TRUE(t.session->DocReady);
}

// The written file is the example replay's --summary, compared with its golden file.
TEST(ProjectSummary, AnUnwritableSummaryFileIsReported)
{
    test::TestSession t;
    t.frontend.expectErrors = true;
    EXPECT_FALSE(writeProjectSummaryFile(*t.session, t.home() + QStringLiteral("missing/dir/summary.rtf")));
    ASSERT_EQ(t.frontend.boxTexts(MsgIcon::Error).size(), 1);
    EXPECT_TRUE(t.frontend.boxTexts(MsgIcon::Error)[0].startsWith(QStringLiteral("QEL(ShowProjectData): 75:")));
}

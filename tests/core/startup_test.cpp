#include "core/number_text.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "support/test_session.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>

using namespace qel;
using namespace qel::test;

TEST(Startup, SettingsFileValues)
{
    const struct {
        const char *name;
        std::optional<QByteArray> ini; // nullopt: the first start, with no QEL.ini
        bool multiple;
        double round;
        const char *error; // the start of the report, "" for none
    } cases[] = {
        { "no settings file", std::nullopt, true, 0.01, "QEL(ReadINIFile): 53: \nFile not found\n\n" },
        { "all keys", "[QEL]\r\nNotepadPath=\r\nEditorPath=\r\nMultipleProjects=False\r\nRoundXY= 0.5 \r\n", false, 0.5,
            "" },
        { "lower-case true means false", "MultipleProjects=true\r\n", false, 0.01, "" },
        { "empty file", "", true, 0.01, "QEL(ReadINIFile): 62: \n" },
        { "RoundXY not a number keeps earlier keys", "MultipleProjects=False\r\nRoundXY=abc\r\n", false, 0.01,
            "QEL(ReadINIFile): 13: \n" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t(false);
        t.frontend.expectErrors = true;
        if (c.ini)
            t.writeFile(QStringLiteral("QEL.ini"), *c.ini);
        startUp(*t.session);
        EXPECT_EQ(t.session->app.MultipleProjects, c.multiple);
        EXPECT_EQ(t.session->model.RoundXY, c.round);
        const QString error = QString::fromLatin1(c.error);
        ASSERT_EQ(t.frontend.boxes.size(), error.isEmpty() ? 0u : 1u);
        if (!error.isEmpty()) {
            EXPECT_TRUE(t.frontend.boxes[0].text.startsWith(error)) << t.frontend.boxes[0].text.toStdString();
            EXPECT_EQ(t.frontend.messageLines, QStringList { "Error in reading QEL.ini file!" });
        }
    }
}

TEST(Startup, EditorPathsOnlyWhenTheFileExistsAndTheFileWrittenBack)
{
    TestSession t(false);
    t.frontend.expectErrors = true;
    startUp(*t.session); // no QEL.ini: the first start writes one with the defaults at once
    const QByteArray defaults = "[QEL]\r\nNotepadPath=\r\nEditorPath=\r\nMultipleProjects=True\r\nRoundXY= 0.01 \r\n";
    EXPECT_EQ(readBytes(t.home() + "QEL.ini"), defaults) << "a session killed now shows no error at the next start";

    const QString viewer = t.writeFile("bin/viewer", "#!/bin/sh\n");
    t.writeFile("QEL.ini", ("NotepadPath=" + viewer + "\r\nEditorPath=/no/such/editor\r\n").toUtf8());
    Session s(t.frontend, t.dir.path());
    startUp(s);
    EXPECT_EQ(s.app.NotepadPath, viewer);
    EXPECT_EQ(s.app.EditorPath, "");

    // The options reach QEL.ini exactly, each number in the key form.
    s.app.MultipleProjects = false;
    s.model.RoundXY = -0.25;
    WriteINIFile(s);
    EXPECT_EQ(readBytes(t.home() + "QEL.ini"),
        ("[QEL]\r\nNotepadPath=" + viewer + "\r\nEditorPath=\r\nMultipleProjects=False\r\nRoundXY=-0.25 \r\n")
            .toUtf8());
}

TEST(Reporting, ErrorAndWarningReports)
{
    TestSession t;
    t.frontend.expectErrors = true;
    Session &s = *t.session;
    t.frontend.busy = true;
    EXPECT_FALSE(guarded(s, "UI:mnuFileSave_Click", [] { qel::raise(ErrPathFileAccess); }));
    EXPECT_FALSE(t.frontend.busy);
    EXPECT_EQ(s.ErrorText, "QEL(UI:mnuFileSave_Click): 75: \nPath/File access error");
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].text,
        "QEL(UI:mnuFileSave_Click): 75: \nPath/File access error\n\nTo view a error log file or email it for "
        "techsupport, \nselect 'Session Log File' under 'View' menu.\n\nFor expediting technical support, please "
        "email us the QEL.LOG file and the project data file.");
    EXPECT_EQ(s.errorsReported, 1);

    s.ErrorText = "Careful";
    ReportWarning(s);
    EXPECT_EQ(t.frontend.boxes[1].title, "Warning");
    EXPECT_EQ(t.frontend.boxes[1].icon, MsgIcon::Warning);
    EXPECT_TRUE(t.readLog().endsWith("QEL(UI:mnuFileSave_Click): 75: \nPath/File access error\r\nCareful\r\n"));

    EXPECT_EQ(FormatToString(s, -1), "");
    EXPECT_EQ(s.ErrorText, "UTIL:FormatToString: 5: \nInvalid procedure call or argument");
}

TEST(Startup, LogHeaderPerSessionNothingLost)
{
    TestSession t(false);
    t.writeFile("QEL.LOG", "earlier line\r\n");
    t.writeFile("QEL.ini", "[QEL]\r\n");
    startUp(*t.session);
    Session second(t.frontend, t.dir.path());
    startUp(second);

    const QStringList lines = t.readLog().split("\r\n");
    const QString sep(52, u'=');
    ASSERT_GE(lines.size(), 14);
    EXPECT_EQ(lines[0], "earlier line");
    for (int start : { 1, 7 }) {
        EXPECT_EQ(lines[start], sep);
        EXPECT_EQ(lines[start + 1], "QEL Version 1.2.1035 Build 20040225");
        EXPECT_TRUE(lines[start + 2].startsWith("Session log created on "));
        EXPECT_TRUE(lines[start + 3].contains(QRegularExpression("^Windows Version: .+ Version: \\d+\\.\\d\\d$")))
            << lines[start + 3].toStdString();
        EXPECT_EQ(lines[start + 4], "Please email this file while requesting tech support.");
        EXPECT_EQ(lines[start + 5], sep);
    }
}

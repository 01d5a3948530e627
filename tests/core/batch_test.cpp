#include "core/batch_run.h"
#include "support/qel_process.h"
#include "support/test_session.h"

#include <QFile>

#include <optional>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(BatchCommandLine, Parsing)
{
    const struct {
        QStringList words;
        bool batch;
        const char *error; // "" when the words are fine
    } cases[] = {
        { {}, false, "" },
        { { "--batch", "a.prj", "--save-as", "b.prj" }, true, "" },
        { { "--batch" }, true, "--batch needs a project file" },
        { { "--batch", "a.prj", "--save-as" }, true, "--save-as needs a file name" },
        { { "--batch", "a.prj", "--save-as", "b", "--save-as", "c" }, true, "--save-as given twice" },
        { { "--batch", "a.prj", "b.prj" }, true, "more than one project given: b.prj" },
        { { "--batch", "a.prj", "--frobnicate" }, true, "unknown option --frobnicate" },
        { { "a.prj", "--save-as", "b.prj" }, false, "--save-as needs --batch" },
        // An output whose subsystem did not register it (as in this test program) is refused.
        { { "--batch", "a.prj", "--export-gis", "dir" }, true, "--export-gis is not available in this version" },
        // --overwrite is about the files of --export-gis, and only that.
        { { "a.prj", "--overwrite" }, false, "--overwrite needs --batch" },
        { { "--batch", "a.prj", "--save-as", "b.prj", "--overwrite" }, true,
            "--overwrite needs --export-gis, --exact-plume or --uncertainty" },
        { { "--batch", "a.prj", "--overwrite", "--overwrite" }, true, "--overwrite given twice" },
    };
    for (const auto &c : cases) {
        const CommandLine line = parseCommandLine(c.words);
        SCOPED_TRACE(c.words.join(' ').toStdString());
        EXPECT_EQ(line.usageError.toStdString(), c.error);
        if (line.usageError.isEmpty()) {
            EXPECT_EQ(line.batch, c.batch);
            EXPECT_EQ(line.options.has_value(), c.batch);
        }
    }
    EXPECT_EQ(parseCommandLine({ "site.prj" }).projectToOpen, "site.prj");
}

TEST(BatchProcess, UsageErrorsExitTwo)
{
    TestSession t(false);
    const QelRun run = runQel(t.home(), { "--batch", "a.prj", "--nope" });
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains("usage: qel")) << run.err.toStdString();
}

// The run reports why the project did not open, writes nothing and exits 1. The other reasons a project does not open
// run through MalformedInput.
TEST(BatchProcess, AProjectThatDidNotOpenWritesNothing)
{
    const QByteArray good = readBytes(ExampleDir + "alpha-site.prj");
    ASSERT_FALSE(good.isEmpty());
    const struct {
        const char *name;
        std::optional<QByteArray> bytes; // nullopt: the file does not exist
        const char *report;
    } cases[] = {
        { "not a project", QByteArray("just some notes\r\n"), "Not an QEL Project File!" },
        { "cut short, its base map not beside it", good.left(good.size() / 2), "Basemap file does not exist!" },
        { "missing", std::nullopt, "QEL(ReadProjectFile): Error (53)" },
        // Refused by its size before it is read: a project file never comes near a mebibyte.
        { "a large file picked under All Files", good + QByteArray(2 << 20, 'x'),
            "QEL(ReadProjectFile): Error (5). Source: ReadProjectFile. The file holds 2099321 bytes, more than any "
            "project file can (1048576)" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestSession t(false);
        const QString site = t.writeFile("site.prj", good);
        const QString input = c.bytes ? t.writeFile("input.prj", *c.bytes) : t.home() + "input.prj";
        const QString summary = t.home() + "summary.rtf";

        const QelRun run = runQel(t.home(), { "--batch", input, "--save-as", site, "--summary", summary });

        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(readBytes(site), good) << "the existing project is untouched";
        EXPECT_FALSE(QFile::exists(summary));
        EXPECT_TRUE(run.err.contains(c.report)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("qel: wrote nothing: the project " + input + " did not open"))
            << run.err.toStdString();
        EXPECT_FALSE(run.out.contains("Opened project file")) << run.out.toStdString();
        EXPECT_TRUE(t.readLog().endsWith("QEL session unloaded.\r\nQEL session terminated.\r\n"));
    }
}

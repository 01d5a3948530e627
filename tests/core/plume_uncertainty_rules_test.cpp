#include "core/batch_run.h"
#include "core/plume_uncertainty_rules.h"
#include "support/test_session.h"
#include "views/plume_uncertainty_export.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

TEST(PlumeUncertaintyRules, BoxTextsAreReadOrRefusedWithTheirWarning)
{
    const QString runs = "The number of runs must be a whole number from 1 to 10000!";
    const QString seed = "The seed must be a whole number from 0 to 18446744073709551615!";
    const QString threshold = "The threshold concentration must be a number > 0!";
    const struct {
        const char *runs, *seed, *threshold;
        QString warning; // empty: accepted
    } cases[] = {
        { "500", "1", "1", {} }, { " 1 ", "0", "1E-3", {} }, { "10000", "18446744073709551615", "0.5", {} },
        { "0", "1", "1", runs }, { "10001", "1", "1", runs }, { "2.5", "1", "1", runs }, { "", "1", "1", runs },
        { "1,000", "1", "1", runs }, { "5", "-1", "1", seed }, { "5", "18446744073709551616", "1", seed },
        { "5", "x", "1", seed }, { "5", "1", "0", threshold }, { "5", "1", "-2", threshold },
        { "5", "1", "1,5", threshold }, { "5", "1", "", threshold },
        { "0", "x", "0", runs }, // the first refused box speaks
    };
    TestSession t;
    Session &s = *t.session;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.runs) + " / " + c.seed + " / " + c.threshold);
        t.frontend.boxes.clear();
        const std::optional<PlumeUncertaintySettings> read
            = readPlumeUncertaintySettings(s, c.runs, c.seed, c.threshold);
        EXPECT_EQ(read.has_value(), c.warning.isEmpty());
        EXPECT_EQ(
            t.frontend.boxTexts(MsgIcon::Warning), c.warning.isEmpty() ? QStringList {} : QStringList { c.warning });
    }
    const std::optional<PlumeUncertaintySettings> read = readPlumeUncertaintySettings(s, "750", "42", "2.5");
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tuple(read->runs, read->seed, read->threshold), std::tuple(750, std::uint64_t(42), 2.5));
}

TEST(PlumeUncertaintyRules, DefaultsComeFromTheContourViews)
{
    ProjectModel m;
    m.C0 = 250, m.PCGridSpacing = 2.5;
    EXPECT_EQ(defaultUncertaintyThreshold(m).value, 2.5) << "1 % of C0 without plume levels";
    EXPECT_EQ(detectionWellSpacing(m).value, 25) << "ten grid spacings without distance levels";
    m.PC.NumLevels = 2, m.PC.CMin(1) = 5, m.PC.CMin(2) = 50;
    m.MD.NumLevels = 3, m.MD.CMin(1) = 0, m.MD.CMax(1) = 40;
    EXPECT_EQ(defaultUncertaintyThreshold(m).value, 5);
    EXPECT_EQ(detectionWellSpacing(m).value, 40);
    m.PC.CMin(1) = 0; // a level from 0 would count every node as seeing the plume
    EXPECT_EQ(defaultUncertaintyThreshold(m).value, 2.5);
}

TEST(PlumeUncertaintyRules, BatchOptionsAreParsed)
{
    registerPlumeUncertaintyBatchOutput();
    const struct {
        QStringList words;
        const char *error;
    } cases[] = {
        { { "--batch", "a.prj", "--uncertainty", "out" }, "" },
        { { "--batch", "a.prj", "--uncertainty", "out", "--runs", "50", "--seed", "7", "--threshold", "0.5",
              "--overwrite" },
            "" },
        { { "--batch", "a.prj", "--runs", "50" }, "--runs needs --uncertainty" },
        { { "--batch", "a.prj", "--uncertainty", "out", "--runs" }, "--runs needs a value" },
        { { "--batch", "a.prj", "--uncertainty", "out", "--runs", "0" },
            "--runs: The number of runs must be a whole number from 1 to 10000!" },
        { { "--batch", "a.prj", "--uncertainty", "out", "--seed", "1", "--seed", "2" }, "--seed given twice" },
        { { "--batch", "a.prj", "--uncertainty", "out", "--threshold", "-1" },
            "--threshold: The threshold concentration must be a number > 0!" },
        { { "a.prj", "--seed", "3" }, "--seed needs --batch" },
        { { "--batch", "a.prj", "--uncertainty" }, "--uncertainty needs a file name" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        const CommandLine line = parseCommandLine(c.words);
        EXPECT_EQ(line.usageError.toStdString(), c.error);
    }
    const CommandLine line = parseCommandLine(
        { "--batch", "a.prj", "--uncertainty", "out", "--runs", "50", "--seed", "7", "--threshold", "0.5" });
    ASSERT_TRUE(line.options);
    EXPECT_EQ(line.options->uncertainty, "out");
    EXPECT_EQ(line.options->runs, 50);
    EXPECT_EQ(line.options->seed, std::uint64_t(7));
    EXPECT_EQ(line.options->threshold, 0.5);
    EXPECT_FALSE(parseCommandLine({ "--batch", "a.prj", "--uncertainty", "out" }).options->runs);
}

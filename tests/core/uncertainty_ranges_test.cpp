#include "project_file_test_models.h"

#include "core/project_file.h"
#include "core/uncertainty_ranges.h"

#include <gtest/gtest.h>

#include <set>

using namespace qel;
using namespace qel::test;

namespace {

constexpr int K = 0, Porosity = 1, RetFactor = 2, HalfLife = 3, AlphaX = 4, C0 = 6;

UncertaintyRanges exampleRanges()
{
    UncertaintyRanges r;
    r.ranges[K] = { Distribution::LogUniform, 0.5, 0, 20 };
    r.ranges[Porosity] = { Distribution::Triangular, 0.1, 0.25, 0.35 };
    r.ranges[C0] = { Distribution::Uniform, 100, 0, 1250.5 };
    r.gradientFitted = true;
    return r;
}

const QByteArray ExampleSection = "[Uncertainty]\r\nK=loguniform 0.5 20\r\nPorosity=triangular 0.1 0.25 0.35\r\n"
                                  "C0=uniform 100 1250.5\r\nGradient=fitted\r\n\r\n";

} // namespace

TEST(UncertaintyRanges, ChecksLikeTheValuesThemselves)
{
    const struct {
        int parameter;
        Distribution kind;
        const char *low, *mode, *high;
        const char *problem; // nullptr: accepted
    } cases[] = {
        { K, Distribution::Uniform, "1", "", "5", nullptr },
        { K, Distribution::Uniform, "0", "", "5", "Hydraulic conductivity LOW must not be <= 0!" },
        { K, Distribution::Uniform, "5", "", "5", "Hydraulic conductivity LOW must be < HIGH!" },
        { K, Distribution::Uniform, "6", "", "5", "Hydraulic conductivity LOW must be < HIGH!" },
        { K, Distribution::Uniform, "1", "", "", "Hydraulic conductivity HIGH is missing!" },
        { K, Distribution::Uniform, "1x", "", "5", "Hydraulic conductivity LOW is not a number!" },
        { Porosity, Distribution::Uniform, "0.1", "", "1", nullptr },
        { Porosity, Distribution::Uniform, "0.1", "", "1.2", "Effective porosity HIGH must not be > 1!" },
        { Porosity, Distribution::Triangular, "0.1", "0.1", "0.3", nullptr },
        { Porosity, Distribution::Triangular, "0.1", "0.3", "0.3", nullptr },
        { Porosity, Distribution::Triangular, "0.1", "0.35", "0.3",
            "Effective porosity MODE must lie between LOW and HIGH!" },
        { Porosity, Distribution::Triangular, "0.1", "", "0.3", "Effective porosity MODE is missing!" },
        { RetFactor, Distribution::Uniform, "0.9", "", "2", "Retardation factor LOW must not be < 1!" },
        { RetFactor, Distribution::Uniform, "1", "", "2", nullptr },
        { AlphaX, Distribution::Uniform, "0", "", "10", nullptr },
        { AlphaX, Distribution::LogUniform, "0", "", "10",
            "Longitudinal dispersivity LOW must be > 0 for a log-uniform range!" },
        { AlphaX, Distribution::Triangular, "-1", "2", "10", "Longitudinal dispersivity LOW must not be < 0!" },
        { HalfLife, Distribution::LogUniform, "10", "", "1e4", nullptr },
        { C0, Distribution::Fixed, "", "", "", nullptr },
        { C0, Distribution::Fixed, "junk", "", "", nullptr },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.parameter << " " << c.low << " " << c.mode << " " << c.high);
        const RangeReading reading = readRange(
            c.parameter, c.kind, QString::fromLatin1(c.low), QString::fromLatin1(c.mode), QString::fromLatin1(c.high));
        EXPECT_EQ(reading.problem.value_or(QString()).toStdString(), c.problem ? c.problem : "");
    }
}

// The dialog's path: a refused range is a warning and leaves the stored one; a new one marks the
// project changed, the same one again does not.
TEST(UncertaintyRanges, SettingARange)
{
    TestSession t;
    Session &s = *t.session;
    s.model.ProjectChanged = false;
    EXPECT_TRUE(setUncertaintyRange(s, K, Distribution::Uniform, "1", "", "5"));
    EXPECT_TRUE(s.model.ProjectChanged);
    EXPECT_EQ(s.model.Uncertainty.ranges[K], (ParameterRange { Distribution::Uniform, 1, 0, 5 }));
    s.model.ProjectChanged = false;
    EXPECT_TRUE(setUncertaintyRange(s, K, Distribution::Uniform, "1", "", "5"));
    EXPECT_FALSE(s.model.ProjectChanged);
    EXPECT_FALSE(setUncertaintyRange(s, K, Distribution::Uniform, "5", "", "1"));
    EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Warning), QStringList { "Hydraulic conductivity LOW must be < HIGH!" });
    EXPECT_EQ(s.model.Uncertainty.ranges[K].high, 5);
    EXPECT_FALSE(s.model.ProjectChanged);
    setGradientFitted(s, true);
    EXPECT_TRUE(s.model.ProjectChanged);
    EXPECT_TRUE(setUncertaintyRange(s, K, Distribution::Fixed, "", "", ""));
    EXPECT_FALSE(s.model.Uncertainty.isEmpty()) << "the gradient is still drawn";
}

TEST(UncertaintyRanges, SectionLinesReadBack)
{
    const UncertaintyRanges ranges = exampleRanges();
    const QStringList lines = uncertaintyLines(ranges);
    EXPECT_EQ(lines.join("\r\n") + "\r\n\r\n", QString::fromLatin1(ExampleSection));
    UncertaintyRanges read;
    for (const QString &line : lines.mid(1))
        EXPECT_FALSE(readUncertaintyLine(line, read)) << line.toStdString();
    EXPECT_EQ(read, ranges);
    EXPECT_TRUE(uncertaintyLines(UncertaintyRanges {}).isEmpty()) << "nothing uncertain, no section";
}

TEST(UncertaintyRanges, MalformedLines)
{
    const struct {
        const char *line;
        const char *problem;
    } cases[] = {
        { "K uniform 1 5", "it is not of the form NAME=DISTRIBUTION NUMBERS" },
        { "Time=uniform 1 5", "\"Time\" is not an uncertain parameter" },
        { "K=normal 1 5", "the distribution must be uniform, loguniform or triangular" },
        { "K=uniform 1", "a uniform range needs 2 numbers" },
        { "K=triangular 1 2 3 4", "a triangular range needs 3 numbers" },
        { "K=uniform 5 1", "Hydraulic conductivity LOW must be < HIGH!" },
        { "K=loguniform -1 1", "Hydraulic conductivity LOW must not be <= 0!" },
        { "Gradient=drawn", "the gradient can only be \"fitted\"" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        UncertaintyRanges ranges;
        EXPECT_EQ(
            readUncertaintyLine(QString::fromLatin1(c.line), ranges).value_or(QString()).toStdString(), c.problem);
        EXPECT_TRUE(ranges.isEmpty()) << "a refused line changes nothing";
    }
    UncertaintyRanges ranges;
    EXPECT_FALSE(readUncertaintyLine("swidth = Uniform  2   8 ", ranges)) << "names and words in any case";
    EXPECT_EQ(ranges.ranges[7], (ParameterRange { Distribution::Uniform, 2, 0, 8 }));
}

// With the section added, anywhere, every other section reads as without it; the section itself
// reads back, and saving gives the same bytes again.
TEST(UncertaintyRanges, ProjectFileSection)
{
    for (const GoldenCase &c : goldenCases()) {
        SCOPED_TRACE(c.file);
        const QByteArray golden = goldenBytes(QLatin1String(c.file));
        TestSession plain;
        ASSERT_TRUE(readProject(plain, placeProject(plain, QStringLiteral("plain.prj"), golden)));
        const QByteArray plainBytes = projectFileBytes(*plain.session);
        EXPECT_EQ(plainBytes, golden) << "a project without the section is written without it";

        const QByteArray atEnd = golden + ExampleSection;
        QByteArray inside = golden;
        inside.insert(inside.indexOf("[Plume Contours]"), ExampleSection);
        for (const QByteArray &bytes : { atEnd, inside }) {
            TestSession t;
            const QString path = placeProject(t, QStringLiteral("u.prj"), bytes);
            ASSERT_TRUE(readProject(t, path));
            EXPECT_TRUE(t.frontend.boxes.empty());
            EXPECT_EQ(t.session->model.Uncertainty, exampleRanges());
            EXPECT_EQ(projectFileBytes(*t.session), atEnd);
            EXPECT_EQ(t.session->model.ProjectChanged, bytes != atEnd);
            t.session->model.Uncertainty = {};
            EXPECT_EQ(projectFileBytes(*t.session), plainBytes) << "every other section read as without it";
        }
    }
}

TEST(UncertaintyRanges, AMalformedLineIsAWarningAndTheProjectOpens)
{
    const QByteArray golden = goldenBytes("vector-map.prj");
    TestSession t;
    const QByteArray bytes = golden + "[Uncertainty]\r\nK=uniform 5 1\r\nC0=uniform 100 1250.5\r\n";
    ASSERT_TRUE(readProject(t, placeProject(t, QStringLiteral("m.prj"), bytes)));
    EXPECT_EQ(t.frontend.boxTexts(MsgIcon::Warning),
        QStringList { "The line \"K=uniform 5 1\" of the [Uncertainty] section was not read: Hydraulic conductivity "
                      "LOW must be < HIGH!" });
    UncertaintyRanges expected;
    expected.ranges[C0] = { Distribution::Uniform, 100, 0, 1250.5 };
    EXPECT_EQ(t.session->model.Uncertainty, expected);
    EXPECT_TRUE(t.session->model.ProjectChanged) << "saving would drop the refused line";
    t.session->model.Uncertainty = {};
    EXPECT_EQ(projectFileBytes(*t.session), golden);
}

TEST(UncertaintyRanges, SamplingStaysInItsBoundsAndRepeatsFromItsSeed)
{
    const UncertaintyRanges ranges = exampleRanges();
    ProjectModel model;
    model.AlphaX = 12.5;
    model.RetFactor = 1.8;
    std::mt19937_64 first(20240601), second(20240601), other(7);
    std::set<double> seen;
    double porositySum = 0;
    constexpr int Sets = 20000;
    for (int i = 0; i < Sets; ++i) {
        const ParameterSet a = sampleParameters(ranges, model, first);
        const ParameterSet b = sampleParameters(ranges, model, second);
        ASSERT_EQ(a.values, b.values) << "the same seed, the same sets";
        EXPECT_EQ(a.values[AlphaX], 12.5) << "a fixed parameter keeps the model's value";
        EXPECT_EQ(a.values[RetFactor], 1.8);
        for (int p : { K, Porosity, C0 }) {
            const ParameterRange &r = ranges.ranges[std::size_t(p)];
            EXPECT_GE(a.values[std::size_t(p)], r.low);
            EXPECT_LT(a.values[std::size_t(p)], r.high);
        }
        porositySum += a.values[Porosity];
        seen.insert(a.values[K]);
    }
    EXPECT_NE(sampleParameters(ranges, model, other).values, sampleParameters(ranges, model, first).values);
    EXPECT_EQ(seen.size(), std::size_t(Sets));
    // The mean of a triangular distribution is (low + mode + high) / 3.
    EXPECT_NEAR(porositySum / Sets, (0.1 + 0.25 + 0.35) / 3, 0.002);
}

TEST(UncertaintyRanges, InverseDistributionFunctions)
{
    const struct {
        ParameterRange range;
        double u, value;
    } cases[] = {
        { { Distribution::Uniform, 2, 0, 6 }, 0, 2 }, { { Distribution::Uniform, 2, 0, 6 }, 0.25, 3 },
        { { Distribution::LogUniform, 1, 0, 100 }, 0.5, 10 },
        { { Distribution::LogUniform, 1, 0, 100 }, 0.25, std::sqrt(10.0) },
        { { Distribution::Triangular, 0, 1, 4 }, 0.25, 1 }, // F(mode) = (mode - low) / (high - low)
        { { Distribution::Triangular, 0, 1, 4 }, 0.0625, 0.5 }, // F(x) = x^2 / 4 below the mode
        { { Distribution::Triangular, 0, 1, 4 }, 1 - 1.0 / 3, 2 }, // 1 - F(x) = (4 - x)^2 / 12 above it
        { { Distribution::Triangular, 0, 0, 4 }, 0.75, 2 }, // mode at LOW
        { { Distribution::Triangular, 0, 4, 4 }, 0.25, 2 }, // mode at HIGH
    };
    for (const auto &c : cases)
        EXPECT_NEAR(rangeQuantile(c.range, c.u), c.value, 1e-12) << c.u;
}

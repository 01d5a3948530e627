#include "core/date_text.h"
#include "support/test_session.h"
#include "views/contour_view.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

struct ViewSite {
    ViewSite()
    {
        ProjectModel &m = t.session->model;
        m.ProjectDir = t.home() + QStringLiteral("site/");
        QDir().mkpath(m.ProjectDir);
        m.NumSamples = 2;
        m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
        m.ConcMin = 0, m.ConcMax = 988.8;
        m.MinDistMin = 0, m.MinDistMax = 150.456;
        m.WOLFMin = 0, m.WOLFMax = 2.5e6;
        m.PCLeft = 0, m.PCTop = 10, m.PCGridSpacing = 10, m.PCNumX = 2, m.PCNumY = 2;
        m.Conc.allocate(2, 2, 3);
        m.RoundXY = 0.1;
    }
    ProjectModel &model() { return t.session->model; }
    TestSession t;
};

std::vector<std::pair<double, double>> bounds(const ContourView &v)
{
    std::vector<std::pair<double, double>> b;
    for (int i = 1; i <= v.NumLevels; ++i)
        b.emplace_back(v.CMin(i), v.CMax(i));
    return b;
}

} // namespace

TEST(ContourView, GenerationLinearAndLogarithmic)
{
    const struct {
        const char *what;
        ContourKind kind;
        double min, max;
        int levels;
        bool log;
        std::vector<std::pair<double, double>> bounds;
    } cases[] = {
        { "linear from 0: the first bound becomes 0.001", ContourKind::Plume, 0, 10, 5, false,
            { { 0.001, 2 }, { 2, 4 }, { 4, 6 }, { 6, 8 }, { 8, 10 } } },
        { "minimum distances keep a lower bound of 0", ContourKind::MinDist, 0, 10, 2, false, { { 0, 5 }, { 5, 10 } } },
        { "log decades from 0.003 to 250", ContourKind::Plume, 0.003, 250, 4, true,
            { { 0.001, std::pow(10, -1.5) }, { std::pow(10, -1.5), 1 }, { 1, std::pow(10, 1.5) },
                { std::pow(10, 1.5), 1000 } } },
    };
    for (const auto &c : cases) {
        ViewSite site;
        ContourViewLogic view(*site.t.session, c.kind);
        ContourView &v = site.model().*(view.info().view);
        v.Min = c.min, v.Max = c.max, v.NumLevels = int16(c.levels), v.UseLog = c.log;
        view.generate();
        ASSERT_TRUE(site.t.session->ErrorText.isEmpty()) << c.what;
        const auto got = bounds(v);
        ASSERT_EQ(got.size(), c.bounds.size()) << c.what;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].first, c.bounds[i].first, 1e-12) << c.what << " level " << i + 1;
            EXPECT_NEAR(got[i].second, c.bounds[i].second, 1e-12) << c.what << " level " << i + 1;
        }
        EXPECT_TRUE(site.model().*(view.info().done)) << c.what;
        EXPECT_EQ(view.rows().size(), c.bounds.size());
    }
}

TEST(ContourView, DefaultColoursOnlyWhereTheUserChoseNone)
{
    ViewSite site;
    ContourViewLogic view(*site.t.session, ContourKind::Plume);
    ContourView &v = site.model().PC;
    v.Min = 1, v.Max = 6, v.NumLevels = 5;
    view.generate();
    EXPECT_EQ((std::vector<int> { v.CColor(1), v.CColor(2), v.CColor(3), v.CColor(4), v.CColor(5) }),
        (std::vector<int> { 5, 4, 3, 2, 1 }));
    view.setLevelColor(1, 9);
    view.generate();
    EXPECT_EQ(v.CColor(1), 9) << "generating again keeps a chosen colour";
    EXPECT_EQ(view.rows()[0].lower, QStringLiteral("1."));
}

TEST(ContourView, FailedGenerationsAreReportedUnderTheView)
{
    const struct {
        ContourKind kind;
        int levels;
        bool log;
        const char *prefix;
    } cases[] = {
        { ContourKind::Plume, 0, false, "QEL(PlumeSpect:cmdGenerate_Click): 11: " },
        { ContourKind::Wolf, 3, true, "QEL(WOLF:cmdGenerate_Click): 5: " },
    };
    for (const auto &c : cases) {
        ViewSite site;
        ContourViewLogic view(*site.t.session, c.kind);
        ContourView &v = site.model().*(view.info().view);
        v.Min = 0, v.Max = 10, v.NumLevels = int16(c.levels), v.UseLog = c.log;
        view.generate();
        EXPECT_TRUE(site.t.session->ErrorText.startsWith(QLatin1String(c.prefix)))
            << site.t.session->ErrorText.toStdString();
        EXPECT_FALSE(site.model().*(view.info().done));
    }
}

TEST(ContourView, BoxesKeepOnlyWhatTheirRulesAllow)
{
    using Box = ContourViewLogic::Box;
    const struct {
        const char *what;
        ContourKind kind;
        Box box;
        const char *typed;
        const char *shown;
        double min, max;
        int levels, width;
    } cases[] = {
        { "seven levels become five", ContourKind::Plume, Box::NumLevelsBox, "7", "5", 0, 988.8, 5, 1 },
        { "a negative count is ignored", ContourKind::Plume, Box::NumLevelsBox, "-1", "-1", 0, 988.8, 5, 1 },
        { "three levels", ContourKind::MinDist, Box::NumLevelsBox, "3", "3", -1, -1, 3, 1 },
        { "width 0 is ignored", ContourKind::Plume, Box::LineWidthBox, "0", "0", 0, 988.8, 5, 1 },
        { "width 6 is ignored", ContourKind::Plume, Box::LineWidthBox, "6", "6", 0, 988.8, 5, 1 },
        { "width 3", ContourKind::Plume, Box::LineWidthBox, "3", "3", 0, 988.8, 5, 3 },
        { "a negative minimum reverts", ContourKind::Plume, Box::MinBox, "-4", "0", 0, 988.8, 5, 1 },
        { "a minimum", ContourKind::Plume, Box::MinBox, "2.5", "2.5", 2.5, 988.8, 5, 1 },
        { "text is left as typed", ContourKind::Plume, Box::MinBox, "abc", "abc", 0, 988.8, 5, 1 },
        { "a WOLF maximum of 0 reverts", ContourKind::Wolf, Box::MaxBox, "0", "2.5E+6", 0, 2.5e6, 5, 1 },
        { "a WOLF minimum is shown again", ContourKind::Wolf, Box::MinBox, "1500.0", "1.5E+3", 1500, 2.5e6, 5, 1 },
    };
    for (const auto &c : cases) {
        ViewSite site;
        ContourViewLogic view(*site.t.session, c.kind);
        ASSERT_TRUE(view.load()) << c.what;
        view.validate(c.box, QLatin1String(c.typed));
        const ContourView &v = site.model().*(view.info().view);
        EXPECT_EQ(view.boxText(c.box), QLatin1String(c.shown)) << c.what;
        if (c.min >= 0) {
            EXPECT_DOUBLE_EQ(v.Min, c.min) << c.what;
            EXPECT_DOUBLE_EQ(v.Max, c.max) << c.what;
        }
        EXPECT_EQ(v.NumLevels, c.levels) << c.what;
        EXPECT_EQ(v.LineWidth, c.width) << c.what;
    }
}

TEST(ContourView, OpeningTakesTheRangeOfItsGrid)
{
    ViewSite site;
    ContourViewLogic plume(*site.t.session, ContourKind::Plume);
    ASSERT_TRUE(plume.load());
    EXPECT_EQ(plume.rangeMaxLabel(), QStringLiteral("Cmax: 988.8"));
    EXPECT_EQ(plume.sampleList(),
        (QStringList { shortDateText(QDate(2024, 3, 15)), shortDateText(QDate(2024, 9, 1)), "Average" }));
    EXPECT_EQ(site.model().PC.NumLevels, 5);

    ContourViewLogic distances(*site.t.session, ContourKind::MinDist);
    ASSERT_TRUE(distances.load());
    EXPECT_EQ(distances.boxText(ContourViewLogic::MinBox), QStringLiteral("0"));
    EXPECT_EQ(distances.rangeMinLabel(), QStringLiteral("DISTmin: 15.05")) << "a tenth of the largest distance";
    EXPECT_DOUBLE_EQ(site.model().MD.Min, 15.0);
    EXPECT_DOUBLE_EQ(site.model().MD.Max, 150.456) << "a new project's 0 would make the levels run downwards";
    distances.generate();
    EXPECT_LT(site.model().MD.CMin(1), site.model().MD.CMax(1));

    site.model().PC.Min = 3;
    ContourViewLogic wolf(*site.t.session, ContourKind::Wolf);
    ASSERT_TRUE(wolf.load());
    EXPECT_DOUBLE_EQ(site.model().WF.Min, 3) << "not below the plume minimum";
    EXPECT_EQ(wolf.rangeMaxLabel(), QStringLiteral("WOLFmax: 2.5E+6"));
}

TEST(ContourView, NoSampleDatesStopsTheOpening)
{
    ViewSite site;
    site.model().NumSamples = 0;
    ContourViewLogic view(*site.t.session, ContourKind::Plume);
    EXPECT_FALSE(view.load());
    ASSERT_EQ(site.t.frontend.boxes.size(), 1u);
    EXPECT_TRUE(site.t.frontend.boxes[0].text.startsWith(QStringLiteral("Error: Number of dates = 0.")));
}

TEST(ContourView, LogScaleNeedsAPositiveRange)
{
    ViewSite site;
    ContourViewLogic view(*site.t.session, ContourKind::Plume);
    ASSERT_TRUE(view.load()); // the minimum box shows 0
    EXPECT_FALSE(view.setUseLog(true));
    ASSERT_EQ(site.t.frontend.boxes.size(), 1u);
    EXPECT_TRUE(
        site.t.frontend.boxes[0].text.startsWith(QStringLiteral("For log scale, min/max values must not be\n")));
    view.validate(ContourViewLogic::MinBox, QStringLiteral("1"));
    EXPECT_TRUE(view.setUseLog(true));
    EXPECT_TRUE(site.model().PC.UseLog);
    view.validate(ContourViewLogic::MinBox, QStringLiteral("0"));
    EXPECT_EQ(site.t.frontend.boxes.back().text,
        QStringLiteral("For log scale, minimum value must not be zero! Please change."));
}

TEST(ContourView, TableEditsAndTheZeroRule)
{
    ViewSite site;
    ContourViewLogic view(*site.t.session, ContourKind::Plume);
    site.model().PC.Min = 1, site.model().PC.Max = 3, site.model().PC.NumLevels = 2;
    view.generate();
    EXPECT_EQ(view.commitCell(1, 1, QStringLiteral("2.5")), QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(site.model().PC.CMax(1), 2.5);
    EXPECT_EQ(view.commitCell(2, 0, QStringLiteral("0")), QStringLiteral("0.001"));
    EXPECT_DOUBLE_EQ(site.model().PC.CMin(2), 0.001);
    ASSERT_EQ(site.t.frontend.boxes.size(), 1u);
    EXPECT_EQ(site.t.frontend.boxes[0].title, QStringLiteral("Zero invalid"));
    view.commitCell(2, 1, QStringLiteral("x"));
    EXPECT_TRUE(site.t.session->ErrorText.startsWith(QStringLiteral("QEL(PlumeSpect:MSFlexGrid1_LeaveCell): 13: ")));
    EXPECT_DOUBLE_EQ(site.model().PC.CMax(2), 3) << "a failed edit stores nothing";
}

TEST(ContourView, DrawingTheAverageAndClosing)
{
    ViewSite site;
    ContourViewLogic view(*site.t.session, ContourKind::Plume);
    ASSERT_TRUE(view.load());
    view.generate();
    view.chooseSample(2);
    view.draw();
    EXPECT_EQ(site.model().PCMapIndex, 3) << "Average is NumSamples + 1";
    EXPECT_EQ(site.t.session->layers.node(LayerKey::Plumes).text, QStringLiteral("Plume (Average)"));
    view.close();
    EXPECT_TRUE(site.t.readLog().contains(QStringLiteral("frmPlumeSpect: [Close]")));
    EXPECT_EQ(site.t.session->outline.node(Step::ViewPlumeContours).state, CheckState::All);
}

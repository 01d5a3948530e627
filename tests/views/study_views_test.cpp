#include "analysis/domenico.h"
#include "analysis/exact_plume.h"
#include "analysis/plume_uncertainty.h"
#include "core/paths.h"
#include "map/map_session.h"
#include "support/gdal_raster.h"
#include "views/contour_bands.h"
#include "views/contour_view.h"
#include "views/exact_plume_export.h"
#include "views/layer_redraw.h"
#include "views/site_session.h"
#include "views/study_view_export.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

constexpr ContourKind StudyKinds[] = { ContourKind::Detection, ContourKind::ExactPlume, ContourKind::ExactDifference };

// A 31 x 17 grid of 2-unit spacing, the source at (0, 0), flow towards +x on three dates, two
// wells down-gradient; the analytical run done and nothing changed since.
struct StudySite : SiteSession {
    StudySite()
    {
        m.NumSamples = 3;
        for (int s = 1; s <= 3; ++s)
            m.Magnitude(s) = 0.008 + 0.001 * s, m.Direction(s) = 86 + 3 * s, m.SampleDate(s) = QDate(2024, s, 1);
        m.K = 1, m.Porosity = 0.25, m.RetFactor = 1.2, m.AlphaX = 2, m.AlphaY = 0.3, m.Time = 2000, m.Swidth = 4;
        m.C0 = 100, m.PCLeft = -10, m.PCTop = 16, m.PCGridSpacing = 2, m.PCNumX = 31, m.PCNumY = 17;
        m.RoundXY = 0.01, m.MapTextSize = 1, m.NumWells = 2;
        m.WellID(1) = QStringLiteral("MW-1"), m.WellX(1) = 10, m.WellY(1) = 0;
        m.WellID(2) = QStringLiteral("MW-2"), m.WellX(2) = 30, m.WellY(2) = 4;
        Domenico(s);
        m.ProjectChanged = false;
    }
    void runStudies()
    {
        ASSERT_TRUE(runPlumeUncertainty(s, { 5, 3, 1 }));
        ASSERT_TRUE(runExactPlume(s));
        m.ProjectChanged = false;
    }
    int count(int drawing, EntityKind kind)
    {
        int n = 0;
        for (const Entity &e : drawingOf(s).drawing(drawing).entities)
            n += e.kind == kind;
        return n;
    }
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(StudyViews, WithoutTheirStudyOnTheGridAsItIsTheyDoNotOpen)
{
    StudySite site;
    site.frontend.expectErrors = true;
    for (const ContourKind kind : StudyKinds) {
        SCOPED_TRACE(int(kind));
        EXPECT_FALSE(ContourViewLogic(site.s, kind).load());
        const QStringList warnings = site.frontend.boxTexts(MsgIcon::Warning);
        ASSERT_FALSE(warnings.isEmpty());
        EXPECT_TRUE(warnings.last().startsWith(studyMissingText(kind))) << warnings.last().toStdString();
    }
    site.runStudies();
    site.m.PCNumX = 30; // the grid changed after the studies ran
    for (const ContourKind kind : StudyKinds)
        EXPECT_EQ(studyGrid(site.s, kind), nullptr) << int(kind);
    site.m.PCNumX = 31;
    site.m.K = 2; // a new analytical run: the studies were of the plume before
    Domenico(site.s);
    for (const ContourKind kind : StudyKinds)
        EXPECT_EQ(studyGrid(site.s, kind), nullptr) << int(kind);
    EXPECT_TRUE(site.frontend.messageLines.last().startsWith("The plume uncertainty study and the exact plume were of "
                                                             "the plume before"));
}

TEST(StudyViews, DrawnAndClearedLikeTheOtherViewsWithoutChangingTheProject)
{
    StudySite site;
    site.runStudies();
    const struct {
        ContourKind kind;
        LayerKey layer;
        const char *rangeMin; // the label's start
        double proposedMin; // below 0: a negative one
    } cases[] = {
        { ContourKind::Detection, LayerKey::Detection, "Pmin: ", 0 },
        { ContourKind::ExactPlume, LayerKey::ExactPlume, "Cmin: ", 0 },
        { ContourKind::ExactDifference, LayerKey::ExactDifference, "Cmin: -", -1 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.kind));
        ContourViewLogic view(site.s, c.kind);
        ASSERT_TRUE(view.load());
        EXPECT_TRUE(view.rangeMinLabel().startsWith(QLatin1String(c.rangeMin))) << view.rangeMinLabel().toStdString();
        const ContourView &v = site.m.*(view.info().view);
        const double proposed = v.Min;
        EXPECT_TRUE(c.proposedMin < 0 ? proposed < 0 : proposed >= 0) << "a difference's range reaches below zero";
        EXPECT_TRUE(c.kind != ContourKind::Detection || (v.Min == 0 && v.Max == 1))
            << "probabilities are proposed from 0 to 1";
        EXPECT_TRUE(view.validate(ContourViewLogic::MinBox, QStringLiteral("-0.5")));
        EXPECT_EQ(v.Min, c.kind == ContourKind::ExactDifference ? -0.5 : proposed)
            << "only a difference takes a negative bound";
        EXPECT_EQ(view.boxText(ContourViewLogic::MinBox) == "-0.5", c.kind == ContourKind::ExactDifference)
            << "the box shows the value kept";
        view.validate(ContourViewLogic::MinBox, QString::number(c.proposedMin < 0 ? -1 : 0.001));
        view.generate();
        view.draw();
        const int drawing = view.info().drawing;
        EXPECT_GT(site.count(drawing, EntityKind::Line), 0) << "bands drawn";
        const LayerNode &node = site.s.layers.node(c.layer);
        EXPECT_TRUE(node.enabled && node.state == CheckState::All);
        EXPECT_TRUE(QFileInfo::exists(layerFilePath(site.s, drawing) + QStringLiteral(".geojson")));
        if (c.kind == ContourKind::Detection) {
            const auto &wells = site.s.part<PlumeUncertaintyStore>().last->detectionWells;
            ASSERT_FALSE(wells.empty());
            EXPECT_EQ(site.count(drawing, EntityKind::Circle), int(wells.size())) << "every place numbered";
        }
        view.clear();
        EXPECT_FALSE(site.s.layers.node(c.layer).enabled);
        view.close();
        EXPECT_FALSE(site.m.ProjectChanged) << "the project file keeps nothing of a study's view";
    }
    ContourViewLogic(site.s, ContourKind::Detection).draw();
    RemoveTempFiles(site.s);
    EXPECT_FALSE(QFileInfo::exists(layerFilePath(site.s, DetectionDrawing) + QStringLiteral(".geojson")))
        << "a study's layer file goes with the others";
}

TEST(StudyViews, SignedBandsNeverDrawZeroAndStartOnNegativeValues)
{
    ContourView levels;
    levels.NumLevels = 2;
    levels.CMin(1) = -2, levels.CMax(1) = 0, levels.CColor(1) = 5;
    levels.CMin(2) = 0, levels.CMax(2) = 2, levels.CColor(2) = 1;
    const struct {
        const char *what;
        std::vector<double> row;
        std::vector<BandRun> runs;
    } cases[] = {
        { "negative values start a run", { -1, -1, 1, 1, 0 }, { { 0, 10, 5 }, { 20, 30, 1 } } },
        { "a zero ends a run and starts none", { 0, 1, 0, 0, -1, 0 }, { { 10, 10, 1 }, { 40, 40, 5 } } },
        { "a row of zeros draws nothing", { 0, 0, 0 }, {} },
    };
    for (const auto &c : cases)
        EXPECT_EQ(rowBandRuns(levels, false, c.row, 0, 10, true), c.runs) << c.what;
}

TEST(StudyViews, GridExportWritesTheGridTheViewShows)
{
    StudySite site;
    site.runStudies();
    for (const ContourKind kind : StudyKinds) {
        SCOPED_TRACE(int(kind));
        // A name chosen without .tif still gets a GeoTIFF of that name.
        const QString chosen = site.m.ProjectDir + QStringLiteral("grid-") + QString::number(int(kind));
        ASSERT_TRUE(writeStudyGrid(site.s, kind, chosen));
        EXPECT_EQ(readRaster(chosen + QStringLiteral(".tif")).values, *studyGrid(site.s, kind));
    }
    site.frontend.queueFile(site.m.ProjectDir);
    detectionListsExportClicked(site.s);
    const auto &study = *site.s.part<PlumeUncertaintyStore>().last;
    EXPECT_EQ(
        readAll(site.m.ProjectDir + QStringLiteral("detection-wells.csv")), detectionWellsCsv(study.detectionWells));
    EXPECT_EQ(readAll(site.m.ProjectDir + QStringLiteral("redundant-wells.csv")), redundantWellsCsv(study.redundancy));
}

TEST(StudyViews, TheExactPlumeStartsFromThePlumeViewsLevels)
{
    StudySite site;
    site.runStudies();
    ContourView &pc = site.m.PC;
    pc.NumLevels = 2, pc.UseLog = true, pc.Legend = true;
    pc.CMin(1) = 1, pc.CMax(1) = 10, pc.CColor(1) = 4;
    pc.CMin(2) = 10, pc.CMax(2) = 100, pc.CColor(2) = 2;
    site.m.PCDone = true;
    ContourViewLogic view(site.s, ContourKind::ExactPlume);
    ASSERT_TRUE(view.load());
    ASSERT_EQ(view.rows().size(), 2u);
    EXPECT_EQ(view.rows()[1].upper, "100.");
    EXPECT_EQ(view.rows()[1].color, 2);
    EXPECT_TRUE(view.useLogShown());
    EXPECT_FALSE(view.legendShown()) << "the plume's legend place is the plume's";
}

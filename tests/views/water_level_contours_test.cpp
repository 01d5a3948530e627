#include "map/layer_file.h"
#include "views/site_session.h"
#include "views/water_level_contours.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// One sample whose water level is 0.02 x + 0.01 y + 9 over plot limits 0..100 by 0..100.
struct ContourFixture : SiteSession {
    ContourFixture()
    {
        m.NumSamples = 2;
        m.Xcoeff(1) = 0.02, m.Ycoeff(1) = 0.01, m.Const(1) = 9, m.Direction(1) = 30;
        m.PLRight = 100, m.PLTop = 100;
        m.MapTextSize = 10;
        m.WLLineWidth = 2;
    }
    Drawing layerFile() const { return readLayerFile(m.ProjectDir + QStringLiteral("Temp/wlcont.geojson")); }
};

QString label(const char *text)
{
    return QString::fromLatin1(text).replace(u'.', QLocale::system().decimalPoint());
}

} // namespace

TEST(WaterLevelContours, LevelsFromTheMinimumBelowTheMaximumAreDrawnLabelledAndCleared)
{
    ContourFixture f;
    f.frontend.expectErrors = true;
    WaterLevelContoursForm form;
    openWaterLevelContours(f.s, form);
    EXPECT_EQ(f.m.WLInt, 1.0) << "a zero interval becomes 1";
    contourBoxChanged(f.s, form, 0, QStringLiteral("10"));
    contourBoxChanged(f.s, form, 1, QStringLiteral("0.5"));
    contourBoxChanged(f.s, form, 2, QStringLiteral("12"));
    f.m.ProjectChanged = false;
    showContourClicked(f.s, form);
    ASSERT_TRUE(f.frontend.boxes.empty()) << f.s.ErrorText.toStdString();
    EXPECT_TRUE(f.m.ProjectChanged) << "the levels on the map are saved with the project";

    const Drawing d = f.layerFile();
    ASSERT_EQ(d.entities.size(), 8u) << "a line and a label for 10, 10.5, 11 and 11.5";
    const char *labels[] = { "10.0", "10.5", "11.0", "11.5" };
    const QPointF ends[][2] = { { { 0, 100 }, { 50, 0 } }, { { 75, 0 }, { 25, 100 } }, { { 100, 0 }, { 50, 100 } },
        { { 100, 50 }, { 75, 100 } } };
    for (std::size_t i = 0; i < 4; ++i) {
        const Entity &line = d.entities[2 * i], &text = d.entities[2 * i + 1];
        EXPECT_EQ(line.points, std::vector<QPointF>({ ends[i][0], ends[i][1] }));
        EXPECT_EQ(text.text, label(labels[i]));
    }
    EXPECT_EQ(f.m.WCMapIndex, 1);

    // The layer caption and the map after Show and Clear are checked through the window.
    clearContoursClicked(f.s, form);
    EXPECT_EQ(f.m.WCMapIndex, 0) << "a project saved now opens without them";

    contourBoxChanged(f.s, form, 3, QStringLiteral("x"));
    EXPECT_TRUE(f.s.ErrorText.startsWith(QStringLiteral("QEL(RegRes:txtWLContInt_Change): 13: \n")));
    EXPECT_EQ(f.m.WLLineWidth, 2);
    f.m.ProjectChanged = false;
    closeWaterLevelContours(f.s, form);
    EXPECT_TRUE(f.m.WCDone);
    EXPECT_TRUE(f.m.ProjectChanged) << "the step, done now, is saved with the project";
}

TEST(WaterLevelContours, FailuresAreReportedUnderTheProcedureAndKeepTheOldContours)
{
    const struct {
        double xcoeff, ycoeff;
        int sample;
        double interval;
        const char *report;
    } cases[] = {
        { 0, 0.01, 1, 0.5, "QEL(RegRes:XCoord): 11: \nDivision by zero" },
        { 0.02, 0.01, 3, 0.5, "QEL(RegRes:MapWLContour): 9: \nSubscript out of range: sample 3 of 2" },
        { 0.02, 0.01, 1, -0.5, "QEL(RegRes:MapWLContour): 5: \n" },
        { 0.02, 0.01, 1, 1e-9, "QEL(RegRes:MapWLContour): 6: \n" },
    };
    for (const auto &c : cases) {
        ContourFixture f;
        f.frontend.expectErrors = true;
        ASSERT_TRUE(MapWLContour(f.s, 1, 10, 0.5, 12, 1));
        f.m.Xcoeff(1) = c.xcoeff, f.m.Ycoeff(1) = c.ycoeff;
        EXPECT_FALSE(MapWLContour(f.s, c.sample, 10, c.interval, 12, 1));
        const QStringList errors = f.frontend.boxTexts(MsgIcon::Error);
        ASSERT_EQ(errors.size(), 1) << c.report;
        EXPECT_TRUE(errors[0].startsWith(QLatin1String(c.report))) << errors[0].toStdString();
        EXPECT_EQ(f.layerFile().entities.size(), 8u);
        EXPECT_EQ(f.m.WCMapIndex, 1);
    }
}

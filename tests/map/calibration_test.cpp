#include "map/calibration.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

// A raster of 1000 x 1000 pixels shown in pixels, the units set.
struct CalibrationTest : ::testing::Test {
    TestSession t;
    MapCalibration c { *t.session };

    CalibrationTest()
    {
        ProjectModel &m = t.session->model;
        m.DistUnits = QStringLiteral("m");
        m.BaseMapType = QStringLiteral("raster");
        m.BMDone = true;
        m.PixelRight = m.RasterWidth = 1000;
        m.PixelBottom = m.RasterHeight = 1000;
        c.Form_Load();
    }
    ProjectModel &model() { return t.session->model; }
    QPointF toMap(double px, double py)
    {
        drawingOf(*t.session).PixelToMap(px, py);
        return { px, py };
    }
    void point(int slot, const char *x, const char *y)
    {
        c.txtRasterX_Change(slot, QString::fromLatin1(x));
        c.txtRasterY_Change(slot, QString::fromLatin1(y));
    }
    void realPoint(int slot, const char *x, const char *y)
    {
        c.txtVectorX_Change(slot, QString::fromLatin1(x));
        c.txtVectorY_Change(slot, QString::fromLatin1(y));
    }
    // The scale bar of the origin example: 5 m a pixel, origin at (50, 950).
    void scaleBarFilled()
    {
        c.cboCalibrationType_Click(1);
        point(0, "50", "950");
        point(1, "100", "500");
        point(2, "300", "500");
        c.txtDistance_Change(QStringLiteral("1000"));
    }
    // Pixel (100, 900) is (1000, 2000) m, pixel (900, 100) is (5000, 6000) m.
    void twoPointsCalibrated()
    {
        point(3, "100", "900");
        realPoint(3, "1000", "2000");
        point(4, "900", "100");
        realPoint(4, "5000", "6000");
        ASSERT_TRUE(c.checkEnabled()) << c.hint().toStdString();
        c.chkCalibrate_Click(true);
        ASSERT_TRUE(model().CalibrationActive);
    }
    int logged(const QString &text) const { return int(t.readLog().count(text)); }
};

} // namespace

TEST_F(CalibrationTest, ScaleIsRealUnitsPerPixelShownForHundredPixels)
{
    const struct {
        const char *x1, *y1, *x2, *y2, *distance;
        double scale;
        const char *box, *hint;
    } cases[] = {
        { "100", "500", "300", "500", "1000", 5, "500", "" },
        { "0", "0", "30", "40", "100", 2, "200", "" }, // a slanted bar, 50 pixels long
        { "10", "10", "10", "10", "100", 0, "", "Zero distance between point! Please try again." },
        { "100", "500", "300", "500", "0", 0, "", "" },
        { "100", "500", "300", "500", "abc", 0, "", "The distance must be a number! Please try again." },
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(std::string(k.x1) + "," + k.y1 + " " + k.x2 + "," + k.y2 + " / " + k.distance);
        MapCalibration fresh(*t.session);
        fresh.Form_Load();
        fresh.cboCalibrationType_Click(1);
        fresh.txtRasterX_Change(1, QLatin1String(k.x1));
        fresh.txtRasterY_Change(1, QLatin1String(k.y1));
        fresh.txtRasterX_Change(2, QLatin1String(k.x2));
        fresh.txtRasterY_Change(2, QLatin1String(k.y2));
        fresh.txtDistance_Change(QLatin1String(k.distance));
        EXPECT_DOUBLE_EQ(fresh.scale(), k.scale);
        EXPECT_EQ(fresh.boxes().scale, QLatin1String(k.box));
        EXPECT_EQ(fresh.hint(), QLatin1String(k.hint));
        EXPECT_FALSE(fresh.checkEnabled()); // the origin is still missing
    }
}

TEST_F(CalibrationTest, ScaleFollowsTheEndsOfTheBarPickedAfterTheLength)
{
    c.cboCalibrationType_Click(1);
    c.txtDistance_Change(QStringLiteral("1000"));
    EXPECT_EQ(c.boxes().scale, QString());
    point(1, "100", "500");
    point(2, "300", "500");
    EXPECT_EQ(c.boxes().scale, QStringLiteral("500"));
    point(2, "600", "500");
    EXPECT_EQ(c.boxes().scale, QStringLiteral("200"));
}

TEST_F(CalibrationTest, ScaleBarFromTheOriginGivesTheRealExtents)
{
    scaleBarFilled();
    ASSERT_TRUE(c.checkEnabled()) << c.hint().toStdString();
    EXPECT_FALSE(c.okEnabled());
    c.chkCalibrate_Click(true);

    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].title, QStringLiteral("Calibration is approximate!"));
    EXPECT_TRUE(t.frontend.boxes[0].text.startsWith(QStringLiteral("Please note that calibrating")));
    EXPECT_EQ(toMap(1000, 0), QPointF(4750, 4750));
    EXPECT_EQ(toMap(50, 950), QPointF(0, 0));
    const ProjectModel &m = model();
    EXPECT_EQ(m.BaseMapLeft, -250);
    EXPECT_EQ(m.BaseMapBottom, -250);
    EXPECT_EQ(m.BaseMapRight, 4750);
    EXPECT_EQ(m.BaseMapTop, 4750);
    EXPECT_EQ(m.MapTextSize, 83);
    EXPECT_TRUE(m.CalibrationActive);
    EXPECT_TRUE(m.MSDone);
    EXPECT_TRUE(c.okEnabled());
    EXPECT_FALSE(m.RasterScaleSet); // until OK
    EXPECT_EQ(t.frontend.panelStatus, QStringLiteral("Raster map calibrated. Coordinates = m"));
    EXPECT_EQ(logged(QStringLiteral("MapScale: Base map calibrated using  a scale bar (less accurate)\r\n")), 1);

    ASSERT_TRUE(c.cmdOK_Click());
    EXPECT_TRUE(m.RasterScaleSet);
    EXPECT_TRUE(m.MapReady);
    EXPECT_EQ(m.CalibrationType, 1);
    EXPECT_EQ(m.RasterScale, 5);
    EXPECT_EQ(m.RasterScaleDistance, 1000);
    EXPECT_EQ(m.RasterPointX(0), 50);
    EXPECT_EQ(m.RasterPointY(0), 950);
    EXPECT_EQ(m.RasterPointX(2), 300);
    EXPECT_EQ(t.session->outline.state(Step::MapScale), CheckState::All);
    EXPECT_EQ(logged(QStringLiteral("MapScale: [OK]\r\n")), 1);
}

TEST_F(CalibrationTest, TwoPointsScaleEachAxisOnItsOwn)
{
    twoPointsCalibrated();
    EXPECT_TRUE(t.frontend.boxes.empty()); // no warning for the preferred method
    EXPECT_EQ(toMap(500, 500), QPointF(3000, 4000));
    EXPECT_EQ(toMap(0, 1000), QPointF(500, 1500));
    const ProjectModel &m = model();
    EXPECT_EQ(m.BaseMapLeft, 500);
    EXPECT_EQ(m.BaseMapBottom, 1500);
    EXPECT_EQ(m.BaseMapRight, 5500);
    EXPECT_EQ(m.BaseMapTop, 6500);
    EXPECT_EQ(m.MapTextSize, 83);
    ASSERT_TRUE(c.cmdOK_Click());
    EXPECT_EQ(m.VectorPointX(4), 5000);
    EXPECT_EQ(m.RasterPointY(3), 900);
    EXPECT_EQ(m.CalibrationType, 0);
}

TEST_F(CalibrationTest, BoxRulesKeepTheCheckBoxDisabled)
{
    const struct {
        const char *name;
        std::array<const char *, 8> boxes; // raster 3, real 3, raster 4, real 4
        const char *hint;
    } cases[] = {
        { "same pixels", { "10", "20", "0", "0", "10", "20", "50", "50" }, "The points must not overlap!" },
        { "same real point", { "10", "20", "7", "7", "30", "40", "7", "7" }, "The points must not overlap!" },
        { "x beyond the image", { "1200", "20", "0", "0", "30", "40", "5", "5" },
            "Raster X coordinate outside range (0,1000)! Please try again." },
        { "y beyond the image", { "10", "1001", "0", "0", "30", "40", "5", "5" },
            "Raster Y coordinate outside range (0,1000)! Please try again." },
        { "negative", { "-5", "20", "0", "0", "30", "40", "5", "5" }, "Negative raster coordinate!" },
        { "same column", { "10", "20", "0", "0", "10", "40", "5", "5" },
            "The two points must differ in both X and Y! Please try again." },
        { "not a number", { "ten", "20", "0", "0", "30", "40", "5", "5" },
            "Coordinates must be numbers! Please try again." },
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.name);
        MapCalibration fresh(*t.session);
        fresh.Form_Load();
        const auto b = k.boxes;
        fresh.txtRasterX_Change(3, QLatin1String(b[0]));
        fresh.txtRasterY_Change(3, QLatin1String(b[1]));
        fresh.txtVectorX_Change(3, QLatin1String(b[2]));
        fresh.txtVectorY_Change(3, QLatin1String(b[3]));
        fresh.txtRasterX_Change(4, QLatin1String(b[4]));
        fresh.txtRasterY_Change(4, QLatin1String(b[5]));
        fresh.txtVectorX_Change(4, QLatin1String(b[6]));
        fresh.txtVectorY_Change(4, QLatin1String(b[7]));
        EXPECT_EQ(fresh.hint(), QLatin1String(k.hint));
        EXPECT_TRUE(fresh.hintIsProblem());
        EXPECT_FALSE(fresh.checkEnabled());
        EXPECT_FALSE(model().MSDone);
    }
}

TEST_F(CalibrationTest, OutOfRangeHintShowsBeforeTheOtherBoxesAreFilled)
{
    c.txtRasterX_Change(3, QStringLiteral("1200"));
    EXPECT_EQ(c.hint(), QStringLiteral("Raster X coordinate outside range (0,1000)! Please try again."));
    EXPECT_EQ(c.rasterX(3), 1200); // kept as typed
    c.txtRasterX_Change(3, QStringLiteral("120"));
    EXPECT_EQ(c.hint(), QString());
}

TEST_F(CalibrationTest, ChangingAPointWhileCalibratedAsksFirst)
{
    twoPointsCalibrated();
    // No: the calibration stays, the typed value too; OK keeps what the map shows.
    t.frontend.answers.push_back(MsgAnswer::No);
    c.txtRasterX_Change(3, QStringLiteral("150"));
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].title, QStringLiteral("Reset calibration?"));
    EXPECT_EQ(t.frontend.boxes[0].text,
        QStringLiteral("Raster map is already calibrated. Do you \r\nwish to change calibration parameters and\r\n"
                       "redo calibration?"));
    EXPECT_TRUE(model().CalibrationActive);
    EXPECT_TRUE(c.checked());
    EXPECT_EQ(c.boxes().rasterX[3], QStringLiteral("150"));
    EXPECT_EQ(c.rasterX(3), 150);
    EXPECT_EQ(toMap(100, 900), QPointF(1000, 2000));
    ASSERT_TRUE(c.cmdOK_Click());
    EXPECT_EQ(model().RasterPointX(3), 100);

    // Yes: back to pixels, nothing done.
    MapCalibration again(*t.session);
    again.Form_Load();
    EXPECT_TRUE(again.checked());
    EXPECT_TRUE(again.okEnabled());
    t.frontend.answers.push_back(MsgAnswer::Yes);
    again.txtVectorY_Change(4, QStringLiteral("6100"));
    EXPECT_FALSE(model().CalibrationActive);
    EXPECT_FALSE(model().MSDone);
    EXPECT_FALSE(model().MapReady);
    EXPECT_FALSE(again.checked());
    EXPECT_FALSE(again.okEnabled());
    EXPECT_TRUE(drawingOf(*t.session).pixelToMap().isIdentity());
    EXPECT_EQ(t.frontend.panelStatus, QStringLiteral("Raster map coordinates = pixels"));
    EXPECT_TRUE(again.checkEnabled()); // all boxes are still filled
    EXPECT_EQ(t.frontend.boxes.size(), 2u);
    again.chkCalibrate_Click(true);
    EXPECT_EQ(toMap(900, 100), QPointF(5000, 6100));
}

TEST_F(CalibrationTest, CancelAfterCalibratingAsksBeforeDroppingIt)
{
    twoPointsCalibrated();
    t.frontend.answers.push_back(MsgAnswer::No);
    EXPECT_FALSE(c.cmdCancel_Click());
    EXPECT_TRUE(model().CalibrationActive);
    ASSERT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(t.frontend.boxes[0].title, QStringLiteral("Are you sure?"));
    EXPECT_EQ(logged(QStringLiteral("MapScale: Calibration is done. Are you sure? [No]\r\n")), 1);

    t.frontend.answers.push_back(MsgAnswer::Yes);
    EXPECT_TRUE(c.cmdCancel_Click());
    EXPECT_FALSE(model().CalibrationActive);
    EXPECT_FALSE(model().MSDone);
    EXPECT_FALSE(model().RasterScaleSet);
    EXPECT_TRUE(drawingOf(*t.session).pixelToMap().isIdentity());
    EXPECT_EQ(logged(QStringLiteral("MapScale: [Cancel]\r\n")), 2);

    // Nothing calibrated: Cancel closes without asking.
    EXPECT_TRUE(c.cmdCancel_Click());
    EXPECT_EQ(t.frontend.boxes.size(), 2u);
}

TEST_F(CalibrationTest, OpeningAProjectReappliesTheStoredCalibration)
{
    ProjectModel &m = model();
    m.RasterScaleSet = true;
    m.CalibrationType = 1;
    m.RasterPointX(0) = 50;
    m.RasterPointY(0) = 950;
    m.RasterPointX(1) = 100;
    m.RasterPointY(1) = m.RasterPointY(2) = 500;
    m.RasterPointX(2) = 300;
    m.RasterScaleDistance = 1000;
    m.RasterScale = 5;
    m.RunMode = QStringLiteral("Batch");
    recalibrateMap(*t.session);
    EXPECT_TRUE(t.frontend.boxes.empty()); // a batch run asks nothing
    EXPECT_TRUE(m.CalibrationActive);
    EXPECT_TRUE(m.MapReady);
    EXPECT_TRUE(m.MSDone);
    EXPECT_EQ(m.BaseMapTop, 4750);
    EXPECT_EQ(toMap(1000, 0), QPointF(4750, 4750));
    EXPECT_EQ(logged(QStringLiteral("Base map calibrated using")), 1);

    // The dialog opened later shows the calibration as applied and offers OK.
    m.RunMode.clear();
    MapCalibration dialog(*t.session);
    dialog.Form_Load();
    EXPECT_TRUE(dialog.checked());
    EXPECT_TRUE(dialog.okEnabled());
    EXPECT_EQ(dialog.boxes().scale, QStringLiteral("500"));
    EXPECT_EQ(dialog.boxes().rasterY[0], QStringLiteral("950"));
    EXPECT_EQ(dialog.method(), CalibrationMethod::ScaleBar);
}

TEST_F(CalibrationTest, AStoredCalibrationThatCannotBeAppliedIsReported)
{
    ProjectModel &m = model();
    m.RasterScaleSet = true;
    m.CalibrationType = 0;
    m.RasterPointX(3) = m.RasterPointX(4) = 100; // one column: no x scale
    m.RasterPointY(3) = 100;
    m.RasterPointY(4) = 900;
    m.VectorPointX(3) = 1;
    m.VectorPointX(4) = 2;
    m.VectorPointY(3) = 1;
    m.VectorPointY(4) = 2;
    m.RunMode = QStringLiteral("Batch");
    recalibrateMap(*t.session);
    EXPECT_EQ(t.session->errorsReported, 1);
    EXPECT_TRUE(t.session->ErrorText.startsWith(QStringLiteral("QEL(MapScale:Calibrate): 11")))
        << t.session->ErrorText.toStdString();
    EXPECT_FALSE(m.CalibrationActive);
    EXPECT_FALSE(m.MapReady);
    EXPECT_TRUE(drawingOf(*t.session).pixelToMap().isIdentity());
}

TEST_F(CalibrationTest, UntickingGoesBackToPixels)
{
    twoPointsCalibrated();
    c.chkCalibrate_Click(false);
    EXPECT_FALSE(model().CalibrationActive);
    EXPECT_FALSE(c.okEnabled());
    EXPECT_TRUE(drawingOf(*t.session).pixelToMap().isIdentity());
    EXPECT_EQ(logged(QStringLiteral("Raster map coordinates = pixels\r\n")), 1);
}

TEST_F(CalibrationTest, ALocatedPointFillsThePixelBoxes)
{
    twoPointsCalibrated();
    // The map shows metres: the picked point goes back to pixels, after the reset question.
    t.frontend.answers.push_back(MsgAnswer::No);
    t.frontend.pickAnswers.push_back(QPointF(3000, 4000));
    EXPECT_TRUE(c.cmdScalePoint_Click(4));
    EXPECT_EQ(c.boxes().rasterX[4], QStringLiteral("500"));
    EXPECT_EQ(c.boxes().rasterY[4], QStringLiteral("500"));
    EXPECT_EQ(t.frontend.boxes.size(), 1u); // asked once, not again for each box

    t.frontend.answers.push_back(MsgAnswer::No);
    t.frontend.pickAnswers.push_back(std::nullopt); // aborted
    EXPECT_FALSE(c.cmdScalePoint_Click(3));
    EXPECT_EQ(c.boxes().rasterX[3], QStringLiteral("100"));
}

#include "map/calibration.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <gtest/gtest.h>

using namespace qel;
using namespace qel::test;

namespace {

void pixels(MapCalibration &d, int slot, const char *x, const char *y)
{
    d.txtRasterX_Change(slot, QString::fromLatin1(x));
    d.txtRasterY_Change(slot, QString::fromLatin1(y));
}

// A calibration point: its pixel and its real coordinates.
void point(MapCalibration &d, int slot, const char *px, const char *py, const char *x, const char *y)
{
    pixels(d, slot, px, py);
    d.txtVectorX_Change(slot, QString::fromLatin1(x));
    d.txtVectorY_Change(slot, QString::fromLatin1(y));
}

// A raster of 1000 x 1000 pixels shown in pixels, the units set.
struct CalibrationTest : ::testing::Test {
    TestSession t;
    MapCalibration c { *t.session };
    ProjectModel &m = t.session->model;

    CalibrationTest()
    {
        m.DistUnits = QStringLiteral("m");
        m.BaseMapType = QStringLiteral("raster");
        m.BMDone = true;
        m.PixelRight = m.RasterWidth = 1000;
        m.PixelBottom = m.RasterHeight = 1000;
        c.Form_Load();
    }
    QPointF toMap(double px, double py)
    {
        drawingOf(*t.session).PixelToMap(px, py);
        return { px, py };
    }
    bool inPixels() { return drawingOf(*t.session).pixelToMap().isIdentity(); }
    // Pixel (100, 900) is (1000, 2000) m, pixel (900, 100) is (5000, 6000) m.
    void twoPointsCalibrated()
    {
        point(c, 3, "100", "900", "1000", "2000");
        point(c, 4, "900", "100", "5000", "6000");
        ASSERT_TRUE(c.checkEnabled()) << c.hint().toStdString();
        c.chkCalibrate_Click(true);
        ASSERT_TRUE(m.CalibrationActive);
    }
};

} // namespace

TEST_F(CalibrationTest, ScaleIsRealUnitsPerPixelShownForHundredPixels)
{
    const struct {
        const char *x1, *y1, *x2, *y2, *distance;
        const char *box, *hint; // the box shows the scale of a hundred pixels
    } cases[] = {
        { "100", "500", "300", "500", "1000", "500", "" },
        { "0", "0", "30", "40", "100", "200", "" }, // a slanted bar, 50 pixels long
        { "10", "10", "10", "10", "100", "", "Zero distance between point! Please try again." },
        { "100", "500", "300", "500", "0", "", "" },
        { "100", "500", "300", "500", "abc", "", "The distance must be a number! Please try again." },
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(std::string(k.x1) + "," + k.y1 + " " + k.x2 + "," + k.y2 + " / " + k.distance);
        MapCalibration fresh(*t.session);
        fresh.Form_Load();
        fresh.cboCalibrationType_Click(1);
        pixels(fresh, 1, k.x1, k.y1);
        pixels(fresh, 2, k.x2, k.y2);
        fresh.txtDistance_Change(QLatin1String(k.distance));
        EXPECT_EQ(fresh.boxes().scale, QLatin1String(k.box));
        EXPECT_EQ(fresh.hint(), QLatin1String(k.hint));
        EXPECT_FALSE(fresh.checkEnabled()); // the origin is still missing
    }
}

TEST_F(CalibrationTest, ScaleBarFromTheOriginGivesTheRealExtents)
{
    // The scale bar of the origin example: 5 m a pixel, origin at (50, 950).
    c.cboCalibrationType_Click(1);
    pixels(c, 0, "50", "950");
    pixels(c, 1, "100", "500");
    pixels(c, 2, "300", "500");
    c.txtDistance_Change(QStringLiteral("1000"));
    ASSERT_TRUE(c.checkEnabled()) << c.hint().toStdString();
    c.chkCalibrate_Click(true);

    EXPECT_EQ(t.frontend.boxes.size(), 1u); // the warning that a scale bar is less accurate
    EXPECT_EQ(std::tuple(m.BaseMapLeft, m.BaseMapBottom, m.BaseMapRight, m.BaseMapTop, m.MapTextSize),
        std::tuple(-250.0, -250.0, 4750.0, 4750.0, 83.0));
    // Scale set only by OK.
    EXPECT_EQ(std::tuple(m.CalibrationActive, m.MSDone, m.RasterScaleSet), std::tuple(true, true, false));

    ASSERT_TRUE(c.cmdOK_Click());
    EXPECT_EQ(std::tuple(m.RasterScaleSet, m.MapReady, m.CalibrationType, m.RasterScale, m.RasterScaleDistance),
        std::tuple(true, true, 1, 5.0, 1000.0));
    EXPECT_EQ(std::tuple(m.RasterPointX(0), m.RasterPointY(0), m.RasterPointX(2)), std::tuple(50.0, 950.0, 300.0));
    // Un-ticked again: the map is in pixels and the step no longer done.
    c.chkCalibrate_Click(false);
    EXPECT_EQ(std::tuple(m.MSDone, m.MapReady, t.session->outline.state(Step::MapScale)),
        std::tuple(false, false, CheckState::None));
    // Opening the project applies the stored calibration again; a batch run asks nothing.
    m.RunMode = QStringLiteral("Batch");
    recalibrateMap(*t.session);
    EXPECT_EQ(t.frontend.boxes.size(), 1u);
    EXPECT_EQ(std::tuple(m.CalibrationActive, m.MapReady, m.MSDone), std::tuple(true, true, true));
    EXPECT_EQ(toMap(1000, 0), QPointF(4750, 4750));
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
        point(fresh, 3, b[0], b[1], b[2], b[3]);
        point(fresh, 4, b[4], b[5], b[6], b[7]);
        EXPECT_EQ(fresh.hint(), QLatin1String(k.hint));
        EXPECT_FALSE(fresh.checkEnabled());
        EXPECT_FALSE(m.MSDone);
    }
}

TEST_F(CalibrationTest, TwoPointsScaleEachAxisOnItsOwnAndAChangeAsksFirst)
{
    twoPointsCalibrated();
    EXPECT_TRUE(t.frontend.boxes.empty()); // no warning for the preferred method
    EXPECT_EQ(toMap(500, 500), QPointF(3000, 4000));
    EXPECT_EQ(std::tuple(m.BaseMapLeft, m.BaseMapBottom, m.BaseMapRight, m.BaseMapTop),
        std::tuple(500.0, 1500.0, 5500.0, 6500.0));
    // No: the calibration stays; OK keeps what the map shows, not the typed value.
    t.frontend.answers.push_back(MsgAnswer::No);
    c.txtRasterX_Change(3, QStringLiteral("150"));
    EXPECT_EQ(std::tuple(m.CalibrationActive, c.checked()), std::tuple(true, true));
    ASSERT_TRUE(c.cmdOK_Click());
    EXPECT_EQ(std::tuple(m.CalibrationType, m.RasterPointX(3), m.RasterPointY(3), m.VectorPointX(4)),
        std::tuple(0, 100.0, 900.0, 5000.0));

    // Yes: back to pixels, nothing done.
    MapCalibration again(*t.session);
    again.Form_Load();
    t.frontend.answers.push_back(MsgAnswer::Yes);
    again.txtVectorY_Change(4, QStringLiteral("6100"));
    EXPECT_EQ(std::tuple(m.CalibrationActive, m.MSDone, m.MapReady, again.checked(), inPixels()),
        std::tuple(false, false, false, false, true));
}

TEST_F(CalibrationTest, AStoredCalibrationThatCannotBeAppliedIsReported)
{
    t.frontend.expectErrors = true;
    m.RasterScaleSet = true;
    m.CalibrationType = 0;
    m.RasterPointX(3) = 100, m.RasterPointY(3) = 100; // one column: no x scale
    m.RasterPointX(4) = 100, m.RasterPointY(4) = 900;
    m.VectorPointX(3) = m.VectorPointY(3) = 1;
    m.VectorPointX(4) = m.VectorPointY(4) = 2;
    m.RunMode = QStringLiteral("Batch");
    recalibrateMap(*t.session);
    EXPECT_EQ(t.session->errorsReported, 1);
    EXPECT_TRUE(t.session->ErrorText.startsWith(QStringLiteral("QEL(MapScale:Calibrate): 11")))
        << t.session->ErrorText.toStdString();
    EXPECT_EQ(std::tuple(m.CalibrationActive, m.MapReady, inPixels()), std::tuple(false, false, true));
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

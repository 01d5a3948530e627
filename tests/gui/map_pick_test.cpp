#include "core/number_text.h"
#include "gui/dialogs/source_dialog.h"
#include "gui/gui_input.h"
#include "gui/map/calibration_dialog.h"
#include "gui/map/map_window.h"
#include "gui/views/contour_view_window.h"
#include "gui/workbench_fixture.h"
#include "map/map_display.h"
#include "support/test_session.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRubberBand>
#include <QTimer>

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using gui::ChildForm;
using gui::MapCanvas;

// The workbench with the 40 x 30 pixel raster site.bmp in its map window, a model grid over all
// of it and the plume results of two dates, so that each dialog that picks on the map can open.
class MapPickTest : public WorkbenchTest {
public:
    void SetUp() override
    {
        makeWorkbench();
        frontend.mapWindows = true;
        useProjectFolder();
        ProjectModel &m = session->model;
        QFile::copy(QStringLiteral(QEL_TEST_DATA "/map/site.bmp"), m.ProjectDir + QStringLiteral("site.bmp"));
        m.BaseMapFile = QStringLiteral("site.bmp");
        m.BaseMapType = QStringLiteral("raster");
        m.DistUnits = QStringLiteral("ft");
        m.UNDone = true;
        m.PCRight = m.MapRight = 40, m.PCTop = m.MapTop = 30;
        m.NumSamples = 2;
        m.SampleDate(1) = QDate(2024, 3, 15), m.SampleDate(2) = QDate(2024, 9, 1);
        m.ConcMax = 10;
        m.PC.Legend = true;
        ASSERT_TRUE(DisplayMap(*session));
        QApplication::processEvents();
        canvas = gui::findMapWindow(*window)->canvas();
    }

    ChildForm *openCalibration() { return gui::showMapScaleDialog(*window); }
    ChildForm *openSource() { return show(new gui::SourceDialog(*session)); }
    ChildForm *openPlume() { return show(new gui::ContourViewWindow(*session, ContourKind::Plume, window.get())); }
    ChildForm *show(ChildForm *dialog)
    {
        window->showChild(dialog);
        return dialog;
    }
    QPushButton *button(ChildForm *dialog, const char *name) const
    {
        auto *found = dialog->findChild<QPushButton *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPointF device(double x, double y) const { return canvas->toDevice({ x, y }); }

    MapCanvas *canvas = nullptr;
};

// Closing the dialog that waits for a point on the map, by its button or its frame, ends the pick
// first; the dialog's code after the pick still finds it, and the close then does what it always
// does, its log line included.
TEST_F(MapPickTest, ClosingTheCallerWhileItPicksEndsThePickFirst)
{
    const struct {
        const char *name;
        ChildForm *(MapPickTest::*open)();
        const char *pick;
        const char *close; // nullptr: the frame's close button
        const char *logLine;
    } cases[] = {
        { "calibration, Cancel", &MapPickTest::openCalibration, "cmdScalePoint3", "cmdCancel", "MapScale: [Cancel]" },
        { "calibration, frame", &MapPickTest::openCalibration, "cmdScalePoint4", nullptr, "MapScale: [Cancel]" },
        { "source, Close", &MapPickTest::openSource, "cmdSelectSource", "cmdClose", "Source: [Close]" },
        { "source, frame", &MapPickTest::openSource, "cmdSelectSource", nullptr, "Source: [Close]" },
        { "plume legend, Close", &MapPickTest::openPlume, "cmdLegend", "cmdClose", "frmPlumeSpect: [Close]" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<ChildForm> dialog = (this->*c.open)();
        ASSERT_FALSE(dialog.isNull());
        bool pickWaited = false;
        QTimer::singleShot(0, dialog, [&] {
            pickWaited = canvas->picking();
            if (c.close)
                button(dialog, c.close)->click();
            else
                qobject_cast<QMdiSubWindow *>(dialog->parentWidget())->close();
        });
        button(dialog, c.pick)->click();
        EXPECT_TRUE(pickWaited);
        EXPECT_FALSE(canvas->picking());
        EXPECT_FALSE(dialog.isNull()) << "the close waits until the pick has returned";
        settle();
        EXPECT_TRUE(dialog.isNull());
        EXPECT_TRUE(newLogLines().contains(QLatin1String(c.logLine)));
    }
}

// Another Locate while one waits ends the first, which picks nothing, and then picks itself.
TEST_F(MapPickTest, ASecondLocateEndsTheFirstPickAndThenRuns)
{
    ChildForm *dialog = openCalibration();
    QTimer::singleShot(0, dialog, [&] { button(dialog, "cmdScalePoint4")->click(); });
    button(dialog, "cmdScalePoint3")->click();
    EXPECT_FALSE(canvas->picking());
    QTimer::singleShot(0, canvas, [this] { clickAt(canvas, device(5, 25)); });
    settle(); // the second Locate, with its pick
    auto text = [dialog](const char *box) { return dialog->findChild<QLineEdit *>(QLatin1String(box))->text(); };
    EXPECT_EQ(text("txtRasterX3"), QString());
    EXPECT_EQ(text("txtRasterX4"), QStringLiteral("5"));
    EXPECT_EQ(text("txtRasterY4"), QStringLiteral("25"));
}

// Locate says where it put the legend, in the status bar and by a brief frame on the map.
TEST_F(MapPickTest, LocateShowsWhereTheLegendWent)
{
    ChildForm *dialog = openPlume();
    QTimer::singleShot(0, canvas, [this] { clickAt(canvas, device(10, 20)); });
    button(dialog, "cmdLegend")->click();
    const ContourView &pc = session->model.PC;
    EXPECT_NEAR(pc.LegendX, 10, 0.5);
    EXPECT_NEAR(pc.LegendY, 20, 0.5);
    const QString placed
        = QStringLiteral("Legend placed at ") + numberText(pc.LegendX) + QStringLiteral(", ") + numberText(pc.LegendY);
    EXPECT_TRUE(frontend.statusTexts.contains(placed)) << frontend.statusTexts.join(u'|').toStdString();
    auto *frame = canvas->findChild<QRubberBand *>(QStringLiteral("legendHighlight"));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    const QPoint corner = device(pc.LegendX, pc.LegendY).toPoint();
    EXPECT_TRUE(frame->geometry().adjusted(-1, -1, 1, 1).contains(corner))
        << frame->geometry().x() << "," << frame->geometry().y() << " vs " << corner.x() << "," << corner.y();

    // An aborted pick places nothing and says nothing.
    frontend.statusTexts.clear();
    QTimer::singleShot(0, canvas, [this] { canvas->abortPick(); });
    button(dialog, "cmdLegend")->click();
    EXPECT_FALSE(frontend.statusTexts.join(u'|').contains(QStringLiteral("Legend placed")));
}

// Closing the map or the project while a pick waits ends it; the dialog stays usable.
TEST_F(MapPickTest, ClosingTheMapWhileADialogPicksEndsThePick)
{
    QPointer<ChildForm> dialog = openSource();
    QTimer::singleShot(0, canvas, [this] { window->closeMapWindow(); });
    button(dialog, "cmdSelectSource")->click();
    settle();
    EXPECT_EQ(gui::findMapWindow(*window), nullptr);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(session->model.Xsource, 0);
}

} // namespace
} // namespace qel::test

#include "gui/gui_input.h"
#include "gui/map/calibration_dialog.h"
#include "gui/map/map_window.h"
#include "gui/workbench/message_window.h"
#include "gui/workbench_fixture.h"
#include "map/map_display.h"
#include "map/map_session.h"
#include "support/test_session.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using namespace qel;
using namespace qel::test;
using qel::gui::CalibrationDialog;
using qel::gui::MapCanvas;
using qel::gui::MapWindow;

namespace {

// A workbench with the 40 x 30 pixel raster site.bmp shown in its map window.
class MapWindowTest : public WorkbenchTest {
protected:
    MapWindow *map = nullptr;
    MapCanvas *canvas = nullptr;

    void openMap(const char *file = "site.bmp", const char *kind = "raster")
    {
        makeWindow();
        frontend.mapWindows = true;
        ProjectModel &m = session->model;
        m.ProjectDir = home() + QStringLiteral("site/");
        QDir().mkpath(m.ProjectDir);
        QFile::copy(QStringLiteral(QEL_TEST_DATA "/map/") + QLatin1String(file), m.ProjectDir + QLatin1String(file));
        m.BaseMapFile = QLatin1String(file);
        m.BaseMapType = QLatin1String(kind);
        m.DistUnits = QStringLiteral("ft");
        ASSERT_TRUE(DisplayMap(*session));
        QApplication::processEvents();
        map = gui::findMapWindow(*window);
        ASSERT_NE(map, nullptr);
        canvas = map->canvas();
    }
    QPointF device(double x, double y) const { return canvas->toDevice({ x, y }); }
};

} // namespace

// The map window brings the Map menu and the zoom buttons while it is active; closing it undoes the
// map steps, and a map shown again gets a window of its own.
TEST_F(MapWindowTest, OpensWithTheWholeMapAndClosingUndoesTheMapSteps)
{
    openMap();
    const QAction *mapMenu = window->findChild<QMenu *>("mnuMap")->menuAction();
    EXPECT_TRUE(mapMenu->isVisible());
    EXPECT_TRUE(window->command("tbZoomIn")->isEnabled());
    EXPECT_TRUE(canvas->visibleMap().contains(QRectF(0, 0, 40, 30))) << canvas->visibleMap().width();
    window->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(window->messageWindow()->parentWidget()));
    EXPECT_FALSE(mapMenu->isVisible());

    // What closing undoes is the map display's; here that closing the window reaches it.
    map->closeForm();
    QApplication::processEvents();
    EXPECT_FALSE(session->model.BMDone);
    EXPECT_EQ(gui::findMapWindow(*window), nullptr);

    ASSERT_TRUE(DisplayMap(*session));
    MapWindow *again = gui::findMapWindow(*window);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, map);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(bool(drawingOf(*session).refreshHandler())) << "the new window repaints the drawing";
}

TEST_F(MapWindowTest, ZoomCommandsChangeTheView)
{
    openMap();
    const QRectF all = canvas->visibleMap();
    const struct {
        Command command;
        double widthFactor;
    } steps[] = {
        { Command::ZoomIn, 0.5 },
        { Command::ZoomIn, 0.25 },
        { Command::ZoomOut, 0.5 },
        { Command::ZoomPrevious, 0.25 },
        { Command::ZoomAll, 1 },
    };
    for (const auto &s : steps) {
        Q_EMIT window->zoomRequested(s.command);
        EXPECT_NEAR(canvas->visibleMap().width(), all.width() * s.widthFactor, 1e-9) << int(s.command);
        EXPECT_NEAR(canvas->visibleMap().center().x(), all.center().x(), 1e-9);
    }
    // The wheel zooms about the cursor: the point under it stays.
    const QPointF at = device(10, 8);
    QWheelEvent wheel(
        at, canvas->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    EXPECT_LT(canvas->visibleMap().width(), all.width());
    EXPECT_NEAR(canvas->toMap(at).x(), 10, 1e-9);
    EXPECT_NEAR(canvas->toMap(at).y(), 8, 1e-9);

    // Zoom Window: the dragged rectangle becomes the view.
    Q_EMIT window->zoomRequested(Command::ZoomWindow);
    EXPECT_TRUE(canvas->zoomWindowPending());
    dragWith(canvas, device(5, 5), device(15, 10), Qt::LeftButton);
    EXPECT_FALSE(canvas->zoomWindowPending());
    EXPECT_NEAR(canvas->view().width(), 10, 0.2); // to whole device pixels
    EXPECT_NEAR(canvas->view().height(), 5, 0.2);
}

TEST_F(MapWindowTest, CoordsPanelShowsPixelsThenRealCoordinates)
{
    openMap();
    sendMouse(canvas, QEvent::MouseMove, device(20, 15), Qt::NoButton);
    const QString pixels = window->statusPanel(StatusPanel::Coords)->text();
    EXPECT_TRUE(pixels.startsWith(QStringLiteral(" X, Y: 20"))) << pixels.toStdString();

    // Calibrated: pixel (0, 30) is (1000, 2000) ft and pixel (40, 0) is (1400, 2300) ft.
    drawingOf(*session).SetPixelToMap(0, 30, 1000, 2000, 40, 0, 1400, 2300);
    session->model.CalibrationActive = true;
    QApplication::processEvents();
    EXPECT_GT(canvas->visibleMap().width(), 400); // the view follows the new coordinates
    sendMouse(canvas, QEvent::MouseMove, device(1200, 2150), Qt::NoButton);
    const QString real = window->statusPanel(StatusPanel::Coords)->text();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ X, Y: 1.?2\\d\\d\\.\\d\\d, 2.?1\\d\\d\\.\\d\\d ft $"))
                    .match(real)
                    .hasMatch())
        << real.toStdString();
}

// A right click aborts the pick, and so does closing the window while it waits; a left click is
// the calibration's pick below.
TEST_F(MapWindowTest, APickIsAbortedByARightClickOrByClosing)
{
    openMap();
    QTimer::singleShot(0, canvas, [this] { clickAt(canvas, device(12, 9), Qt::RightButton); });
    double x = -1, y = -1;
    EXPECT_EQ(GetRasterPoint(*session, x, y, QStringLiteral("Locate point 1")), InputAborted);
    EXPECT_FALSE(canvas->picking());
    QTimer::singleShot(0, map, [this] { map->closeForm(); });
    EXPECT_NE(GetRasterPoint(*session, x, y, QStringLiteral("Locate")), InputPicked);
}

TEST_F(MapWindowTest, PrintsWithTheTitleAndExportsAnImage)
{
    openMap("site_plan.dxf", "vector");
    const QString pdf = home() + QStringLiteral("map.pdf");
    map->setPrinterChooser([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    frontend.inputAnswers = { QStringLiteral("Site A") };
    map->printForm();
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF"));
    EXPECT_EQ(session->model.MapTitle, QStringLiteral("Site A"));

    // Export: a name without an ending takes the chosen type's.
    frontend.queueFile(home() + QStringLiteral("export"), 3);
    window->command("mnuMapExportImage")->trigger();
    EXPECT_TRUE(readBytes(home() + QStringLiteral("export.svg")).contains("<svg"));
    EXPECT_TRUE(newLogLines().contains(QStringLiteral("Map > Export Image")));
}

// The hint and box rules are the calibration's (tested in map, and the typed calibration by the
// new project walk); here the image's size reaches them and a picked point fills its boxes.
TEST_F(MapWindowTest, CalibrationDialogTakesTheImageSizeAndAPickedPoint)
{
    openMap();
    session->model.UNDone = true;
    window->command("mnuMapSetScale")->trigger();
    auto *dialog = qobject_cast<CalibrationDialog *>(window->findChildForm(QStringLiteral("frmMapScale")));
    ASSERT_NE(dialog, nullptr);
    auto edit = [dialog](const QString &name) { return dialog->findChild<QLineEdit *>(name); };
    edit("txtRasterX3")->setText(QStringLiteral("50"));
    Q_EMIT edit("txtRasterX3")->textEdited(QStringLiteral("50")); // as typed
    EXPECT_EQ(dialog->findChild<QLabel *>(QStringLiteral("lblHint"))->text(),
        QStringLiteral("Raster X coordinate outside range (0,40)! Please try again."));
    QTimer::singleShot(0, canvas, [this] { clickAt(canvas, device(5, 25)); });
    dialog->findChild<QPushButton *>(QStringLiteral("cmdScalePoint4"))->click();
    EXPECT_EQ(edit("txtRasterX4")->text(), QStringLiteral("5"));
    EXPECT_EQ(edit("txtRasterY4")->text(), QStringLiteral("25"));
}

TEST_F(MapWindowTest, AnotherMethodAndClosingTheDialogAskFirst)
{
    openMap();
    CalibrationDialog *dialog = gui::showMapScaleDialog(*window);
    MapCalibration &c = dialog->calibration();
    // Pixel (0, 30) is (0, 0) and pixel (40, 0) is (400, 300).
    for (const auto &[point, rasterX, rasterY, mapX, mapY] :
        { std::tuple(3, "0", "30", "0", "0"), std::tuple(4, "40", "0", "400", "300") }) {
        c.txtRasterX_Change(point, QLatin1String(rasterX));
        c.txtRasterY_Change(point, QLatin1String(rasterY));
        c.txtVectorX_Change(point, QLatin1String(mapX));
        c.txtVectorY_Change(point, QLatin1String(mapY));
    }
    c.chkCalibrate_Click(true);
    // Another method asks before resetting; No keeps the calibration.
    frontend.answers = { MsgAnswer::No, MsgAnswer::No };
    auto *method = dialog->findChild<QComboBox *>(QStringLiteral("cboCalibrationType"));
    method->setCurrentIndex(1);
    Q_EMIT method->activated(1);
    EXPECT_EQ(frontend.boxes.back().title, QStringLiteral("Reset calibration?"));
    method->setCurrentIndex(0);
    Q_EMIT method->activated(0);
    EXPECT_TRUE(session->model.CalibrationActive);

    QPointer<CalibrationDialog> open(dialog);
    frontend.answers = { MsgAnswer::No };
    dialog->closeForm();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(open.isNull());
    EXPECT_EQ(frontend.boxes.back().title, QStringLiteral("Are you sure?"));
    frontend.answers = { MsgAnswer::Yes };
    dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
    EXPECT_FALSE(session->model.CalibrationActive);
}

#pragma once

#include "core/commands.h"
#include "gui/common/child_form.h"
#include "map/map_extents.h"
#include "map/map_renderer.h"

#include <QPointer>
#include <QRectF>

#include <functional>
#include <optional>
#include <vector>

class QEventLoop;
class QPrinter;
class QRubberBand;

namespace qel::gui {

class MainWindow;

// Dbcocx1: the drawing component's view. Paints the base map and the shown layers, zooms and
// pans, reports the cursor position and lets a procedure pick a point.
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(Session &session, QWidget *parent = nullptr);
    ~MapCanvas() override;

    // The map rectangle asked for; the canvas shows at least that, centred.
    QRectF view() const { return m_view; }
    // The map rectangle the canvas shows.
    QRectF visibleMap() const { return transform().visibleMap(); }
    MapViewTransform transform() const;
    QPointF toMap(QPointF device) const { return transform().toMap(device); }
    QPointF toDevice(QPointF map) const { return transform().toDevice(map); }

    // Zoom In / Zoom Out halve and double the view about its centre; Zoom Window lets the
    // person drag the rectangle; Zoom Previous goes back one view; Zoom All shows everything.
    void zoom(Command command);
    void zoomAbout(QPointF mapPoint, double factor);
    void setView(const QRectF &view, bool remember = true);
    bool zoomWindowPending() const { return m_mode == Mode::ZoomWindow; }

    // Waits until the person picks a point (left button) or aborts (right button, Escape, or
    // the window closes). The point is in map units.
    std::optional<QPointF> pickPoint(const QString &prompt);
    bool picking() const { return m_mode == Mode::Pick; }
    void abortPick();
    // The window is closing: picks end and the map no longer repaints this canvas.
    void detach();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    enum class Mode { Normal, ZoomWindow, Pick };

    void mapChanged();
    void showCursorPosition(QPointF device);
    void updateCursor();

    Session &m_session;
    QRectF m_view;
    std::vector<QRectF> m_previous;
    Mode m_mode = Mode::Normal;
    // The transformation and extents the view was last fitted to; a change shows the whole map.
    PixelTransform m_fittedTransform;
    QRectF m_fittedExtents;
    QString m_fittedBase;
    bool m_detached = false;
    bool m_fitted = false;
    QRubberBand *m_band = nullptr;
    QPoint m_bandOrigin;
    bool m_panning = false;
    bool m_spaceHeld = false;
    QPoint m_panFrom;
    QEventLoop *m_pickLoop = nullptr;
    std::optional<QPointF> m_picked;
};

// frmMap: the child window that shows the map. Opening loads nothing itself (DisplayMap has done
// that); it shows the map, takes the zoom commands, shows the Map menu while active and undoes the
// map steps when closed.
class MapWindow : public ChildForm {
    Q_OBJECT
public:
    explicit MapWindow(Session &session, MainWindow *main = nullptr);

    MapCanvas *canvas() const { return m_canvas; }

    // File > Print: asks for the title, then the printer, and prints the map with the title.
    void printForm() override;
    // The page: the map into the page less a margin of one inch, the title below it.
    static void paintPrintPage(QPainter &painter, const DrawingComponent &map, const QString &title,
        const QRectF &pagePoints, double deviceUnitsPerPoint);
    // Replaces the printer dialog (tests print to PDF); returns whether to print.
    void setPrinterChooser(std::function<bool(QPrinter &)> chooser) { m_choosePrinter = std::move(chooser); }

    // Map > Export Map Image: PNG, PDF or SVG of the whole map with its title.
    void exportImage();

    // The main window's Map menu shows while this window is active.
    void activationChanged(bool active);
    bool isClosing() const { return m_closed; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<MainWindow> m_main;
    MapCanvas *m_canvas;
    std::function<bool(QPrinter &)> m_choosePrinter;
    bool m_closed = false;
};

// The open map window, if any (one being closed does not count).
MapWindow *findMapWindow(const MainWindow &main);
// Opens the map window in its place beside the outline, or brings it to the front.
MapWindow *showMapWindow(MainWindow &main);
// Map > Export Map Image.
void exportMapImage(MainWindow &main);

} // namespace qel::gui

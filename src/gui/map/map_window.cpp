#include "gui/map/map_window.h"

#include "core/help_topics.h"
#include "core/replace_question.h"
#include "core/reporting.h"
#include "gui/common/map_pick.h"
#include "gui/workbench/main_window.h"
#include "map/map_display.h"
#include "map/map_image.h"
#include "map/map_session.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QRubberBand>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace qel::gui {

namespace {

constexpr double ZoomStep = 2; // Zoom In halves the view, Zoom Out doubles it
constexpr std::size_t PreviousViews = 50;
constexpr int SmallestZoomWindow = 4; // pixels; a smaller drag is a click

bool sameTransform(const PixelTransform &a, const PixelTransform &b)
{
    return a.toMap({ 0, 0 }) == b.toMap({ 0, 0 }) && a.toMap({ 1000, 1000 }) == b.toMap({ 1000, 1000 });
}

QString mapTitle(const ProjectModel &m)
{
    return m.MapTitle.isEmpty() ? QStringLiteral("Map View") : m.MapTitle;
}

} // namespace

// --- canvas ---------------------------------------------------------------------------------

MapCanvas::MapCanvas(Session &session, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("Dbcocx1"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(120, 90);
    setAttribute(Qt::WA_OpaquePaintEvent);
    drawingOf(session).setRefreshHandler([this] { mapChanged(); });
    mapChanged();
}

MapCanvas::~MapCanvas()
{
    abortPick();
}

void MapCanvas::detach()
{
    if (m_detached)
        return;
    m_detached = true;
    abortPick();
    drawingOf(m_session).setRefreshHandler({});
}

MapViewTransform MapCanvas::transform() const
{
    return MapViewTransform(m_view, QRectF(rect()), mapYDown(drawingOf(m_session)));
}

// A new base map or a new calibration puts the map into other coordinates: show all of it.
// Layers drawn onto the same map keep the person's zoom.
void MapCanvas::mapChanged()
{
    const DrawingComponent &map = drawingOf(m_session);
    const QString base = map.baseMap().path;
    if (!m_fitted || !sameTransform(m_fittedTransform, map.pixelToMap()) || base != m_fittedBase
        || (m_fittedExtents.isEmpty() && !map.shownExtents().isEmpty())) {
        m_fitted = true;
        m_fittedTransform = map.pixelToMap();
        m_fittedBase = base;
        m_fittedExtents = map.shownExtents();
        m_previous.clear();
        m_view = fullView(map);
    }
    update();
}

void MapCanvas::setView(const QRectF &view, bool remember)
{
    const QRectF v = view.normalized();
    if (!(v.width() > 0) || !(v.height() > 0) || !std::isfinite(v.width()) || !std::isfinite(v.height()))
        return;
    if (remember) {
        m_previous.push_back(m_view);
        if (m_previous.size() > PreviousViews)
            m_previous.erase(m_previous.begin());
    }
    m_view = v;
    update();
}

void MapCanvas::zoomAbout(QPointF p, double factor)
{
    const QRectF visible = visibleMap();
    // The point under the cursor stays where it is.
    setView(QRectF(p - (p - visible.topLeft()) * factor, visible.size() * factor));
}

void MapCanvas::zoom(Command command)
{
    switch (command) {
    case Command::ZoomIn: zoomAbout(visibleMap().center(), 1 / ZoomStep); break;
    case Command::ZoomOut: zoomAbout(visibleMap().center(), ZoomStep); break;
    case Command::ZoomWindow:
        if (m_mode == Mode::Normal)
            m_mode = Mode::ZoomWindow;
        break;
    case Command::ZoomPrevious:
        if (!m_previous.empty()) {
            m_view = m_previous.back();
            m_previous.pop_back();
            update();
        }
        break;
    case Command::ZoomAll: setView(fullView(drawingOf(m_session))); break;
    default: break;
    }
    updateCursor();
}

std::optional<QPointF> MapCanvas::pickPoint(const QString &prompt)
{
    // A second pick while one waits would nest inside it and hand its point to the first: the
    // waiting one ends and the new one gets nothing.
    if (m_pickLoop) {
        abortPick();
        return std::nullopt;
    }
    if (m_detached)
        return std::nullopt;
    QPointer<MapCanvas> self(this);
    MapPick &state = mapPick(m_session);
    QEventLoop loop;
    m_pickLoop = &loop;
    m_picked.reset();
    m_mode = Mode::Pick;
    setToolTip(prompt);
    updateCursor();
    setFocus(Qt::OtherFocusReason);
    state.setAbort([self] {
        if (self)
            self->abortPick();
    });
    loop.exec();
    state.setAbort({});
    if (!self)
        return std::nullopt; // the window went while waiting
    m_pickLoop = nullptr;
    m_mode = Mode::Normal;
    setToolTip(QString());
    updateCursor();
    return m_picked;
}

void MapCanvas::abortPick()
{
    if (!m_pickLoop)
        return;
    // Clicks that reach the canvas before the loop has returned pick nothing any more.
    m_picked.reset();
    m_mode = Mode::Normal;
    m_pickLoop->quit();
}

void MapCanvas::updateCursor()
{
    if (m_panning)
        setCursor(Qt::ClosedHandCursor);
    else if (m_spaceHeld)
        setCursor(Qt::OpenHandCursor);
    else if (m_mode != Mode::Normal)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void MapCanvas::showCursorPosition(QPointF device)
{
    if (!m_session.model.BMDone)
        return;
    m_session.frontend().setStatusPanel(StatusPanel::Coords, cursorPositionText(m_session.model, toMap(device)));
}

void MapCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    RenderOptions options;
    options.antialias = true;
    renderMap(painter, drawingOf(m_session), transform(), options);
}

void MapCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    update();
}

void MapCanvas::mousePressEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (m_mode == Mode::Pick) {
        if (button == Qt::LeftButton)
            m_picked = toMap(event->position());
        else
            m_picked.reset();
        if (button == Qt::LeftButton || button == Qt::RightButton) {
            m_mode = Mode::Normal;
            if (m_pickLoop)
                m_pickLoop->quit();
        }
        return;
    }
    if (button == Qt::MiddleButton || (button == Qt::LeftButton && m_spaceHeld)) {
        m_panning = true;
        m_panFrom = event->position().toPoint();
        setView(m_view); // the view before panning is the previous one
        updateCursor();
        return;
    }
    if (m_mode == Mode::ZoomWindow) {
        if (button == Qt::RightButton) {
            m_mode = Mode::Normal;
            updateCursor();
            return;
        }
        if (button == Qt::LeftButton) {
            if (!m_band)
                m_band = new QRubberBand(QRubberBand::Rectangle, this);
            m_bandOrigin = event->position().toPoint();
            m_band->setGeometry(QRect(m_bandOrigin, QSize()));
            m_band->show();
        }
    }
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event)
{
    showCursorPosition(event->position());
    if (m_panning) {
        const QPoint to = event->position().toPoint();
        const QPointF shift = toMap(m_panFrom) - toMap(to);
        m_panFrom = to;
        setView(m_view.translated(shift), false);
        return;
    }
    if (m_band && m_band->isVisible())
        m_band->setGeometry(QRect(m_bandOrigin, event->position().toPoint()).normalized());
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        m_panning = false;
        updateCursor();
        return;
    }
    if (m_mode == Mode::ZoomWindow && event->button() == Qt::LeftButton && m_band && m_band->isVisible()) {
        m_band->hide();
        const QRect r = QRect(m_bandOrigin, event->position().toPoint()).normalized();
        m_mode = Mode::Normal;
        updateCursor();
        if (r.width() >= SmallestZoomWindow && r.height() >= SmallestZoomWindow)
            setView(QRectF(toMap(r.topLeft()), toMap(r.bottomRight())));
    }
}

void MapCanvas::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    zoomAbout(toMap(event->position()), std::pow(0.8, steps));
    event->accept();
}

void MapCanvas::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_mode == Mode::Pick)
            abortPick();
        else if (m_mode == Mode::ZoomWindow) {
            m_mode = Mode::Normal;
            if (m_band)
                m_band->hide();
        }
        updateCursor();
        return;
    }
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = true;
        updateCursor();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MapCanvas::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = false;
        m_panning = false;
        updateCursor();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

// --- window ---------------------------------------------------------------------------------

MapWindow::MapWindow(Session &session, MainWindow *main)
    : ChildForm(session, QStringLiteral("Map"), HelpTopic::MapWindow)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmMap"));
    session.FormTag = QStringLiteral("Map");
    ProjectModel &m = session.model;
    if (m.MapTitle.isEmpty())
        m.MapTitle = QStringLiteral("Map View");
    setWindowTitle(m.MapTitle);
    m_canvas = new MapCanvas(session, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    setMinimumSize(240, 180);
    if (main) {
        connect(main, &MainWindow::zoomRequested, m_canvas, &MapCanvas::zoom);
        connect(main->mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *frame) {
            if (!m_closed)
                activationChanged(frame && frame == parentWidget());
        });
    }
}

void MapWindow::activationChanged(bool active)
{
    if (m_main)
        m_main->setMapMenuVisible(active);
}

void MapWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        m_canvas->detach();
        activationChanged(false);
        closeMap(session());
        session().frontend().setStatusPanel(StatusPanel::Coords, QString());
    }
    ChildForm::closeEvent(event);
}

void MapWindow::paintPrintPage(QPainter &painter, const DrawingComponent &map, const QString &title,
    const QRectF &pagePoints, double deviceUnitsPerPoint)
{
    constexpr double Margin = 72; // points
    constexpr double TitleSize = 12;
    const double k = deviceUnitsPerPoint;
    const QRectF page(pagePoints.topLeft() * k, pagePoints.size() * k);
    // The drawing ends above the title line, so that the two never overlap.
    const QRectF area(page.left() + Margin * k, page.top() + Margin * k, page.width() - 2 * Margin * k,
        page.height() - (2 * Margin + TitleSize + 6) * k);
    if (area.width() > 0 && area.height() > 0) {
        RenderOptions options;
        options.lineWidthScale = k * 72.0 / 96.0;
        renderMap(painter, map, MapViewTransform(fullView(map), area, mapYDown(map)), options);
    }
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(TitleSize);
    font.setPixelSize(std::max(1, int(std::lround(TitleSize * k))));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(page.left() + Margin * k, page.bottom() - (Margin + TitleSize) * k), title);
}

void MapWindow::printForm()
{
    Session &s = session();
    guarded(s, QStringLiteral("Map:Form_Print"), [&] {
        const std::optional<QString> answer
            = s.frontend().inputBox(QStringLiteral("Enter map title for printing at the bottom of the page."),
                QStringLiteral("Set map title for printing"), s.model.MapTitle);
        if (!answer || answer->isEmpty())
            return;
        s.store(s.model.MapTitle, *answer); // the title is the project's
        setWindowTitle(*answer);
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(*answer);
        printer.setPageOrientation(QPageLayout::Landscape);
        const bool chosen = m_choosePrinter ? m_choosePrinter(printer) : [&] {
            QPrintDialog dialog(&printer, m_main ? static_cast<QWidget *>(m_main) : this);
            return dialog.exec() == QDialog::Accepted;
        }();
        // A cancelled printer dialog prints nothing and is no failure.
        if (!chosen)
            return;
        printer.setFullPage(true);
        const QRectF pagePoints = printer.pageLayout().fullRect(QPageLayout::Point);
        QPainter painter;
        if (!painter.begin(&printer))
            throw QelError(ErrPathFileAccess, QStringLiteral("The printer could not be started."));
        const double unitsPerPoint = printer.resolution() / 72.0;
        paintPrintPage(painter, drawingOf(s), *answer, QRectF(QPointF(0, 0), pagePoints.size()), unitsPerPoint);
        painter.end();
        s.setStatus(QStringLiteral("Map printed."));
    });
}

void MapWindow::exportImage()
{
    Session &s = session();
    guarded(s, QStringLiteral("Map:ExportImage"), [&] {
        static const QStringList suffixes = { QStringLiteral("png"), QStringLiteral("pdf"), QStringLiteral("svg") };
        // A name without one of the three endings gets the one of the chosen file type; the
        // question about replacing a file is about that name.
        const auto withSuffix = [](const FileDialogAnswer &chosen) -> QString {
            if (suffixes.contains(QFileInfo(chosen.path).suffix().toLower()))
                return chosen.path;
            return chosen.path + u'.' + suffixes.value(std::clamp(chosen.filterIndex, 1, 3) - 1);
        };
        const FileDialogAnswer answer = chooseFileToWrite(s,
            { QStringLiteral("Export Map Image"),
                QStringLiteral("PNG image (*.png)|*.png|PDF document (*.pdf)|*.pdf|SVG drawing (*.svg)|*.svg"),
                QStringLiteral("png"), s.model.ProjectDir, mapTitle(s.model) },
            withSuffix);
        if (!answer.accepted)
            return;
        if (writeMapImage(s, answer.path))
            s.setStatus(QStringLiteral("Map image saved."));
    });
}

// --- the main window's map ------------------------------------------------------------------

MapWindow *findMapWindow(const MainWindow &main)
{
    for (QMdiSubWindow *frame : main.mdiArea()->subWindowList()) {
        auto *map = qobject_cast<MapWindow *>(frame->widget());
        if (map && !map->isClosing())
            return map;
    }
    return nullptr;
}

MapWindow *showMapWindow(MainWindow &main)
{
    if (MapWindow *open = findMapWindow(main)) {
        main.showChild(open);
        return open;
    }
    auto *map = new MapWindow(main.session(), &main);
    // Beside the outline and above the message window, so that both stay in view.
    main.placeMapWindow(main.mdiArea()->addSubWindow(map));
    main.showChild(map);
    return map;
}

void exportMapImage(MainWindow &main)
{
    if (MapWindow *map = findMapWindow(main))
        map->exportImage();
}

} // namespace qel::gui

#include "gui/workbench/main_window.h"

#include "core/file_commands.h"
#include "core/help_topics.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "gui/common/child_form.h"
#include "gui/common/map_pick.h"
#include "gui/map/map_window.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/clipboard_routing.h"
#include "gui/workbench/drawn_icons.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/message_window.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench/tool_window_layout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace qel::gui {

namespace {

// Lowest left position the placement store may hold for the window to be placed there.
constexpr int PlacementFloor = -24000;
constexpr int MinimumWidth = 9000;
constexpr int MinimumHeight = 8000;

} // namespace

MainWindow::MainWindow(Session &session, WindowFactories factories, QSettings *settings, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_factories(std::move(factories))
    , m_placementStore(settings)
    , m_mdi(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmUserInterface"));
    setWindowTitle(QStringLiteral("QEL"));
    setWindowIcon(applicationIcon());
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0xd5, 0xdc, 0xe3));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    m_mdi->viewport()->installEventFilter(this);

    installHandlers();
    buildMenus();
    buildToolBars();
    buildStatusBar();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::childActivated);

    guarded(session, QStringLiteral("UI:Form_Load"), [&] {
        setApplicationPaths(session);
        session.FormTag = QStringLiteral("UserInterface");
        session.app.HelpContext = HelpTopic::Contents;
        setMinimumSize(toPixels(MinimumWidth, true), toPixels(MinimumHeight, false));
        const std::optional<WindowPlacement> stored = m_placementStore.load();
        if (!stored)
            placeForFirstStart();
        else if (stored->left > PlacementFloor) {
            setPlacement(*stored);
            // Shown maximised, with the stored frame behind it for when it is restored.
            if (stored->maximised)
                setWindowState(windowState() | Qt::WindowMaximized);
        }

        m_outline = new OutlineWindow(session, this);
        m_layers = new LayerWindow(session, this);
        connect(m_outline, &OutlineWindow::stepRequested, this, &MainWindow::runOutlineStep);
        const auto toolFlags
            = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint;
        for (ChildForm *form : { static_cast<ChildForm *>(m_outline), static_cast<ChildForm *>(m_layers) })
            m_mdi->addSubWindow(form, toolFlags)->show();
        showMessageWindow();
        m_mdi->setActiveSubWindow(nullptr);
    });
}

MainWindow::~MainWindow()
{
    // The document area goes first, while the handlers of its windows' signals can still run.
    m_tearingDown = true;
    delete m_mdi;
}

// --- building -------------------------------------------------------------------------------

void MainWindow::run(const QString &objectName, const QString &logText, const Handler &body)
{
    guarded(m_session, QStringLiteral("UI:") + objectName + QStringLiteral("_Click"), [&] {
        WriteLog(m_session, logText);
        body();
    });
}

void MainWindow::showFactoryForm(const QString &objectName, const WindowFactories::FormFactory &factory)
{
    if (ChildForm *open = findChildForm(objectName)) {
        showChild(open);
        return;
    }
    if (factory)
        showChild(factory(m_session, this));
}

MainWindow::Handler MainWindow::formCommand(const QString &form, const WindowFactories::FormFactory &factory)
{
    if (!factory)
        return {};
    return [this, form, factory] { showFactoryForm(form, factory); };
}

// --- child windows --------------------------------------------------------------------------

QMdiSubWindow *MainWindow::showChild(ChildForm *form, bool singleInstance)
{
    if (!form)
        return nullptr;
    QMdiSubWindow *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
    if (!frame && singleInstance) {
        for (QMdiSubWindow *open : m_mdi->subWindowList()) {
            if (open->widget() && open->widget()->objectName() == form->objectName()) {
                form->deleteLater();
                frame = open;
                break;
            }
        }
    }
    const QRect visible = visibleArea();
    if (!frame) {
        frame = m_mdi->addSubWindow(form);
        frame->setWindowIcon(form->windowIcon());
        if (singleInstance) {
            frame->adjustSize();
            frame->move(m_dialogPlaces.open(form->objectName(), frame->size(), m_mdi->viewport()->rect(), visible));
            // Where the person leaves it is taken when it closes.
            form->installEventFilter(this);
        } else {
            const QSize area = m_mdi->viewport()->size();
            frame->resize(QSize(area.width() * 3 / 5, area.height() * 3 / 4)
                              .expandedTo(QSize(560, 380))
                              .boundedTo(visible.size()));
            m_documents.removeAll(nullptr);
            if (m_documents.isEmpty())
                m_cascade = 0;
            const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
            const CascadePlace place = cascadePlace(m_cascade, frame->size(), freeArea(), visible, step);
            m_cascade = place.wrapped ? 1 : m_cascade + 1;
            frame->move(place.topLeft);
            m_documents.append(frame);
        }
    } else if (!frame->isMinimized() && !frame->isMaximized()) {
        // A window brought back to the front (the map for a pick, too) is in view as a whole.
        const bool mapLaidOut = frame->geometry() == m_mapLaidOut;
        const QRect fitted = fitInside(frame->geometry(), visible);
        if (fitted != frame->geometry())
            frame->setGeometry(fitted);
        if (mapLaidOut)
            m_mapLaidOut = frame->geometry();
    }
    if (frame->isMinimized())
        frame->showNormal();
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    return frame;
}

OutlineWindow *MainWindow::outlineWindow() const
{
    return m_outline;
}

LayerWindow *MainWindow::layerWindow() const
{
    return m_layers;
}

MessageWindow *MainWindow::messageWindow() const
{
    return m_message;
}

ChildForm *MainWindow::activeChildForm() const
{
    QMdiSubWindow *frame = m_mdi->currentSubWindow();
    return frame ? qobject_cast<ChildForm *>(frame->widget()) : nullptr;
}

ChildForm *MainWindow::findChildForm(const QString &objectName) const
{
    for (QMdiSubWindow *frame : m_mdi->subWindowList())
        if (auto *form = qobject_cast<ChildForm *>(frame->widget()); form && form->objectName() == objectName)
            return form;
    return nullptr;
}

void MainWindow::showMessageWindow()
{
    if (m_message) {
        showChild(m_message);
        return;
    }
    m_message = new MessageWindow(m_session, this);
    QMdiSubWindow *frame = showChild(m_message);
    frame->resize(460, 170);
    connect(m_message, &QObject::destroyed, this, [this] {
        if (!m_tearingDown)
            command("mnuViewMessageWindow")->setChecked(false);
    });
    command("mnuViewMessageWindow")->setChecked(true);
    if (m_placedToolWindows)
        placeToolWindows();
}

void MainWindow::toggleMessageWindow()
{
    if (m_message && m_message->isVisible()) {
        m_message->closeForm();
        command("mnuViewMessageWindow")->setChecked(false);
    } else {
        showMessageWindow();
    }
}

void MainWindow::placeToolWindows()
{
    ToolWindowInput input;
    input.area = m_mdi->viewport()->rect();
    if (m_outline) {
        CheckTree *tree = m_outline->tree();
        input.outlineWidth = tree->nodesWidth() + tree->verticalScrollBar()->sizeHint().width() + 16;
    }
    // The outline follows the area until the person moves or resizes it; then it stays where it
    // was left, fitted inside.
    auto *outlineFrame = m_outline ? qobject_cast<QMdiSubWindow *>(m_outline->parentWidget()) : nullptr;
    if (m_placedToolWindows && outlineFrame && outlineFrame->geometry() != m_outlineLaidOut)
        input.outlinePlaced = outlineFrame->geometry();
    const ToolWindowGeometry g = toolWindowLayout(input);
    if (g.outline.isEmpty())
        return;
    const auto place = [](ChildForm *form, const QRect &geometry) {
        if (!form)
            return;
        auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        if (frame && !frame->isMinimized() && !frame->isMaximized())
            frame->setGeometry(geometry);
    };
    place(m_outline, g.outline);
    if (outlineFrame)
        m_outlineLaidOut = outlineFrame->geometry();
    place(m_layers, g.layers);
    place(m_message, g.message);
    m_placedToolWindows = true;
    if (ChildForm *map = findChildForm(QStringLiteral("frmMap"))) {
        auto *frame = qobject_cast<QMdiSubWindow *>(map->parentWidget());
        if (frame && frame->geometry() == m_mapLaidOut && !frame->isMinimized() && !frame->isMaximized())
            placeMapWindow(frame);
    }
}

QRect MainWindow::freeArea() const
{
    const QRect area = m_mdi->viewport()->rect();
    const auto shown = [](ChildForm *form) -> QWidget * {
        QWidget *frame = form ? form->parentWidget() : nullptr;
        return frame && frame->isVisible() && !frame->isMinimized() ? frame : nullptr;
    };
    int left = toPixels(2700, true);
    if (QWidget *outline = shown(m_outline))
        left = outline->geometry().right() + 1;
    int bottom = area.bottom();
    if (QWidget *message = shown(m_message))
        bottom = message->geometry().top() - 1;
    const QRect place(left, 0, area.width() - left, bottom + 1);
    return place.width() >= 300 && place.height() >= 220 ? place : area;
}

void MainWindow::placeMapWindow(QMdiSubWindow *frame)
{
    frame->setGeometry(freeArea());
    m_mapLaidOut = frame->geometry();
}

QRect MainWindow::visibleArea() const
{
    QWidget *viewport = m_mdi->viewport();
    const QRect area = viewport->rect();
    const QScreen *screen = m_mdi->screen();
    if (!screen)
        return area;
    const QRect available = screen->availableGeometry();
    const QRect onScreen = QRect(viewport->mapFromGlobal(available.topLeft()), available.size()) & area;
    // A window mostly off the screen still needs somewhere to put its dialogs.
    return onScreen.width() >= 200 && onScreen.height() >= 150 ? onScreen : area;
}

void MainWindow::childActivated(QMdiSubWindow *frame)
{
    if (m_tearingDown)
        return;
    auto *form = frame ? qobject_cast<ChildForm *>(frame->widget()) : nullptr;
    const QString name = form ? form->objectName() : QString();
    const bool clipboard = takesClipboardCommands(name);
    for (Command command : ClipboardCommands)
        setCommandEnabled(command, clipboard);
    for (QAction *action : std::as_const(m_formatActions))
        action->setEnabled(name == QLatin1String("frmDoc"));
    scheduleWindowList();
}

void MainWindow::scheduleWindowList()
{
    if (m_windowListPending || m_tearingDown)
        return;
    m_windowListPending = true;
    QMetaObject::invokeMethod(this, &MainWindow::refreshWindowList, Qt::QueuedConnection);
}

void MainWindow::refreshWindowList()
{
    m_windowListPending = false;
    if (m_tearingDown || !m_windowMenu)
        return;
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    QMdiSubWindow *active = m_mdi->currentSubWindow();
    int number = 0;
    for (QMdiSubWindow *frame : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (frame->isHidden())
            continue; // closing
        ++number;
        connect(frame, &QWidget::windowTitleChanged, this, &MainWindow::scheduleWindowList, Qt::UniqueConnection);
        QString title = frame->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        auto *entry = new QAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                              : QStringLiteral("%1 %2").arg(number).arg(title),
            m_windowMenu);
        entry->setObjectName(QStringLiteral("mnuWindowList%1").arg(number));
        entry->setCheckable(true);
        entry->setChecked(frame == active);
        connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(frame)] {
            if (!window)
                return;
            if (window->isMinimized())
                window->showNormal();
            m_mdi->setActiveSubWindow(window);
            refreshWindowList(); // the check follows even when the window was active already
        });
        m_windowMenu->addAction(entry);
        m_windowListActions.append(entry);
    }
    m_windowListSeparator->setVisible(number > 0);
}

// --- window state for the front end ---------------------------------------------------------

QAction *MainWindow::command(const QString &objectName) const
{
    return objectName.isEmpty() ? nullptr : findChild<QAction *>(objectName);
}

QAction *MainWindow::formatAction(const QString &key) const
{
    return m_formatActions.value(key);
}

QLabel *MainWindow::statusPanel(StatusPanel panel) const
{
    return m_panels.value(int(panel));
}

void MainWindow::setMapMenuVisible(bool visible)
{
    m_mapMenu->menuAction()->setVisible(visible);
}

void MainWindow::setStatusPanel(StatusPanel panel, const QString &text)
{
    if (QLabel *label = statusPanel(panel))
        label->setText(text);
}

void MainWindow::messageAdded(const QString &line)
{
    if (m_message)
        m_message->appendLine(line);
}

void MainWindow::messagesCleared()
{
    if (m_message)
        m_message->reload();
}

void MainWindow::setCommandEnabled(Command command, bool enabled)
{
    m_commands.setEnabled(command, enabled);
}

void MainWindow::refreshOutline()
{
    if (m_outline)
        m_outline->refresh();
}

void MainWindow::refreshLayers()
{
    if (m_layers)
        m_layers->refresh();
}

void MainWindow::showTextFile(const QString &path, const QString &caption)
{
    if (!m_factories.outputViewer)
        return;
    ChildForm *viewer = m_factories.outputViewer(m_session, this, path);
    viewer->setWindowTitle(caption);
    showChild(viewer, false);
}

void MainWindow::closeMapWindow()
{
    if (ChildForm *map = findChildForm(QStringLiteral("frmMap")))
        map->closeForm();
    setMapMenuVisible(false);
}

// --- placement and closing ------------------------------------------------------------------

int MainWindow::toPixels(int twips, bool horizontal) const
{
    const int dpi = horizontal ? logicalDpiX() : logicalDpiY();
    return qRound(twips * double(dpi) / 1440.0);
}

int MainWindow::toTwips(int pixels, bool horizontal) const
{
    const int dpi = horizontal ? logicalDpiX() : logicalDpiY();
    return qRound(pixels * 1440.0 / double(dpi));
}

WindowPlacement MainWindow::storedPlacement(QSettings &settings)
{
    return PlacementStore(&settings).load().value_or(WindowPlacement {});
}

WindowPlacement MainWindow::placement() const
{
    const bool maximised = windowState() & Qt::WindowMaximized;
    QRect frame(pos(), size());
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // The frame it had before, with the decoration the window has now.
        frame = normalGeometry();
        frame.translate(frameGeometry().topLeft() - geometry().topLeft());
    }
    return { toTwips(frame.x(), true), toTwips(frame.y(), false), toTwips(frame.width(), true),
        toTwips(frame.height(), false), maximised };
}

// The classic default of 10000 x 8000 twips is a cramped 694 x 555 pixels on today's screens; a
// first start takes most of the screen instead, and the stored placement rules from then on.
void MainWindow::placeForFirstStart()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return setPlacement(WindowPlacement {});
    const QRect available = screen->availableGeometry();
    const QSize size = (available.size() * 0.85).expandedTo(minimumSize()).boundedTo(available.size());
    resize(size);
    move(available.center() - QPoint(size.width() / 2, size.height() / 2));
}

void MainWindow::setPlacement(const WindowPlacement &placement)
{
    QRect frame(toPixels(placement.left, true), toPixels(placement.top, false), toPixels(placement.width, true),
        toPixels(placement.height, false));
    // A placement from another screen setup comes back where the title bar can be reached.
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    resize(frame.size());
    frame.setSize(size()); // never below the minimum
    if (screen)
        frame.moveTopLeft(fitInside(frame, screen->availableGeometry()).topLeft());
    move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A pick on the map waits in a nested event loop whose caller still has to return: the pick
    // ends first and the close is tried again after it, with the question already answered.
    if (MapPick &pick = mapPick(m_session); pick.callerRunning()) {
        pick.afterCallers(this, [this, asked = m_exitAsked] {
            m_exitAsked = asked;
            close();
        });
        pick.abort();
        event->ignore();
        return;
    }
    const bool ask = !m_exitAsked;
    m_exitAsked = false;
    // 0: closed by the person through the window system; 1: by the program (File > Exit).
    if (!queryUnload(m_session, event->spontaneous() ? 0 : 1, ask)) {
        event->ignore();
        return;
    }
    if (const WindowPlacement p = placement(); p.width > 0 && p.height > 0)
        m_placementStore.save(p);
    formUnload(m_session);
    event->accept();
}

// Each frame's own menu closes it on Ctrl+F4 too; two owners of one key would each give way to
// the other, so Window > Close Window alone has it, and closes only windows that may close.
void MainWindow::leaveCloseKeyToMenu(QMdiSubWindow *frame)
{
    QMenu *menu = frame ? frame->systemMenu() : nullptr;
    if (!menu)
        return;
    const QKeySequence closeKey = command(QStringLiteral("mnuWindowClose"))->shortcut();
    for (QAction *action : menu->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(closeKey) > 0)
            action->setShortcuts(keys);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_tearingDown)
        return QMainWindow::eventFilter(watched, event);
    if (watched == m_mdi->viewport()) {
        if (event->type() == QEvent::Resize)
            placeToolWindows();
        else if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved)
            scheduleWindowList();
        else if (event->type() == QEvent::ChildPolished)
            leaveCloseKeyToMenu(qobject_cast<QMdiSubWindow *>(static_cast<QChildEvent *>(event)->child()));
    } else if (event->type() == QEvent::Close) {
        // A dialog closing: where it is now is where it opens next, if the person moved it.
        auto *form = qobject_cast<ChildForm *>(watched);
        auto *frame = form ? qobject_cast<QMdiSubWindow *>(form->parentWidget()) : nullptr;
        if (frame && form != m_message && !frame->isMinimized() && !frame->isMaximized())
            m_dialogPlaces.closed(form->objectName(), frame->pos());
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace qel::gui

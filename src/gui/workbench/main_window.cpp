#include "gui/workbench/main_window.h"

#include "analysis/domenico.h"
#include "analysis/gis_export.h"
#include "analysis/regression_run.h"
#include "analysis/results_report.h"
#include "core/file_commands.h"
#include "core/help_topics.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "gui/common/child_form.h"
#include "gui/map/calibration_dialog.h"
#include "gui/map/map_window.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/clipboard_routing.h"
#include "gui/workbench/drawn_icons.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/menu_table.h"
#include "gui/workbench/message_window.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench/tool_window_layout.h"
#include "gui/workbench/window_arrangement.h"
#include "input/import_wizard.h"
#include "map/map_display.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace qel::gui {

namespace {

const QStringList FormatKeys = { "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right" };

// Lowest left position the placement store may hold for the window to be placed there.
constexpr int PlacementFloor = -24000;
constexpr int MinimumWidth = 9000;
constexpr int MinimumHeight = 8000;

QString withoutBlanks(QString key)
{
    return key.remove(u' ');
}

QString statusPanelName(StatusPanel panel)
{
    switch (panel) {
    case StatusPanel::Status: return QStringLiteral("Status");
    case StatusPanel::Coords: return QStringLiteral("Coords");
    case StatusPanel::File: return QStringLiteral("File");
    }
    return {};
}

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
        else if (stored->left > PlacementFloor)
            setPlacement(*stored);

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

// What every built command carries out; the menu table adds the log line where the menu writes
// one. Commands left out here are not built yet and stay disabled.
void MainWindow::installHandlers()
{
    Session &s = m_session;
    CommandRegistry &c = m_commands;
    c.setHandler(Command::FileNew, [&s] { fileNew(s); });
    c.setHandler(Command::FileOpen, [&s] { fileOpen(s); });
    c.setHandler(Command::FileClose, [&s] { fileClose(s); });
    c.setHandler(Command::FileSave, [&s] { fileSave(s); });
    c.setHandler(Command::FileSaveAs, [&s] { fileSaveAs(s); });
    c.setHandler(Command::FileOpenBaseMap, [&s] { fileOpenBaseMap(s); });
    c.setHandler(Command::FilePrint, [this] { printActiveForm(); });
    c.setHandler(Command::FileExit, [this] { exitCommand(); });
    for (Command clipboard : ClipboardCommands)
        c.setHandler(clipboard, [this, clipboard] { editClipboard(clipboard); });
    c.setHandler(Command::EditClear, [&s] { editClear(s); });
    c.setHandler(Command::EditUnits, formCommand(QStringLiteral("frmUnits"), m_factories.units));
    c.setHandler(Command::EditTransportData, formCommand(QStringLiteral("frmTransData"), m_factories.transport));
    // The import wizards offer a project file first when the project has none.
    const auto wizardCommand = [this, &s](const QString &form, const WindowFactories::FormFactory &factory) -> Handler {
        if (!factory)
            return {};
        return [this, &s, form, factory] {
            beforeImportWizard(s);
            showFactoryForm(form, factory);
        };
    };
    c.setHandler(Command::EditWellLocations, wizardCommand(QStringLiteral("frmWells"), m_factories.wellLocations));
    c.setHandler(Command::EditWaterLevelData, wizardCommand(QStringLiteral("frmWldata"), m_factories.waterLevels));
    c.setHandler(Command::EditSourceLocation, formCommand(QStringLiteral("frmSource"), m_factories.source));
    if (m_factories.summary) // every summary is a new document of the project as it is now
        c.setHandler(Command::ViewSummary, [this] { showChild(m_factories.summary(m_session, this), false); });
    c.setHandler(Command::ViewPlumeContours, formCommand(QStringLiteral("frmPlumeSpect"), m_factories.plumeContours));
    c.setHandler(Command::ViewMinDistContours, formCommand(QStringLiteral("frmMinDist"), m_factories.minDistContours));
    c.setHandler(Command::ViewWolfContours, formCommand(QStringLiteral("frmWOLF"), m_factories.wolfContours));
    c.setHandler(
        Command::ViewWaterLevelContours, formCommand(QStringLiteral("frmRegRes"), m_factories.waterLevelContours));
    c.setHandler(Command::ViewSessionLog, [this] { viewSessionLog(); });
    c.setHandler(Command::ViewMessageWindow, [this] { toggleMessageWindow(); });
    // The preconditions tell the person what is missing.
    c.setHandler(Command::MapSetScale, [this, &s] {
        if (mapSetScale(s))
            showMapScaleDialog(*this);
    });
    c.setHandler(Command::MapSetPlotLimits, [this, &s] {
        if (mapSetPlotLimits(s))
            showFactoryForm(QStringLiteral("frmPlotLmts"), m_factories.plotLimits);
    });
    c.setHandler(Command::MapSetTitle, [this] { setMapTitle(); });
    c.setHandler(Command::MapExportImage, [this] { exportMapImage(*this); });
    c.setHandler(Command::RunRegression, [&s] { RunRegress(s); });
    c.setHandler(Command::RunAnalytical, [&s] { Domenico(s); });
    c.setHandler(Command::FileExport, [&s] { ExportAnalyticalResults(s); });
    c.setHandler(Command::FileExportGis, [&s] { exportGisClicked(s); });
    c.setHandler(Command::ViewRegressionOutput, [&s] { OpenRegressionOutputFiles(s); });
    c.setHandler(Command::ToolsOptions, formCommand(QStringLiteral("frmOptions"), m_factories.options));
    c.setHandler(Command::WindowCascade, [this] { m_mdi->cascadeSubWindows(); });
    c.setHandler(Command::WindowTileHorizontal, [this] { tileHorizontal(m_mdi); });
    c.setHandler(Command::WindowTileVertical, [this] { tileVertical(m_mdi); });
    c.setHandler(Command::WindowArrangeIcons, [this] { arrangeIcons(m_mdi); });
    if (m_factories.help) {
        c.setHandler(Command::HelpContents, [this] { m_factories.help(m_session, this, HelpTopic::Contents); });
        c.setHandler(Command::HelpCurrentTopic, [this] { helpCurrentTopic(); });
    }
    if (m_factories.about)
        c.setHandler(Command::HelpAbout, [this] { m_factories.about(m_session, this); });
    for (Command zoom : ZoomCommands)
        c.setHandler(zoom, [this, zoom] { Q_EMIT zoomRequested(zoom); });
}

void MainWindow::buildMenus()
{
    for (const MenuDefinition &definition : menuDefinitions()) {
        QMenu *menu = menuBar()->addMenu(QString::fromLatin1(definition.caption));
        menu->setObjectName(QString::fromLatin1(definition.objectName));
        for (const MenuItem &item : definition.items) {
            if (item.kind == MenuItemKind::Separator) {
                menu->addSeparator();
                continue;
            }
            if (item.kind == MenuItemKind::RecentFiles) {
                menu->addSeparator()->setVisible(false);
                for (int i = 1; i <= 3; ++i) {
                    QAction *recent = menu->addAction(QString());
                    recent->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i));
                    recent->setVisible(false);
                }
                continue;
            }
            QAction *action = menu->addAction(QString::fromLatin1(item.caption));
            const QString name = QString::fromLatin1(item.objectName);
            action->setObjectName(name);
            const Command command = item.command;
            const QString log = item.logText ? QString::fromLatin1(item.logText) : QString();
            connect(action, &QAction::triggered, this, [this, command, name, log] {
                const Handler *handler = m_commands.handler(command);
                if (!handler)
                    return;
                if (log.isEmpty())
                    (*handler)();
                else
                    run(name, log, *handler);
            });
            m_commands.addAction(command, action);
        }
        if (definition.objectName == QLatin1String("mnuMap"))
            m_mapMenu = menu;
    }
    command(QStringLiteral("mnuViewMessageWindow"))->setCheckable(true);
    setMapMenuVisible(false);
}

void MainWindow::buildToolBars()
{
    QToolBar *bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setIconSize(QSize(22, 22));
    bar->setMovable(false);
    for (const ToolButtonDefinition &button : toolbarButtons()) {
        if (!button.command) {
            bar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        const Command command = *button.command;
        QAction *action = bar->addAction(toolbarIcon(key), key);
        action->setObjectName(QStringLiteral("tb") + withoutBlanks(key));
        action->setToolTip(QString::fromLatin1(button.tip));
        connect(action, &QAction::triggered, this, [this, key, command] {
            guarded(m_session, QStringLiteral("UI:tbToolBar_ButtonClick"),
                [&] { WriteLog(m_session, QStringLiteral("Toolbar: [") + key + QStringLiteral("]")); });
            // The toolbar's Save names the file first when the project has none.
            if (command == Command::FileSave)
                return void(saveButton(m_session));
            // A button does what its menu entry does, log line included.
            QAction *menuEntry = m_commands.firstAction(command);
            if (menuEntry && menuEntry != sender())
                menuEntry->trigger();
            else if (const Handler *handler = m_commands.handler(command))
                (*handler)();
        });
        m_commands.addAction(command, action);
    }
    for (Command zoom : ZoomCommands)
        m_commands.setEnabled(zoom, false); // until a map is shown

    QToolBar *format = addToolBar(QStringLiteral("Formatting"));
    format->setObjectName(QStringLiteral("tbFormatting"));
    format->setIconSize(QSize(22, 22));
    format->setMovable(false);
    for (const QString &key : FormatKeys) {
        QAction *action = format->addAction(toolbarIcon(key), key);
        action->setObjectName(QStringLiteral("tb") + withoutBlanks(key));
        action->setToolTip(key);
        action->setCheckable(true);
        action->setEnabled(false);
        m_formatActions.insert(key, action);
    }
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setSizeGripEnabled(true);
    bar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"
                                      "QLabel#sbCoords, QLabel#sbFile { border-left: 1px solid palette(mid); }"));
    for (StatusPanel panel : StatusPanels) {
        auto *label = new QLabel(bar);
        label->setObjectName(QStringLiteral("sb") + statusPanelName(panel));
        label->setContentsMargins(6, 0, 6, 0);
        m_panels.insert(int(panel), label);
    }
    bar->addWidget(statusPanel(StatusPanel::Status), 1);
    statusPanel(StatusPanel::Coords)->setMinimumWidth(170);
    statusPanel(StatusPanel::File)->setMinimumWidth(150);
    bar->addPermanentWidget(statusPanel(StatusPanel::Coords));
    bar->addPermanentWidget(statusPanel(StatusPanel::File));
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setMaximumWidth(160);
    m_progress->setMaximumHeight(14);
    m_progress->setTextVisible(false);
    m_progress->setVisible(false);
    bar->addPermanentWidget(m_progress);
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
    if (!frame) {
        frame = m_mdi->addSubWindow(form);
        frame->setWindowIcon(form->windowIcon());
        // Dialogs open centred over the document area; documents cascade as the area places them.
        const QSize area = m_mdi->viewport()->size();
        if (singleInstance) {
            frame->adjustSize();
            frame->move(
                QPoint(qMax(0, (area.width() - frame->width()) / 2), qMax(0, (area.height() - frame->height()) / 2)));
        } else {
            frame->resize(
                QSize(area.width() * 3 / 5, area.height() * 3 / 4).expandedTo(QSize(560, 380)).boundedTo(area));
        }
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
    input.outlinePlaced = m_placedToolWindows && m_outline && m_outline->parentWidget();
    if (input.outlinePlaced)
        input.outlineBottom = m_outline->parentWidget()->geometry().bottom() + 1;
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
    if (!m_placedToolWindows)
        place(m_outline, g.outline);
    place(m_layers, g.layers);
    place(m_message, g.message);
    m_placedToolWindows = true;
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
}

// --- commands -------------------------------------------------------------------------------

void MainWindow::editClipboard(Command command)
{
    ChildForm *form = activeChildForm();
    if (form && takesClipboardCommands(form->objectName()))
        applyClipboardCommand(form->focusWidget(), command);
}

void MainWindow::viewSessionLog()
{
    const AppState &app = m_session.app;
    if (!app.NotepadPath.isEmpty()) {
        if (!QProcess::startDetached(app.NotepadPath, { app.LogFile }))
            qel::raise(ErrFileNotFound, app.NotepadPath);
    } else if (m_factories.outputViewer) {
        showChild(m_factories.outputViewer(m_session, this, app.LogFile), false);
    } else {
        QDesktopServices::openUrl(QUrl::fromLocalFile(app.LogFile));
    }
}

void MainWindow::helpCurrentTopic()
{
    if (ChildForm *form = activeChildForm())
        m_session.app.HelpContext = form->helpContext();
    m_factories.help(m_session, this, m_session.app.HelpContext);
}

void MainWindow::printActiveForm()
{
    if (ChildForm *form = activeChildForm())
        form->printForm();
}

void MainWindow::setMapTitle()
{
    if (!mapSetTitle(m_session))
        return;
    if (ChildForm *map = findChildForm(QStringLiteral("frmMap")))
        map->setWindowTitle(m_session.model.MapTitle);
}

void MainWindow::exitCommand()
{
    if (!fileExit(m_session))
        return;
    m_exitAsked = true;
    if (!close())
        m_exitAsked = false;
}

void MainWindow::runOutlineStep(Step step)
{
    guarded(m_session, QStringLiteral("Outline:CallModule"), [&] {
        const WorkflowStep &entry = workflowStep(step);
        if (!entry.command)
            return; // a heading
        const Handler *handler = m_commands.handler(*entry.command);
        if (!handler) {
            const QString text
                = stepCaption(step) + QStringLiteral(": this step is not available in this version of QEL.");
            WriteLog(m_session, QStringLiteral("Msg: ") + text);
            m_session.frontend().messageBox(text, QStringLiteral("QEL"), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        QAction *menuEntry = m_commands.firstAction(*entry.command);
        if (entry.throughMenu && menuEntry)
            menuEntry->trigger();
        else
            (*handler)();
    });
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
    return { toTwips(pos().x(), true), toTwips(pos().y(), false), toTwips(width(), true), toTwips(height(), false) };
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
    move(toPixels(placement.left, true), toPixels(placement.top, false));
    resize(toPixels(placement.width, true), toPixels(placement.height, false));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const bool ask = !m_exitAsked;
    m_exitAsked = false;
    // 0: closed by the person through the window system; 1: by the program (File > Exit).
    if (!queryUnload(m_session, event->spontaneous() ? 0 : 1, ask)) {
        event->ignore();
        return;
    }
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        m_placementStore.save(placement());
    }
    formUnload(m_session);
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_tearingDown && watched == m_mdi->viewport() && event->type() == QEvent::Resize)
        placeToolWindows();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace qel::gui

#include "gui/workbench/main_window.h"

#include "core/file_commands.h"
#include "core/help_topics.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "gui/common/child_form.h"
#include "gui/workbench/check_tree.h"
#include "gui/workbench/drawn_icons.h"
#include "gui/workbench/layer_window.h"
#include "gui/workbench/message_window.h"
#include "gui/workbench/outline_window.h"
#include "gui/workbench/window_arrangement.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace qel::gui {

namespace {

// The child windows whose text fields Edit > Cut, Copy and Paste work on.
const QStringList ClipboardForms = { "frmDoc", "frmMapScale", "frmMessage", "frmMinDist", "frmOptions", "frmOutput",
    "frmPlotLmts", "frmPlumeSpect", "frmRegRes", "frmSource", "frmTransData", "frmWells", "frmWldata", "frmWOLF" };

const QStringList FormatKeys = { "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right" };

// Lowest left position the settings store may hold for the window to be placed there.
constexpr int PlacementFloor = -24000;
constexpr int MinimumWidth = 9000;
constexpr int MinimumHeight = 8000;

QString withoutBlanks(QString key)
{
    return key.remove(u' ');
}

void clipboardOperation(QWidget *field, const QString &operation)
{
    const bool cut = operation == QLatin1String("Cut");
    const bool paste = operation == QLatin1String("Paste");
    if (auto *line = qobject_cast<QLineEdit *>(field)) {
        if ((cut || paste) && line->isReadOnly())
            return;
        cut ? line->cut() : paste ? line->paste() : line->copy();
    } else if (auto *text = qobject_cast<QTextEdit *>(field)) {
        if ((cut || paste) && text->isReadOnly())
            return;
        cut ? text->cut() : paste ? text->paste() : text->copy();
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(field)) {
        if ((cut || paste) && plain->isReadOnly())
            return;
        cut ? plain->cut() : paste ? plain->paste() : plain->copy();
    }
}

} // namespace

MainWindow::MainWindow(Session &session, WindowFactories factories, QSettings *settings, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_factories(std::move(factories))
    , m_ownSettings(settings ? nullptr : std::make_unique<QSettings>())
    , m_settings(settings ? settings : m_ownSettings.get())
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

    buildMenus();
    buildToolBars();
    buildStatusBar();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::childActivated);

    guarded(session, QStringLiteral("UI:Form_Load"), [&] {
        setApplicationPaths(session);
        session.FormTag = QStringLiteral("UserInterface");
        session.app.HelpContext = HelpTopic::Contents;
        setMinimumSize(toPixels(MinimumWidth, true), toPixels(MinimumHeight, false));
        const WindowPlacement stored = storedPlacement(*m_settings);
        if (!m_settings->contains(QStringLiteral("Settings/MainLeft")))
            placeForFirstStart();
        else if (stored.left > PlacementFloor)
            setPlacement(stored);

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

QAction *MainWindow::addCommand(QMenu *menu, const QString &objectName, const QString &caption, Handler handler)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(objectName);
    if (handler)
        connect(action, &QAction::triggered, this, [handler] { handler(); });
    else
        markUnavailable(action);
    return action;
}

void MainWindow::run(const QString &objectName, const QString &logText, const Handler &body)
{
    guarded(m_session, QStringLiteral("UI:") + objectName + QStringLiteral("_Click"), [&] {
        WriteLog(m_session, logText);
        body();
    });
}

void MainWindow::markUnavailable(QAction *action)
{
    m_unavailable.insert(action);
    action->setEnabled(false);
}

void MainWindow::registerCommand(const QString &name, QAction *action)
{
    m_commands[name].append(action);
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

void MainWindow::buildMenus()
{
    Session &s = m_session;
    const auto formCommand = [this](const QString &name, const QString &log, const QString &form,
                                 const WindowFactories::FormFactory &factory) -> Handler {
        if (!factory)
            return {};
        return [this, name, log, form, factory] { run(name, log, [&] { showFactoryForm(form, factory); }); };
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    registerCommand("New", addCommand(file, "mnuFileNew", "&New Project", [&s] { fileNew(s); }));
    registerCommand("Open", addCommand(file, "mnuFileOpen", "&Open Project...", [&s] { fileOpen(s); }));
    registerCommand("Close", addCommand(file, "mnuFileClose", "&Close Project", [&s] { fileClose(s); }));
    registerCommand("Save", addCommand(file, "mnuFileSave", "&Save Project", [&s] { fileSave(s); }));
    registerCommand("Save As", addCommand(file, "mnuFileSaveAs", "Save Project &As...", [&s] { fileSaveAs(s); }));
    file->addSeparator();
    registerCommand("Open Base Map", addCommand(file, "mnuFileOpenBaseMap", "Open Base &Map...", {}));
    registerCommand("Export", addCommand(file, "mnuFileExport", "&Export Model Results", {}));
    file->addSeparator();
    registerCommand("Print", addCommand(file, "mnuFilePrint", "&Print", [this] {
        run("mnuFilePrint", "File > Print", [this] { printActiveForm(); });
    }));
    QAction *recentSeparator = file->addSeparator();
    recentSeparator->setVisible(false);
    for (int i = 1; i <= 3; ++i)
        addCommand(file, QStringLiteral("mnuFileRecent%1").arg(i), QString(), [] {})->setVisible(false);
    file->addSeparator();
    addCommand(file, "mnuFileExit", "&Exit", [this] { exitCommand(); });

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    for (const auto &[key, caption] : { std::pair { "Cut", "Cu&t" }, { "Copy", "C&opy" }, { "Paste", "&Paste" } }) {
        const QString operation = QString::fromLatin1(key);
        const QString name = QStringLiteral("mnuEdit") + operation;
        registerCommand(operation, addCommand(edit, name, QString::fromLatin1(caption), [this, name, operation] {
            run(name, QStringLiteral("Edit > ") + operation, [&] { editClipboard(operation); });
        }));
    }
    edit->addSeparator();
    registerCommand("Clear", addCommand(edit, "mnuEditClear", "Clear", [&s] { editClear(s); }));
    edit->addSeparator();
    addCommand(
        edit, "mnuEditUnits", "&Units", formCommand("mnuEditUnits", "Edit > Units", "frmUnits", m_factories.units));
    addCommand(edit, "mnuEditWellLocations", "&Well Locations", {});
    addCommand(edit, "mnuEditWaterLevelData", "Water &Level Data", {});
    addCommand(edit, "mnuEditSourceLocation", "&Source location", {});
    addCommand(edit, "mnuEditTransportData", "&Transport model data",
        formCommand("mnuEditTransportData", "Edit > Model Data", "frmTransData", m_factories.transport));

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    Handler summary;
    if (m_factories.summary)
        summary = [this] {
            // Every summary is a new document of the project as it is now.
            run("mnuViewSummary", "View > Project Summary",
                [this] { showChild(m_factories.summary(m_session, this), false); });
        };
    addCommand(view, "mnuViewSummary", "Project &Summary", summary);
    addCommand(view, "mnuViewWaterLevelContours", "&Water Level Contours", {});
    addCommand(view, "mnuViewPlumeContours", "&Plume Contours", {});
    addCommand(view, "mnuViewMinDistContours", "&Minimum Distance Contours", {});
    addCommand(view, "mnuViewWOLFContours", "W&OLF Contours", {});
    view->addSeparator();
    addCommand(view, "mnuViewSessionLog", "&Session Log File", [this] { viewSessionLog(); });
    QAction *messageCommand
        = addCommand(view, "mnuViewMessageWindow", "View Message Window", [this] { toggleMessageWindow(); });
    messageCommand->setCheckable(true);

    m_mapMenu = menuBar()->addMenu(QStringLiteral("&Map"));
    m_mapMenu->setObjectName(QStringLiteral("mnuMap"));
    // The preconditions tell the person what is missing; the calibration and plot-limits
    // dialogs open here once they exist.
    addCommand(m_mapMenu, "mnuMapSetScale", "&Set Scale", [&s] { mapSetScale(s); });
    addCommand(m_mapMenu, "mnuMapSetPlotLimits", "Set Plot &Limits", [&s] { mapSetPlotLimits(s); });
    addCommand(m_mapMenu, "mnuMapSetTitle", "Set &Title", [this] { setMapTitle(); });
    setMapMenuVisible(false);

    QMenu *runMenu = menuBar()->addMenu(QStringLiteral("&Run"));
    runMenu->setObjectName(QStringLiteral("mnuRun"));
    registerCommand("Regression", addCommand(runMenu, "mnuRunRegression", "Linear Regression Model", {}));
    registerCommand("Analytical", addCommand(runMenu, "mnuRunAnalytical", "&Analytical Model", {}));

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    addCommand(tools, "mnuToolsOptions", "Options",
        formCommand("mnuToolsOptions", "Tool > Options", "frmOptions", m_factories.options));

    QMenu *window = menuBar()->addMenu(QStringLiteral("&Window"));
    window->setObjectName(QStringLiteral("mnuWindow"));
    addCommand(window, "mnuWindowCascade", "&Cascade",
        [this] { run("mnuWindowCascade", "Window > Cascade", [this] { m_mdi->cascadeSubWindows(); }); });
    addCommand(window, "mnuWindowTileHorizontal", "Tile &Horizontal",
        [this] { run("mnuWindowTileHorizontal", "Window > Tile Horizontal", [this] { tileHorizontal(m_mdi); }); });
    addCommand(window, "mnuWindowTileVertical", "Tile &Vertical",
        [this] { run("mnuWindowTileVertical", "Window > Tile Vertical", [this] { tileVertical(m_mdi); }); });
    addCommand(window, "mnuWindowArrangeIcons", "&Arrange Icons",
        [this] { run("mnuWindowArrangeIcons", "Window > Arrange Icons", [this] { arrangeIcons(m_mdi); }); });

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    Handler contents, currentTopic, about;
    if (m_factories.help) {
        contents = [this] {
            run("mnuHelpContents", "Help > Contents",
                [this] { m_factories.help(m_session, this, HelpTopic::Contents); });
        };
        currentTopic = [this] { helpCurrentTopic(); };
    }
    if (m_factories.about)
        about = [this] { run("mnuHelpAbout", "Help > About QEL", [this] { m_factories.about(m_session, this); }); };
    addCommand(help, "mnuHelpContents", "Contents", contents);
    addCommand(help, "mnuHelpCurrentTopic", "Current Topic", currentTopic);
    help->addSeparator();
    addCommand(help, "mnuHelpAbout", "About QEL", about);
}

QAction *MainWindow::addToolButton(QToolBar *bar, const QString &key, const QString &tip, Handler handler)
{
    QAction *action = bar->addAction(toolbarIcon(key), key);
    action->setObjectName(QStringLiteral("tb") + withoutBlanks(key));
    action->setToolTip(tip);
    if (handler) {
        connect(action, &QAction::triggered, this, [this, key, handler] {
            guarded(m_session, QStringLiteral("UI:tbToolBar_ButtonClick"),
                [&] { WriteLog(m_session, QStringLiteral("Toolbar: [") + key + QStringLiteral("]")); });
            handler();
        });
    } else {
        markUnavailable(action);
    }
    return action;
}

void MainWindow::buildToolBars()
{
    QToolBar *bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setIconSize(QSize(22, 22));
    bar->setMovable(false);
    const auto menuCommand = [this](const QString &objectName) -> Handler {
        return [this, objectName] {
            if (QAction *action = command(objectName))
                action->trigger();
        };
    };
    registerCommand("New", addToolButton(bar, "New", "New project", menuCommand("mnuFileNew")));
    registerCommand("Open", addToolButton(bar, "Open", "Open project", menuCommand("mnuFileOpen")));
    registerCommand("Save", addToolButton(bar, "Save", "Save project", [this] { saveButton(m_session); }));
    bar->addSeparator();
    registerCommand("Edit", addToolButton(bar, "Edit", "Edit", {}));
    registerCommand("Print", addToolButton(bar, "Print", "Print the active window", menuCommand("mnuFilePrint")));
    bar->addSeparator();
    registerCommand("Cut", addToolButton(bar, "Cut", "Cut", menuCommand("mnuEditCut")));
    registerCommand("Copy", addToolButton(bar, "Copy", "Copy", menuCommand("mnuEditCopy")));
    registerCommand("Paste", addToolButton(bar, "Paste", "Paste", menuCommand("mnuEditPaste")));
    registerCommand("Clear", addToolButton(bar, "Clear", "Clear the project", menuCommand("mnuEditClear")));
    bar->addSeparator();
    for (const char *zoom : { "Zoom In", "Zoom Window", "Zoom Out", "Zoom Previous", "Zoom All" }) {
        const QString key = QString::fromLatin1(zoom);
        QAction *action = addToolButton(bar, key, key, [this, key] { Q_EMIT zoomRequested(key); });
        registerCommand(key, action);
        action->setEnabled(false); // until a map is shown
    }

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
    for (const char *key : { "Status", "Coords", "File" }) {
        auto *label = new QLabel(bar);
        label->setObjectName(QStringLiteral("sb") + QString::fromLatin1(key));
        label->setContentsMargins(6, 0, 6, 0);
        m_panels.insert(QString::fromLatin1(key), label);
    }
    bar->addWidget(m_panels.value("Status"), 1);
    m_panels.value("Coords")->setMinimumWidth(170);
    m_panels.value("File")->setMinimumWidth(150);
    bar->addPermanentWidget(m_panels.value("Coords"));
    bar->addPermanentWidget(m_panels.value("File"));
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
    run("mnuViewMessageWindow", "View > Message", [this] {
        if (m_message && m_message->isVisible()) {
            m_message->closeForm();
            command("mnuViewMessageWindow")->setChecked(false);
        } else {
            showMessageWindow();
        }
    });
}

void MainWindow::placeToolWindows()
{
    const QRect area = m_mdi->viewport()->rect();
    if (area.width() < 50 || area.height() < 50)
        return;
    // Wide enough for the longest step caption, but never most of the area.
    int wanted = 260;
    if (m_outline) {
        CheckTree *tree = m_outline->tree();
        wanted = tree->nodesWidth() + tree->verticalScrollBar()->sizeHint().width() + 16;
    }
    const int side = std::clamp(wanted, 200, std::max(200, area.width() * 45 / 100));
    const int outlineHeight = std::clamp(area.height() * 62 / 100, std::min(200, area.height()),
        std::max(area.height() - 150, std::min(200, area.height())));
    const auto place = [](ChildForm *form, const QRect &geometry) {
        if (!form)
            return;
        auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        if (frame && !frame->isMinimized() && !frame->isMaximized())
            frame->setGeometry(geometry);
    };
    if (!m_placedToolWindows)
        place(m_outline, QRect(0, 0, side, outlineHeight));
    const int outlineBottom
        = m_outline && m_outline->parentWidget() ? m_outline->parentWidget()->geometry().bottom() + 1 : outlineHeight;
    place(m_layers, QRect(0, outlineBottom, side, std::max(120, area.height() - outlineBottom)));
    const int messageWidth = std::clamp(area.width() * 45 / 100, 280, 520);
    const int messageHeight = std::clamp(area.height() * 3 / 10, 120, 200);
    place(m_message, QRect(area.width() - messageWidth, area.height() - messageHeight, messageWidth, messageHeight));
    m_placedToolWindows = true;
}

void MainWindow::childActivated(QMdiSubWindow *frame)
{
    if (m_tearingDown)
        return;
    auto *form = frame ? qobject_cast<ChildForm *>(frame->widget()) : nullptr;
    const QString name = form ? form->objectName() : QString();
    const bool clipboard = ClipboardForms.contains(name);
    for (const char *operation : { "Cut", "Copy", "Paste" })
        setCommandEnabled(QString::fromLatin1(operation), clipboard);
    for (QAction *action : std::as_const(m_formatActions))
        action->setEnabled(name == QLatin1String("frmDoc"));
}

// --- commands -------------------------------------------------------------------------------

void MainWindow::editClipboard(const QString &operation)
{
    ChildForm *form = activeChildForm();
    if (!form || !ClipboardForms.contains(form->objectName()))
        return;
    clipboardOperation(form->focusWidget(), operation);
}

void MainWindow::viewSessionLog()
{
    run("mnuViewSessionLog", "View > Session Log", [this] {
        const AppState &app = m_session.app;
        if (!app.NotepadPath.isEmpty()) {
            if (!QProcess::startDetached(app.NotepadPath, { app.LogFile }))
                qel::raise(ErrFileNotFound, app.NotepadPath);
        } else if (m_factories.outputViewer) {
            showChild(m_factories.outputViewer(m_session, this, app.LogFile), false);
        } else {
            QDesktopServices::openUrl(QUrl::fromLocalFile(app.LogFile));
        }
    });
}

void MainWindow::helpCurrentTopic()
{
    run("mnuHelpCurrentTopic", "Help > Current Topic", [this] {
        if (ChildForm *form = activeChildForm())
            m_session.app.HelpContext = form->helpContext();
        m_factories.help(m_session, this, m_session.app.HelpContext);
    });
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

void MainWindow::runOutlineStep(const QString &key)
{
    guarded(m_session, QStringLiteral("Outline:CallModule"), [&] {
        if (key == QLatin1String("Set units")) {
            showFactoryForm(QStringLiteral("frmUnits"), m_factories.units);
            return;
        }
        static const QHash<QString, QString> commands = {
            { "Base map", "mnuFileOpenBaseMap" },
            { "Map scale", "mnuMapSetScale" },
            { "Well locations", "mnuEditWellLocations" },
            { "Water levels", "mnuEditWaterLevelData" },
            { "Plot limits", "mnuMapSetPlotLimits" },
            { "Model data", "mnuEditTransportData" },
            { "Source location", "mnuEditSourceLocation" },
            { "Run linear regression", "mnuRunRegression" },
            { "Water level contours", "mnuViewWaterLevelContours" },
            { "Run analytical solution", "mnuRunAnalytical" },
            { "Export model results", "mnuFileExport" },
            { "View plume contours", "mnuViewPlumeContours" },
            { "View MinDist contours", "mnuViewMinDistContours" },
            { "View WOLF contours", "mnuViewWOLFContours" },
        };
        QAction *action = command(commands.value(key));
        if (action && action->isEnabled())
            action->trigger();
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

QLabel *MainWindow::statusPanel(const QString &key) const
{
    return m_panels.value(key);
}

void MainWindow::setMapMenuVisible(bool visible)
{
    m_mapMenu->menuAction()->setVisible(visible);
}

void MainWindow::setStatusPanel(const QString &key, const QString &text)
{
    if (QLabel *label = m_panels.value(key))
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

void MainWindow::setCommandEnabled(const QString &name, bool enabled)
{
    QList<QAction *> actions = m_commands.value(name);
    if (actions.isEmpty())
        if (QAction *action = command(name))
            actions << action;
    for (QAction *action : actions)
        action->setEnabled(enabled && !m_unavailable.contains(action));
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
    WindowPlacement placement;
    settings.beginGroup(QStringLiteral("Settings"));
    placement.left = settings.value(QStringLiteral("MainLeft"), placement.left).toInt();
    placement.top = settings.value(QStringLiteral("MainTop"), placement.top).toInt();
    placement.width = settings.value(QStringLiteral("MainWidth"), placement.width).toInt();
    placement.height = settings.value(QStringLiteral("MainHeight"), placement.height).toInt();
    settings.endGroup();
    return placement;
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
        const WindowPlacement p = placement();
        m_settings->beginGroup(QStringLiteral("Settings"));
        m_settings->setValue(QStringLiteral("MainLeft"), p.left);
        m_settings->setValue(QStringLiteral("MainTop"), p.top);
        m_settings->setValue(QStringLiteral("MainWidth"), p.width);
        m_settings->setValue(QStringLiteral("MainHeight"), p.height);
        m_settings->endGroup();
        m_settings->sync();
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

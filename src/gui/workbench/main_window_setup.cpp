// The main window's commands, menus, toolbars and status bar, built once when it is made.
#include "gui/workbench/main_window.h"

#include "analysis/domenico.h"
#include "analysis/regression_run.h"
#include "analysis/results_report.h"
#include "core/file_commands.h"
#include "core/help_topics.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "gui/dialogs/plume_uncertainty_dialog.h"
#include "gui/map/calibration_dialog.h"
#include "gui/map/map_window.h"
#include "gui/workbench/drawn_icons.h"
#include "gui/workbench/menu_table.h"
#include "gui/workbench/window_arrangement.h"
#include "input/import_wizard.h"
#include "map/map_display.h"
#include "views/exact_plume_export.h"
#include "views/gis_export.h"

#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace qel::gui {

namespace {

const QStringList FormatKeys = { "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right" };

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
        Command::ViewDetectionContours, formCommand(QStringLiteral("frmDetection"), m_factories.detectionContours));
    c.setHandler(
        Command::ViewExactPlumeContours, formCommand(QStringLiteral("frmExactPlume"), m_factories.exactPlumeContours));
    c.setHandler(Command::ViewExactDifferenceContours,
        formCommand(QStringLiteral("frmExactDifference"), m_factories.exactDifferenceContours));
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
    c.setHandler(Command::RunPlumeUncertainty, [this, &s] { runPlumeUncertaintyClicked(s, this); });
    c.setHandler(Command::RunExactPlume, [&s] { runExactPlume(s); });
    c.setHandler(Command::FileExport, [&s] { ExportAnalyticalResults(s); });
    c.setHandler(Command::FileExportGis, [&s] { exportGisClicked(s); });
    c.setHandler(Command::ViewRegressionOutput, [&s] { OpenRegressionOutputFiles(s); });
    c.setHandler(Command::ToolsOptions, formCommand(QStringLiteral("frmOptions"), m_factories.options));
    c.setHandler(Command::WindowCascade, [this] { m_mdi->cascadeSubWindows(); });
    c.setHandler(Command::WindowTile, [this] { m_mdi->tileSubWindows(); });
    c.setHandler(Command::WindowTileHorizontal, [this] { tileHorizontal(m_mdi); });
    c.setHandler(Command::WindowTileVertical, [this] { tileVertical(m_mdi); });
    c.setHandler(Command::WindowArrangeIcons, [this] { arrangeIcons(m_mdi); });
    c.setHandler(Command::WindowClose, [this] { closeActiveWindow(); });
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
            if (item.kind == MenuItemKind::WindowList) {
                m_windowMenu = menu;
                m_windowListSeparator = menu->addSeparator();
                m_windowListSeparator->setVisible(false);
                // Also right before it opens, whatever changed the windows' titles meanwhile.
                connect(menu, &QMenu::aboutToShow, this, &MainWindow::refreshWindowList);
                continue;
            }
            QAction *action = menu->addAction(QString::fromLatin1(item.caption));
            const QString name = QString::fromLatin1(item.objectName);
            action->setObjectName(name);
            if (item.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
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
    // Shown with the bar; the front end answers its click (and Esc) while long work polls.
    auto *cancel = new QToolButton(bar);
    cancel->setObjectName(QStringLiteral("cmdCancelWork"));
    cancel->setText(QStringLiteral("Cancel"));
    cancel->setToolTip(QStringLiteral("Cancel the work under way (Esc)"));
    cancel->setAutoRaise(true);
    cancel->setVisible(false);
    bar->addPermanentWidget(cancel);
}

} // namespace qel::gui

#pragma once

#include "core/session.h"
#include "core/workflow_steps.h"
#include "gui/workbench/child_placement.h"
#include "gui/workbench/command_registry.h"
#include "gui/workbench/placement_store.h"
#include "gui/workbench/window_factories.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QSettings;

namespace qel::gui {

class ChildForm;
class LayerWindow;
class MessageWindow;
class OutlineWindow;

// frmUserInterface: the workbench's frame with its menus, toolbar, status bar and document area,
// which holds the outline, layer and message windows and every other child window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // settings: where the window placement is kept; see PlacementStore when null.
    MainWindow(
        Session &session, WindowFactories factories = {}, QSettings *settings = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    Session &session() const { return m_session; }
    QMdiArea *mdiArea() const { return m_mdi; }

    // Places a form in the document area and shows it. A single-instance form whose objectName
    // is already open brings that window to the front instead, and the new one is discarded.
    // A new single-instance form (a dialog) opens centred over the area, or where the person left
    // it before in this session; a new document cascades from the top-left of freeArea(). Every
    // window shown is fitted inside the visible part of the area.
    QMdiSubWindow *showChild(ChildForm *form, bool singleInstance = true);
    ChildForm *activeChildForm() const;
    ChildForm *findChildForm(const QString &objectName) const;

    OutlineWindow *outlineWindow() const;
    LayerWindow *layerWindow() const;
    MessageWindow *messageWindow() const;

    // A menu entry or toolbar button by objectName ("mnuFileOpen", "tbZoomIn").
    QAction *command(const QString &objectName) const;
    // The document formatting buttons "Bold", "Italic", "Underline", "Align Left", "Center",
    // "Align Right" (checkable; enabled only while a document window is active).
    QAction *formatAction(const QString &key) const;
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *statusPanel(StatusPanel panel) const;
    void setMapMenuVisible(bool visible);

    // Window state the front end changes for the procedures.
    void setStatusPanel(StatusPanel panel, const QString &text);
    void messageAdded(const QString &line);
    void messagesCleared();
    // Commands not built yet stay disabled.
    void setCommandEnabled(Command command, bool enabled);
    const CommandRegistry &commands() const { return m_commands; }
    void refreshOutline();
    void refreshLayers();
    void closeMapWindow();
    // A text file in a new viewer window under the caption.
    void showTextFile(const QString &path, const QString &caption);

    // An outline step, dispatched to the command that carries it out.
    // A step whose command is not built yet says so instead of doing nothing.
    void runOutlineStep(Step step);
    // Lays out the outline, layer and message windows along the document area's edges, and the
    // map window beside them while it is where placeMapWindow put it.
    void placeToolWindows();
    // The part of the document area beside the outline and above the message window, where the
    // map and new documents go; the whole area when that part is too small for them.
    QRect freeArea() const;
    // The map window's frame takes the free area and follows it from then on, until the person
    // moves or resizes it.
    void placeMapWindow(QMdiSubWindow *frame);
    // The document area's part on the screen, in its viewport's coordinates (the whole viewport
    // when the screen cannot tell).
    QRect visibleArea() const;

    static WindowPlacement storedPlacement(QSettings &settings);
    WindowPlacement placement() const;
    void setPlacement(const WindowPlacement &placement);
    void placeForFirstStart();

Q_SIGNALS:
    // A zoom button of the map ("Zoom In", "Zoom Window", ...); the map window carries it out.
    void zoomRequested(qel::Command zoom);

protected:
    void closeEvent(QCloseEvent *event) override;
    // The tool windows follow the document area's edges when it is resized.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = CommandRegistry::Handler;

    void installHandlers();
    void buildMenus();
    void buildToolBars();
    void buildStatusBar();
    // Writes the log text under the menu handler's failure tag, then runs the command.
    void run(const QString &objectName, const QString &logText, const Handler &body);
    Handler formCommand(const QString &form, const WindowFactories::FormFactory &factory);
    void showFactoryForm(const QString &objectName, const WindowFactories::FormFactory &factory);

    void editClipboard(Command command);
    void viewSessionLog();
    void toggleMessageWindow();
    void showMessageWindow();
    void helpCurrentTopic();
    void printActiveForm();
    void setMapTitle();
    void exitCommand();
    void closeActiveWindow();
    void leaveCloseKeyToMenu(QMdiSubWindow *frame);
    void childActivated(QMdiSubWindow *window);
    // The Window menu's list of open windows, rebuilt once the events that changed it are done.
    void scheduleWindowList();
    void refreshWindowList();

    int toPixels(int twips, bool horizontal) const;
    int toTwips(int pixels, bool horizontal) const;

    Session &m_session;
    WindowFactories m_factories;
    PlacementStore m_placementStore;
    QMdiArea *m_mdi;
    QMenu *m_mapMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QAction *m_windowListSeparator = nullptr;
    QList<QAction *> m_windowListActions;
    bool m_windowListPending = false;
    DialogPlaces m_dialogPlaces;
    QList<QPointer<QMdiSubWindow>> m_documents; // cascaded by showChild
    int m_cascade = 0; // the next document's step down the cascade
    QRect m_outlineLaidOut; // the outline's frame as placeToolWindows left it
    QRect m_mapLaidOut; // the map's frame as placeMapWindow left it
    QProgressBar *m_progress = nullptr;
    QHash<int, QLabel *> m_panels; // by StatusPanel
    CommandRegistry m_commands;
    QHash<QString, QAction *> m_formatActions;
    QPointer<OutlineWindow> m_outline;
    QPointer<LayerWindow> m_layers;
    QPointer<MessageWindow> m_message;
    bool m_exitAsked = false;
    bool m_placedToolWindows = false;
    bool m_tearingDown = false;
};

} // namespace qel::gui

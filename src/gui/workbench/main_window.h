#pragma once

#include "core/session.h"
#include "gui/workbench/window_factories.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QSettings;
class QToolBar;

namespace qel::gui {

class ChildForm;
class LayerWindow;
class MessageWindow;
class OutlineWindow;

// Placement of the main window in the settings store's units (1/1440 inch).
struct WindowPlacement {
    int left = 1000;
    int top = 1000;
    int width = 10000;
    int height = 8000;
};

// frmUserInterface: the workbench's frame with its menus, toolbar, status bar and document area,
// which holds the outline, layer and message windows and every other child window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // settings: where the window placement is kept; the user's own settings store when null.
    MainWindow(
        Session &session, WindowFactories factories = {}, QSettings *settings = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    Session &session() const { return m_session; }
    QMdiArea *mdiArea() const { return m_mdi; }

    // Places a form in the document area and shows it. A single-instance form whose objectName
    // is already open brings that window to the front instead, and the new one is discarded.
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
    QLabel *statusPanel(const QString &key) const;
    void setMapMenuVisible(bool visible);

    // Window state the front end changes for the procedures.
    void setStatusPanel(const QString &key, const QString &text);
    void messageAdded(const QString &line);
    void messagesCleared();
    // command: a toolbar key or menu short name ("New", "Cut", "Zoom In", "Analytical"), or an
    // objectName. Commands not built yet stay disabled.
    void setCommandEnabled(const QString &command, bool enabled);
    void refreshOutline();
    void refreshLayers();
    void closeMapWindow();

    // An outline step, dispatched to the command that carries it out.
    void runOutlineStep(const QString &key);
    // Lays out the outline, layer and message windows along the document area's edges.
    void placeToolWindows();

    static WindowPlacement storedPlacement(QSettings &settings);
    WindowPlacement placement() const;
    void setPlacement(const WindowPlacement &placement);
    void placeForFirstStart();

Q_SIGNALS:
    // A zoom button of the map ("Zoom In", "Zoom Window", ...); the map window carries it out.
    void zoomRequested(const QString &key);

protected:
    void closeEvent(QCloseEvent *event) override;
    // The tool windows follow the document area's edges when it is resized.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = std::function<void()>;

    void buildMenus();
    void buildToolBars();
    void buildStatusBar();
    QAction *addCommand(QMenu *menu, const QString &objectName, const QString &caption, Handler handler);
    QAction *addToolButton(QToolBar *bar, const QString &key, const QString &tip, Handler handler);
    // Writes the log text under the menu handler's failure tag, then runs the command.
    void run(const QString &objectName, const QString &logText, const Handler &body);
    void registerCommand(const QString &name, QAction *action);
    void markUnavailable(QAction *action);
    void showFactoryForm(const QString &objectName, const WindowFactories::FormFactory &factory);

    void editClipboard(const QString &operation);
    void viewSessionLog();
    void toggleMessageWindow();
    void showMessageWindow();
    void helpCurrentTopic();
    void printActiveForm();
    void setMapTitle();
    void exitCommand();
    void childActivated(QMdiSubWindow *window);

    int toPixels(int twips, bool horizontal) const;
    int toTwips(int pixels, bool horizontal) const;

    Session &m_session;
    WindowFactories m_factories;
    std::unique_ptr<QSettings> m_ownSettings;
    QSettings *m_settings;
    QMdiArea *m_mdi;
    QMenu *m_mapMenu = nullptr;
    QProgressBar *m_progress = nullptr;
    QHash<QString, QLabel *> m_panels;
    QHash<QString, QList<QAction *>> m_commands;
    QHash<QString, QAction *> m_formatActions;
    QSet<QAction *> m_unavailable;
    QPointer<OutlineWindow> m_outline;
    QPointer<LayerWindow> m_layers;
    QPointer<MessageWindow> m_message;
    bool m_exitAsked = false;
    bool m_placedToolWindows = false;
    bool m_tearingDown = false;
};

} // namespace qel::gui

#pragma once

#include "core/session.h"
#include "gui/common/child_form.h"
#include "gui/workbench/main_window.h"
#include "support/scripted_frontend.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace qel::test {

// The scripted front end, also passing window state on to the main window as the workbench's
// own front end does, so tests see the status bar, commands and trees change.
class WindowTestFrontend : public ScriptedFrontend {
public:
    gui::MainWindow *window = nullptr;
    // The map window opens as in the workbench and picks points there instead of from the queue.
    bool mapWindows = false;

    void setStatusPanel(StatusPanel panel, const QString &text) override;
    void messageAdded(const QString &line) override;
    void messagesCleared() override;
    void setCommandEnabled(Command command, bool enabled) override;
    void outlineChanged() override;
    void layersChanged() override;
    void showMapWindow() override;
    void closeMapWindow() override;
    std::optional<QPointF> pickMapPoint(const QString &prompt) override;
};

// A started session in a temporary application folder with a main window on a temporary
// settings store.
class WorkbenchTest : public ::testing::Test {
protected:
    WorkbenchTest();
    ~WorkbenchTest() override;

    // Builds (or rebuilds) the main window with the given factories and shows it.
    gui::MainWindow &makeWindow(gui::WindowFactories factories = {});
    QString home() const { return dir.path() + u'/'; }
    // A project folder (site/ in the application folder), assigned as if the project was saved.
    void useProjectFolder();
    // The workbench with its real windows, active.
    void makeWorkbench();
    // Runs a menu command and returns the child window it made active, as W; its controls are the
    // ones control() and click() reach.
    template<typename W> W *openFrom(const QString &command)
    {
        window->command(command)->trigger();
        QApplication::processEvents();
        form = window->activeChildForm();
        EXPECT_NE(qobject_cast<W *>(form), nullptr) << command.toStdString();
        return qobject_cast<W *>(form);
    }
    template<typename W> W *control(const QString &name) const
    {
        W *found = form ? form->findChild<W *>(name) : nullptr;
        EXPECT_NE(found, nullptr) << name.toStdString() << " in "
                                  << (form ? form->objectName().toStdString() : "no window");
        return found;
    }
    // Clicks the button and lets the window react, closing itself included.
    void click(const QString &button) const;
    // Log lines written since the window was made.
    QStringList newLogLines() const;
    QString settingsFile() const { return home() + QStringLiteral("settings.ini"); }

    QTemporaryDir dir;
    WindowTestFrontend frontend;
    std::unique_ptr<Session> session;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<gui::MainWindow> window;
    QPointer<gui::ChildForm> form;
    qsizetype logMark = 0;
};

// Runs the events queued so far, closing windows deleted later included.
void settle();

// A child window standing in for the ones other parts build.
class FakeForm : public gui::ChildForm {
public:
    FakeForm(Session &session, const QString &name, int helpContext);
};

} // namespace qel::test

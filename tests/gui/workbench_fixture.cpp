#include "gui/workbench_fixture.h"

#include "core/startup.h"
#include "gui/map/map_window.h"
#include "gui/workbench/workbench_windows.h"
#include "support/test_session.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qel::test {

void WindowTestFrontend::setStatusPanel(StatusPanel panel, const QString &text)
{
    ScriptedFrontend::setStatusPanel(panel, text);
    if (window)
        window->setStatusPanel(panel, text);
}

void WindowTestFrontend::messageAdded(const QString &line)
{
    ScriptedFrontend::messageAdded(line);
    if (window)
        window->messageAdded(line);
}

void WindowTestFrontend::messagesCleared()
{
    ScriptedFrontend::messagesCleared();
    if (window)
        window->messagesCleared();
}

void WindowTestFrontend::setCommandEnabled(Command command, bool enabled)
{
    ScriptedFrontend::setCommandEnabled(command, enabled);
    if (window)
        window->setCommandEnabled(command, enabled);
}

void WindowTestFrontend::outlineChanged()
{
    if (window)
        window->refreshOutline();
}

void WindowTestFrontend::layersChanged()
{
    if (window)
        window->refreshLayers();
}

void WindowTestFrontend::showMapWindow()
{
    if (mapWindows && window)
        gui::showMapWindow(*window);
}

void WindowTestFrontend::closeMapWindow()
{
    ScriptedFrontend::closeMapWindow();
    if (mapWindows && window)
        window->closeMapWindow();
}

std::optional<QPointF> WindowTestFrontend::pickMapPoint(const QString &prompt)
{
    if (!mapWindows || !window)
        return ScriptedFrontend::pickMapPoint(prompt);
    gui::MapWindow *map = gui::findMapWindow(*window);
    return map ? map->canvas()->pickPoint(prompt) : std::nullopt;
}

void WorkbenchTest::useProjectFolder()
{
    ProjectModel &m = session->model;
    m.ProjectDir = home() + QStringLiteral("site/");
    QDir().mkpath(m.ProjectDir);
    m.ProjectDirAssigned = true;
}

void WorkbenchTest::makeWorkbench()
{
    makeWindow(gui::workbenchWindowFactories());
    QApplication::setActiveWindow(window.get());
}

WorkbenchTest::WorkbenchTest()
{
    QFile ini(home() + QStringLiteral("QEL.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[QEL]\r\n");
    ini.close();
    session = std::make_unique<Session>(frontend, dir.path());
    startUp(*session);
    frontend.boxes.clear();
    settings = std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
    // Room for the child windows: 1000 x 700 pixels on a 96 dpi screen.
    settings->setValue(QStringLiteral("Settings/MainWidth"), 15000);
    settings->setValue(QStringLiteral("Settings/MainHeight"), 10500);
}

WorkbenchTest::~WorkbenchTest()
{
    frontend.window = nullptr;
    window.reset();
}

gui::MainWindow &WorkbenchTest::makeWindow(gui::WindowFactories factories)
{
    frontend.window = nullptr;
    window.reset();
    window = std::make_unique<gui::MainWindow>(*session, std::move(factories), settings.get());
    frontend.window = window.get();
    window->show();
    QApplication::processEvents();
    logMark = readBytes(home() + QStringLiteral("QEL.LOG")).size();
    return *window;
}

void WorkbenchTest::click(const QString &button) const
{
    if (auto *pressed = control<QAbstractButton>(button))
        pressed->click();
    settle();
}

QStringList WorkbenchTest::newLogLines() const
{
    const QString log = QString::fromUtf8(readBytes(home() + QStringLiteral("QEL.LOG")).mid(logMark));
    QStringList lines = log.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

FakeForm::FakeForm(Session &session, const QString &name, int helpContext)
    : ChildForm(session, name, helpContext)
{
    setObjectName(name);
    setWindowTitle(name);
    auto *layout = new QVBoxLayout(this);
    auto *field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("txtField"));
    layout->addWidget(field);
}

} // namespace qel::test

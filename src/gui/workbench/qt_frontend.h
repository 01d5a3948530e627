#pragma once

#include "core/frontend.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAbstractButton;
class QWidget;

namespace qel::gui {

class MainWindow;

// The workbench's front end: Qt message boxes, file and input dialogs, the busy pointer, and
// the main window's status bar, message window, commands and trees.
class QtFrontend : public Frontend {
public:
    // The main window is attached once it exists; until then questions have no parent window.
    void attach(MainWindow *window) { m_window = window; }
    // The map window picks points on the map once it exists.
    void setMapPointPicker(std::function<std::optional<QPointF>(const QString &)> picker)
    {
        m_picker = std::move(picker);
    }

    void setStatusPanel(StatusPanel panel, const QString &text) override;
    void messageAdded(const QString &line) override;
    void messagesCleared() override;
    MsgAnswer messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon) override;
    FileDialogAnswer openFileDialog(const FileDialogRequest &request) override;
    FileDialogAnswer saveFileDialog(const FileDialogRequest &request) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void setBusy(bool busy) override;
    std::optional<QPointF> pickMapPoint(const QString &prompt) override;
    void setCommandEnabled(Command command, bool enabled) override;
    void outlineChanged() override;
    void layersChanged() override;
    void closeMapWindow() override;
    void showMapWindow() override;
    void showTextFile(const QString &path, const QString &caption) override;
    bool openWithDefaultApplication(const QString &path) override;
    void beginProgress(const QString &text) override;
    void setProgress(double fraction) override;
    void endProgress() override;
    void processPendingEvents() override;
    bool cancelRequested() override { return m_cancelRequested; }

private:
    QWidget *dialogParent() const;
    FileDialogAnswer fileDialog(const FileDialogRequest &request, bool save);

    QPointer<MainWindow> m_window;
    std::function<std::optional<QPointF>(const QString &)> m_picker;
    bool m_busy = false;
    // Long work: its Cancel button, and what passes only the click on it (and Esc) while the work
    // lets the windows repaint.
    QPointer<QAbstractButton> m_cancelButton;
    std::unique_ptr<QObject> m_cancelWatch;
    bool m_cancelRequested = false;
};

// "Text|*.a;*.b|Text|*.c" as Qt name filters ("Text (*.a *.b)"), one per entry.
QStringList qtNameFilters(const QString &filter);

} // namespace qel::gui

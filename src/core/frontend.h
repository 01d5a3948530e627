#pragma once

#include "core/commands.h"

#include <QPointF>
#include <QString>

#include <optional>

namespace qel {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

// A file dialog as a procedure asks for it. The filter uses the "Text|*.a;*.b|Text|*.c" form.
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultExt;
    QString initialDir;
    QString initialName;
    bool folder = false; // a folder is chosen rather than a file
    int initialFilter = 1; // 1-based entry of the filter shown first
};

struct FileDialogAnswer {
    bool accepted = false;
    QString path;
    int filterIndex = 1; // 1-based entry of the filter the person had selected
};

// Everything a procedure asks of the person or shows to them. The workbench, batch runs and
// tests each implement it; procedures never reach a window any other way.
class Frontend {
public:
    virtual ~Frontend() = default;

    virtual void setStatusPanel(StatusPanel panel, const QString &text) = 0;
    // The message window got one more line, or was emptied.
    virtual void messageAdded(const QString &line) = 0;
    virtual void messagesCleared() = 0;
    virtual MsgAnswer messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon) = 0;
    virtual FileDialogAnswer openFileDialog(const FileDialogRequest &request) = 0;
    virtual FileDialogAnswer saveFileDialog(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText)
        = 0;
    virtual void setBusy(bool busy) = 0;
    virtual std::optional<QPointF> pickMapPoint(const QString &prompt) = 0;
    // A save dialog's answer was given before the work began (a batch run's command line names
    // its outputs), so writing onto an existing file needs no further question.
    virtual bool saveAnswersAreConsent() const { return false; }
    // Nobody watches the steps or cancels them (a batch run): a step's large file may then be
    // finished on another core while the steps after it run.
    virtual bool runsUnattended() const { return false; }

    // Window state the procedures change; the batch and scripted front ends ignore them.
    virtual void setCommandEnabled(Command /*command*/, bool /*enabled*/) { }
    virtual void outlineChanged() { }
    virtual void layersChanged() { }
    virtual void closeMapWindow() { }
    // A text file in a viewer window of its own under the given caption.
    virtual void showTextFile(const QString & /*path*/, const QString & /*caption*/) { }
    // Opens a file in the application the desktop uses for its kind (the default text editor for
    // a text file); false when there is none or no desktop.
    virtual bool openWithDefaultApplication(const QString & /*path*/) { return false; }
    // The map window shows the drawing component (opened, or brought to the front).
    virtual void showMapWindow() { }
    // Long work: it began (with its status text), got this far (0..1), ended.
    virtual void beginProgress(const QString & /*text*/) { }
    virtual void setProgress(double /*fraction*/) { }
    virtual void endProgress() { }
    // Lets the windows repaint in the middle of long work; the person's input waits, except a
    // request to cancel the work.
    virtual void processPendingEvents() { }
    // Whether the person asked to cancel the long work under way (from its beginProgress on).
    // Batch runs and other front ends without a person never cancel.
    virtual bool cancelRequested() { return false; }
};

} // namespace qel

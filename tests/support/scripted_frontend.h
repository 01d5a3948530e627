#pragma once

#include "core/frontend.h"

#include <QStringList>

#include <deque>

namespace qel::test {

// A front end for tests: answers come from queues filled by the test (a question with nothing
// queued fails the test), and every call is recorded so the test can check what was shown. An
// error box fails the test too unless the test said it provokes errors (expectErrors).
class ScriptedFrontend : public Frontend {
public:
    struct Box {
        QString text;
        QString title;
        MsgButtons buttons;
        MsgIcon icon;
    };

    std::deque<MsgAnswer> answers;
    std::deque<FileDialogAnswer> fileAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<QPointF>> pickAnswers;
    // Set by a test that provokes error boxes; any other error box is a failure.
    bool expectErrors = false;
    // Long work is cancelled at the poll after this many (0: at the first); never when negative.
    // cancelPolls counts the polls either way.
    int cancelAfterPolls = -1;
    int cancelPolls = 0;
    // As a batch run: nobody watches the steps, so a step may finish its file behind the next.
    bool unattended = false;

    std::vector<Box> boxes;
    std::vector<FileDialogRequest> fileRequests;
    QStringList messageLines;
    QStringList statusTexts;
    QString panelStatus, panelCoords, panelFile;
    QList<Command> disabledCommands;
    bool busy = false;
    int mapWindowsClosed = 0;
    int progressBegun = 0, progressEnded = 0, eventPumps = 0;
    std::vector<double> progressFractions;
    // Files shown in a viewer: there is no desktop application to open them in.
    QStringList shownFiles;

    void queueFile(const QString &path, int filterIndex = 1) { fileAnswers.push_back({ true, path, filterIndex }); }
    void queueCancelledFile() { fileAnswers.push_back({}); }

    void setStatusPanel(StatusPanel panel, const QString &text) override;
    void messageAdded(const QString &line) override { messageLines << line; }
    void messagesCleared() override { messageLines.clear(); }
    MsgAnswer messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon) override;
    FileDialogAnswer openFileDialog(const FileDialogRequest &request) override;
    FileDialogAnswer saveFileDialog(const FileDialogRequest &request) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void setBusy(bool on) override { busy = on; }
    std::optional<QPointF> pickMapPoint(const QString &prompt) override;
    void setCommandEnabled(Command command, bool enabled) override;
    void closeMapWindow() override { ++mapWindowsClosed; }
    void beginProgress(const QString &) override { ++progressBegun; }
    void setProgress(double fraction) override { progressFractions.push_back(fraction); }
    void endProgress() override { ++progressEnded; }
    void processPendingEvents() override { ++eventPumps; }
    bool runsUnattended() const override { return unattended; }
    bool cancelRequested() override
    {
        const int poll = cancelPolls++;
        return cancelAfterPolls >= 0 && poll >= cancelAfterPolls;
    }
    void showTextFile(const QString &path, const QString &) override { shownFiles << path; }
    bool openWithDefaultApplication(const QString &) override { return false; }

    // Texts of the boxes shown so far with the given icon.
    QStringList boxTexts(MsgIcon icon) const;
};

} // namespace qel::test

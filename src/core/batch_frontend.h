#pragma once

#include "core/frontend.h"

#include <QMap>
#include <QSet>

#include <cstdio>
#include <functional>

namespace qel {

// The front end of `qel --batch`: nobody to ask, so every question gets its safe default (No,
// Cancel), a file dialog gets the proposed name, errors and warnings go to stderr and message
// lines to stdout.
class BatchFrontend : public Frontend {
public:
    explicit BatchFrontend(std::FILE *out = stdout, std::FILE *err = stderr)
        : m_out(out)
        , m_err(err)
    {
    }

    void setStatusPanel(StatusPanel, const QString &) override { }
    void messageAdded(const QString &line) override;
    void messagesCleared() override { }
    MsgAnswer messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon) override;
    FileDialogAnswer openFileDialog(const FileDialogRequest &request) override;
    FileDialogAnswer saveFileDialog(const FileDialogRequest &request) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void setBusy(bool) override { }
    std::optional<QPointF> pickMapPoint(const QString &) override { return std::nullopt; }
    bool saveAnswersAreConsent() const override { return true; }
    bool runsUnattended() const override { return true; }

    // The save dialog that proposes proposedName is answered with path (absolute) instead: a
    // replayed step then writes where the command line said.
    void answerSaveDialog(const QString &proposedName, const QString &path);
    // Whether such a dialog was asked, and so answered with the given path.
    bool answeredSaveDialog(const QString &proposedName) const { return m_answered.contains(proposedName); }
    // Asked before a given answer is used: false keeps the answer back, as a cancelled dialog.
    void guardSaveAnswers(std::function<bool(const QString &proposedName, const QString &path)> mayUse)
    {
        m_mayUse = std::move(mayUse);
    }

    static MsgAnswer safeDefault(MsgButtons buttons);
    // One line of text and a line end, flushed at once.
    static void print(std::FILE *stream, const QString &text);

private:
    std::FILE *m_out;
    std::FILE *m_err;
    QMap<QString, QString> m_saveAnswers; // proposed name -> path
    QSet<QString> m_answered;
    std::function<bool(const QString &, const QString &)> m_mayUse;
};

} // namespace qel

#include "support/scripted_frontend.h"

#include <gtest/gtest.h>

namespace qel::test {

namespace {

// The next queued answer; a question nothing was queued for fails the test and gets `none`.
template<typename T> T takeAnswer(std::deque<T> &queue, const char *what, const QString &detail, T none = {})
{
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected " << what << ": " << detail.toStdString();
        return none;
    }
    T answer = queue.front();
    queue.pop_front();
    return answer;
}

} // namespace

void ScriptedFrontend::setStatusPanel(StatusPanel panel, const QString &text)
{
    switch (panel) {
    case StatusPanel::Status:
        panelStatus = text;
        statusTexts << text;
        break;
    case StatusPanel::Coords: panelCoords = text; break;
    case StatusPanel::File: panelFile = text; break;
    }
}

MsgAnswer ScriptedFrontend::messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon)
{
    boxes.push_back({ text, title, buttons, icon });
    if (icon == MsgIcon::Error && !expectErrors)
        ADD_FAILURE() << "unexpected error box: " << text.toStdString();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return takeAnswer(answers, "question", title + QStringLiteral(": ") + text,
        buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel);
}

FileDialogAnswer ScriptedFrontend::openFileDialog(const FileDialogRequest &request)
{
    fileRequests.push_back(request);
    return takeAnswer(fileAnswers, "file dialog", request.title);
}

FileDialogAnswer ScriptedFrontend::saveFileDialog(const FileDialogRequest &request)
{
    return openFileDialog(request);
}

std::optional<QString> ScriptedFrontend::inputBox(const QString &prompt, const QString &, const QString &)
{
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    // Taken apart rather than copied whole: GCC warns of a maybe-uninitialized QString otherwise.
    const bool given = inputAnswers.front().has_value();
    const QString text = given ? *inputAnswers.front() : QString();
    inputAnswers.pop_front();
    return given ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QPointF> ScriptedFrontend::pickMapPoint(const QString &prompt)
{
    return takeAnswer(pickAnswers, "map pick", prompt);
}

void ScriptedFrontend::setCommandEnabled(Command command, bool enabled)
{
    disabledCommands.removeAll(command);
    if (!enabled)
        disabledCommands << command;
}

QStringList ScriptedFrontend::boxTexts(MsgIcon icon) const
{
    QStringList texts;
    for (const Box &box : boxes)
        if (box.icon == icon)
            texts << box.text;
    return texts;
}

} // namespace qel::test

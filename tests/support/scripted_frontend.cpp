#include "support/scripted_frontend.h"

#include <gtest/gtest.h>

namespace qel::test {

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
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << title.toStdString() << ": " << text.toStdString();
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

FileDialogAnswer ScriptedFrontend::openFileDialog(const FileDialogRequest &request)
{
    fileRequests.push_back(request);
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.title.toStdString();
        return {};
    }
    const FileDialogAnswer answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
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
    const bool given = inputAnswers.front().has_value();
    const QString text = given ? *inputAnswers.front() : QString();
    inputAnswers.pop_front();
    return given ? std::optional<QString>(text) : std::nullopt;
}

void ScriptedFrontend::setBusy(bool on)
{
    ++busyCalls;
    busy = on;
}

std::optional<QPointF> ScriptedFrontend::pickMapPoint(const QString &prompt)
{
    if (pickAnswers.empty()) {
        ADD_FAILURE() << "unexpected map pick: " << prompt.toStdString();
        return std::nullopt;
    }
    auto answer = pickAnswers.front();
    pickAnswers.pop_front();
    return answer;
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

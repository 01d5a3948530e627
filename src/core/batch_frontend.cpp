#include "core/batch_frontend.h"

#include <QFileInfo>

namespace qel {

void BatchFrontend::print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void BatchFrontend::messageAdded(const QString &line)
{
    print(m_out, line);
}

MsgAnswer BatchFrontend::safeDefault(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::OkCancel: return MsgAnswer::Cancel;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    case MsgButtons::RetryCancel: return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

MsgAnswer BatchFrontend::messageBox(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon)
{
    const MsgAnswer answer = safeDefault(buttons);
    if (buttons != MsgButtons::Ok) {
        print(m_err,
            QStringLiteral("%1: %2\n(answered %3 in batch mode)")
                .arg(title, text, answer == MsgAnswer::No ? QStringLiteral("No") : QStringLiteral("Cancel")));
    } else if (icon == MsgIcon::Error || icon == MsgIcon::Warning) {
        print(m_err, text);
    } else {
        print(m_out, text);
    }
    return answer;
}

FileDialogAnswer BatchFrontend::openFileDialog(const FileDialogRequest &request)
{
    FileDialogAnswer answer;
    if (request.initialName.isEmpty())
        return answer;
    answer.accepted = true;
    answer.path
        = QFileInfo(request.initialName).isAbsolute() ? request.initialName : request.initialDir + request.initialName;
    return answer;
}

void BatchFrontend::answerSaveDialog(const QString &proposedName, const QString &path)
{
    m_saveAnswers.insert(proposedName, path);
}

FileDialogAnswer BatchFrontend::saveFileDialog(const FileDialogRequest &request)
{
    const auto given = m_saveAnswers.constFind(request.initialName);
    if (given == m_saveAnswers.constEnd())
        return openFileDialog(request);
    m_answered.insert(request.initialName);
    FileDialogAnswer answer;
    answer.accepted = !m_mayUse || m_mayUse(request.initialName, *given);
    if (answer.accepted)
        answer.path = *given;
    return answer;
}

std::optional<QString> BatchFrontend::inputBox(const QString &, const QString &, const QString &defaultText)
{
    return defaultText;
}

} // namespace qel

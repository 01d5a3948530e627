#include "core/replace_question.h"

#include "core/reporting.h"

#include <QDir>
#include <QFileInfo>

namespace qel {

namespace {

// A folder of many grids would give a box taller than the screen.
constexpr qsizetype MaxNamesShown = 12;

QString namesText(const QStringList &names)
{
    QStringList shown = names.mid(0, MaxNamesShown);
    if (names.size() > MaxNamesShown)
        shown << QStringLiteral("... and %1 more").arg(names.size() - MaxNamesShown);
    return shown.join(QStringLiteral("\r\n"));
}

} // namespace

bool mayReplaceFiles(Session &session, const QString &folder, const QStringList &names)
{
    if (names.isEmpty())
        return true;
    const QString where = QDir::toNativeSeparators(QDir::cleanPath(folder));
    const QString text = names.size() == 1
        ? QStringLiteral("Overwrite existing file?\r\n\r\n") + QDir::toNativeSeparators(QDir(where).filePath(names[0]))
        : QStringLiteral("Overwrite existing files in %1?\r\n\r\n").arg(where) + namesText(names);
    const bool yes
        = session.frontend().messageBox(text, QStringLiteral("Overwrite?"), MsgButtons::YesNo, MsgIcon::Question)
        == MsgAnswer::Yes;
    WriteLog(session,
        (yes ? QStringLiteral("Overwrite file? [Yes] ") : QStringLiteral("Overwrite file? [No] "))
            + (names.size() == 1 ? QDir(where).filePath(names[0]) : where));
    return yes;
}

FileDialogAnswer chooseFileToWrite(Session &session, FileDialogRequest request, const WrittenPath &writtenPath)
{
    const bool batch = session.frontend().saveAnswersAreConsent();
    for (;;) {
        FileDialogAnswer answer = session.frontend().saveFileDialog(request);
        if (!answer.accepted)
            return answer;
        if (writtenPath)
            answer.path = writtenPath(answer);
        const QFileInfo file(answer.path);
        if (batch || !file.exists() || file.isDir()
            || mayReplaceFiles(session, file.absolutePath(), { file.fileName() }))
            return answer;
        request.initialDir = file.absolutePath() + u'/'; // folders are passed with their separator
        request.initialName = file.fileName();
    }
}

} // namespace qel

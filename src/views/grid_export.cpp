#include "views/grid_export.h"

#include "core/batch_run.h"
#include "core/replace_question.h"
#include "core/reporting.h"
#include "core/whole_file.h"

#include <QFileInfo>
#include <QProcess>

#include <cmath>

namespace qel {

namespace {

using Grid = decltype(ProjectModel::MinDistGrid);

// Where the two exports differ; everything else is one procedure.
struct GridExportKind {
    const char *view; // the view's tag in reports and the log
    const char *writer; // the writing procedure's name in reports
    Grid ProjectModel::*grid;
    QString ProjectModel::*path;
    const char *proposedName;
    int decimals;
    bool logsPath;
    const char *what; // the grid in a message
};

const GridExportKind &kindOf(ExportedGrid grid)
{
    static const GridExportKind minDist { "MinDist", "ExportMinDistGrid", &ProjectModel::MinDistGrid,
        &ProjectModel::MDExportFile, "MinDistGrid.txt", 2, true, "minimum-distance" };
    static const GridExportKind wolf { "WOLF", "ExportWOLFGrid", &ProjectModel::WOLFGrid, &ProjectModel::WFExportFile,
        "WOLFgrid.txt", 1, false, "WOLF" };
    return grid == ExportedGrid::MinDist ? minDist : wolf;
}

QString tagOf(const GridExportKind &kind, const char *procedure)
{
    return QLatin1String(kind.view) + u':' + QLatin1String(procedure);
}

// Fixed decimals with "." whatever the system's locale, so the file reads the same everywhere
// and its columns stay aligned; no thousands separators. A value too wide for its field goes in
// exponent form with as many digits as fit, so the column keeps its width and nothing is lost.
QString fieldText(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.mid(1).count(u'0') == text.size() - 2)
        text.remove(0, 1); // a tiny negative value rounds to zero, not to "-0.00"
    for (int digits = 4; text.size() > GridExportFieldWidth && digits >= 0; --digits)
        text = QString::number(value, 'E', digits);
    return text;
}

bool exportGrid(Session &session, ExportedGrid grid)
{
    const GridExportKind &kind = kindOf(grid);
    return guarded(session, tagOf(kind, kind.writer), [&] {
        const QString path = session.model.*kind.path;
        writeWholeFileOrRaise(path, gridExportBytes(session.model, grid));
        const QString editor = session.app.EditorPath;
        // Without an editor of its own choice the desktop's default one opens the file, or,
        // without a desktop editor, the workbench's own viewer shows it.
        if (editor.isEmpty()) {
            if (session.frontend().openWithDefaultApplication(path)) {
                session.setStatus(QStringLiteral("Export file is opened in external editor."));
            } else {
                session.frontend().showTextFile(path, QStringLiteral("Export file: ") + QFileInfo(path).fileName());
                session.setStatus(QStringLiteral("Export file is shown in a viewer window."));
            }
            return;
        }
        // An argument list rather than a command line: no quoting, nothing a shell would read.
        if (!QProcess::startDetached(editor, { path }))
            throw QelError(ErrFileNotFound, QStringLiteral("File not found: %1").arg(editor), editor);
        session.setStatus(QStringLiteral("Export file is opened in external editor."));
    });
}

void exportClicked(Session &session, ExportedGrid grid)
{
    const GridExportKind &kind = kindOf(grid);
    bool asked = false;
    guarded(session, tagOf(kind, "cmdExport_Click"), [&] {
        session.setStatus(QString());
        session.UserCancelled = false;
        const FileDialogAnswer answer = chooseFileToWrite(session,
            { QStringLiteral("Select Export File"), QStringLiteral("ASCII Text file (*.txt)|*.txt"),
                QStringLiteral("txt"), session.model.ProjectDir, QLatin1String(kind.proposedName) });
        if (!answer.accepted) {
            session.UserCancelled = true;
            return;
        }
        session.model.*kind.path = answer.path;
        if (kind.logsPath)
            WriteLog(session, QLatin1String(kind.view) + QStringLiteral(": MinDist file: ") + answer.path);
        asked = true;
    });
    if (!asked)
        return;
    session.setStatus(QStringLiteral("Exporting grid..."));
    // The editor message stays in the panel; only a failed export leaves it empty.
    if (!exportGrid(session, grid))
        session.setStatus(QString());
}

} // namespace

QByteArray gridExportBytes(const ProjectModel &m, ExportedGrid grid)
{
    const GridExportKind &kind = kindOf(grid);
    if (m.PCNumX < 1 || m.PCNumY < 1)
        throw QelError(
            ErrInvalidCall, QStringLiteral("There is no model grid to export: run the analytical solution first."));
    const Grid &values = m.*kind.grid;
    QByteArray bytes;
    bytes.reserve((GridExportFieldWidth * m.PCNumX + 2) * m.PCNumY);
    for (int r = 1; r <= m.PCNumY; ++r) {
        for (int c = 1; c <= m.PCNumX; ++c) {
            const double value = values(c, r);
            const QString text = fieldText(value, kind.decimals);
            if (!std::isfinite(value))
                throw QelError(ErrOverflow,
                    QStringLiteral("Overflow: the value %1 of node %2, %3 (column, row) is not a number; nothing "
                                   "was written.")
                        .arg(text)
                        .arg(c)
                        .arg(r));
            bytes += QByteArray(GridExportFieldWidth - text.size(), ' ') + text.toLatin1();
        }
        bytes += "\r\n";
    }
    return bytes;
}

bool ExportMinDistGrid(Session &session)
{
    return exportGrid(session, ExportedGrid::MinDist);
}

bool ExportWOLFGrid(Session &session)
{
    return exportGrid(session, ExportedGrid::Wolf);
}

bool writeGridExport(Session &session, ExportedGrid grid, const QString &target)
{
    const GridExportKind &kind = kindOf(grid);
    return guarded(session, tagOf(kind, kind.writer), [&] {
        // The analytical run computes both grids; whether their views were ever opened is no matter.
        if (!session.model.ANDone)
            throw QelError(ErrInvalidCall,
                QStringLiteral("There is no %1 grid to export: the project has not computed it.")
                    .arg(QLatin1String(kind.what)));
        writeWholeFileOrRaise(target, gridExportBytes(session.model, grid));
        Message(session, QStringLiteral("Saved the %1 grid: %2").arg(QLatin1String(kind.what), target));
    });
}

void registerGridExportBatchOutputs()
{
    registerBatchOutput(QStringLiteral("--export-mindist"), [](Session &session, const QString &target) {
        return writeGridExport(session, ExportedGrid::MinDist, target);
    });
    registerBatchOutput(QStringLiteral("--export-wolf"),
        [](Session &session, const QString &target) { return writeGridExport(session, ExportedGrid::Wolf, target); });
}

void mdExportClicked(Session &session)
{
    exportClicked(session, ExportedGrid::MinDist);
}

void wfExportClicked(Session &session)
{
    exportClicked(session, ExportedGrid::Wolf);
}

} // namespace qel

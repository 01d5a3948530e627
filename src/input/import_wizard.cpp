#include "input/import_wizard.h"

#include "core/date_text.h"
#include "core/file_commands.h"
#include "core/help_topics.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "input/corrected_table.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace qel {

namespace {

constexpr int DefaultFormat = 2; // Excel 97/2000/2002

QString &sourceField(Session &session, QString ProjectModel::*field)
{
    return session.model.*field;
}

QString correctionsQuestion(const Session &session, const QString &original)
{
    const ProjectModel &m = session.model;
    QString text = QStringLiteral("You corrected cells of the table in this wizard. QEL never changes ") + original
        + QStringLiteral(", and the project keeps only the name of that file: when the project is opened again, the "
                         "table is read from the file again and your corrections are gone.\n\n");
    if (m.ProjectDirAssigned)
        text += QStringLiteral("Save the corrected table as ") + correctedCsvName(m.ProjectDir, original)
            + QStringLiteral(" in the project folder and let the project read it from now on? ");
    else
        text += QStringLiteral("The project has no file yet, so there is no project folder to save the corrected "
                               "table in. Save the project first, then the corrected table beside it, and let the "
                               "project read that table from now on? ");
    return text + original
        + QStringLiteral(" stays as it is.\n\n[Yes] saves the corrected table, [No] keeps the corrections only until "
                         "the project is opened again, [Cancel] goes back to the wizard.");
}

// Writes the corrected table into the project folder and makes it the wizard's data source.
void saveCorrectedTable(Session &session, ImportWizard &wizard, const QString &originalPath)
{
    ProjectModel &m = session.model;
    const DataSourceFields &source = wizard.kind->source;
    const QString original = m.*source.file;
    // The file's table with what the person typed, so that a value the reader replaced for now
    // ("Changed to 0.0 for now") is shown again when the project is read again.
    Table corrected = *wizard.table;
    try {
        Table file = openTable(originalPath, m.*source.format, m.*source.table);
        if (file.recordCount() != corrected.recordCount() || file.fieldNames() != corrected.fieldNames())
            throw QelError(ErrTableFormat);
        corrected = std::move(file);
    } catch (const QelError &) {
        wizardLog(session, wizard,
            QStringLiteral(": ") + original
                + QStringLiteral(" has changed or gone since it was read; the wizard's copy is saved."));
    }
    for (const auto &[cell, typed] : wizard.editedCells)
        corrected.setCell(cell.first, cell.second, typed);
    const QString name = correctedCsvName(m.ProjectDir, original);
    writeCorrectedCsv(m.ProjectDir + name, correctedCsv(corrected, wizard.kind->dateColumn));

    const int csv = tableFormatIndex(u"Text");
    m.*source.format = QLatin1String(tableFormats()[std::size_t(csv)].driver);
    m.*source.fileExt = QStringLiteral("csv");
    (m.*source.path).clear();
    m.*source.file = name;
    m.*source.table = QFileInfo(name).completeBaseName();
    m.ProjectChanged = true;
    wizard.formatIndex = csv;
    wizard.fileBox = name;
    wizard.editedCells.clear();
    wizardLog(session, wizard,
        QStringLiteral(": Corrected table saved as ") + name + QStringLiteral(" in the project folder; ") + original
            + QStringLiteral(" is unchanged."));
    wizardLog(session, wizard, wizard.kind->fileLogLine + name);
    wizardLog(session, wizard, wizard.kind->formatLogLine + m.*source.format);
}

} // namespace

const ImportWizardKind &wellsWizardKind()
{
    static const ImportWizardKind kind {
        QStringLiteral("Wells"),
        { QStringLiteral("Well Locations Step 1: Introduction"), QStringLiteral("Well Locations Step 2: Specify File"),
            QStringLiteral("Well Locations Step 3: Specify Fields"), QStringLiteral("Well Locations Step 4: Data") },
        { HelpTopic::WellsIntroduction, HelpTopic::WellsFile, HelpTopic::WellsFields, HelpTopic::WellsData },
        QStringLiteral("Open Well Locations Data File"),
        QStringLiteral(": Well data file: "),
        QStringLiteral(":    data format: "),
        QStringLiteral("Select sheet:"),
        { &ProjectModel::WEDataFormat, &ProjectModel::WEFileExt, &ProjectModel::WEDataFile, &ProjectModel::WEDataTable,
            &ProjectModel::WEDataPath },
        Step::WellLocations,
        -1,
    };
    return kind;
}

const ImportWizardKind &waterLevelWizardKind()
{
    static const ImportWizardKind kind {
        QStringLiteral("Wldata"),
        { QStringLiteral("Water Level Data Step 1: Introduction"),
            QStringLiteral("Water Level Data Step 2: Specify File"),
            QStringLiteral("Water Level Data Step 3: Specify Fields"),
            QStringLiteral("Water Level Data Step 4: Data") },
        { HelpTopic::WaterLevelsIntroduction, HelpTopic::WaterLevelsFile, HelpTopic::WaterLevelsFields,
            HelpTopic::WaterLevelsData },
        QStringLiteral("Open Water Levels Data File"),
        QStringLiteral(": Water levels data file: "),
        QStringLiteral(":            data format: "),
        QStringLiteral("Select worksheet:"),
        { &ProjectModel::WLDataFormat, &ProjectModel::WLFileExt, &ProjectModel::WLDataFile, &ProjectModel::WLDataTable,
            &ProjectModel::WLDataPath },
        Step::WaterLevels,
        0,
    };
    return kind;
}

int SetFileFormats(const QString &storedFormat)
{
    if (storedFormat.isEmpty())
        return DefaultFormat;
    return tableFormatIndex(storedFormat);
}

QString fileFilter(int formatIndex)
{
    const auto formats = tableFormats();
    if (formatIndex < 0 || formatIndex >= int(formats.size()))
        raise(ErrInvalidCall);
    const TableFormat &f = formats[std::size_t(formatIndex)];
    const QString extension = QLatin1String(f.extension);
    return QLatin1String(f.caption) + QStringLiteral(" (*.") + extension + QStringLiteral(")|*.") + extension;
}

QString dataFilePath(const Session &session, const DataSourceFields &source)
{
    return projectPath(session, session.model.*source.path + session.model.*source.file);
}

std::optional<QDate> cellDate(const TableCell &cell, DayMonth order)
{
    switch (cell.kind()) {
    case TableCell::Kind::Date: return cell.toDate();
    case TableCell::Kind::Number: {
        const double serial = cell.toNumber();
        // Serial day numbers between the years 100 and 9999; a time of day is dropped.
        if (!std::isfinite(serial) || serial < -657434 || serial > 2958465)
            return std::nullopt;
        return QDate(1899, 12, 30).addDays(qint64(std::floor(serial)));
    }
    case TableCell::Kind::Text:
        return dateFromText(cell.toText(), order, QLocale::system().dateFormat(QLocale::ShortFormat));
    case TableCell::Kind::Null: break;
    }
    return std::nullopt;
}

QString cellReference(int record, int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(record + 2); // row 1 holds the field names
}

TableCell cellFromTyped(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    if (const auto number = strictNumber(text))
        return TableCell::number(*number, text);
    return TableCell::text(text);
}

void wizardLog(Session &session, const ImportWizard &wizard, const QString &text)
{
    WriteLog(session, wizard.kind->tag + text);
}

void warn(Session &session, const QString &text)
{
    session.ErrorText = text;
    ReportWarning(session);
}

void beforeImportWizard(Session &session)
{
    if (!session.model.ProjectDirAssigned)
        SetProjectDirectory(session);
}

void loadImportWizard(Session &session, ImportWizard &wizard)
{
    session.FormTag = wizard.kind->tag;
    showStep(wizard, 1);
    wizard.nextEnabled = true;
    wizard.nextCaption = NextCaption;
    wizard.backEnabled = false;
    wizard.readDataEnabled = false;
    ProjectModel &m = session.model;
    // The working folder is the project's folder; the reader resolves every relative path
    // against ProjectDir itself.
    if (!m.ProjectDirAssigned)
        sourceField(session, wizard.kind->source.path) = m.ProjectDir;
    wizard.formatIndex = SetFileFormats(sourceField(session, wizard.kind->source.format));
}

void showStep(ImportWizard &wizard, int step)
{
    wizard.step = step;
    wizard.caption = wizard.kind->captions[std::size_t(step - 1)];
    wizard.helpContext = wizard.kind->helpContexts[std::size_t(step - 1)];
}

void selectFileFormat(Session &session, ImportWizard &wizard, int index)
{
    if (index < -1 || index >= int(tableFormats().size()))
        raise(ErrInvalidCall);
    wizard.sheetListShown = true;
    if (index != wizard.formatIndex) {
        wizard.fileBox.clear();
        session.store(sourceField(session, wizard.kind->source.file), QString());
    }
    wizard.formatIndex = index;
}

void fileBoxFocused(ImportWizard &wizard)
{
    wizard.hint = FileBoxHint;
}

bool chooseDataFile(Session &session, ImportWizard &wizard)
{
    wizard.hint.clear();
    ProjectModel &m = session.model;
    const DataSourceFields &source = wizard.kind->source;
    if (wizard.formatIndex < 0)
        raise(ErrInvalidCall, QStringLiteral("Select a file format first."));
    FileDialogRequest request;
    request.title = wizard.kind->dialogTitle;
    request.filter = fileFilter(wizard.formatIndex);
    request.defaultExt = QStringLiteral("*");
    const QString &path = m.*source.path;
    request.initialDir = QDir::isAbsolutePath(path) ? path : m.ProjectDir + path;
    session.frontend().setBusy(true);
    const FileDialogAnswer answer = session.frontend().openFileDialog(request);
    session.frontend().setBusy(false);
    if (!answer.accepted || answer.path.isEmpty())
        return false;

    const QFileInfo chosen(answer.path);
    const TableFormat &format = tableFormats()[std::size_t(wizard.formatIndex)];
    // The suffix rather than a fixed three letters: xlsx, ods and the like are formats too.
    session.store(m.*source.fileExt, chosen.suffix());
    session.store(m.*source.format, QString(QLatin1String(format.driver)));
    session.store(m.*source.path, RelativePath(session, PathToDirectory(QDir::fromNativeSeparators(answer.path))));
    session.store(m.*source.file, chosen.fileName());
    session.store(m.*source.table, chosen.fileName());
    wizard.fileBox = m.*source.path + m.*source.file;
    return true;
}

void listDataSheets(Session &session, ImportWizard &wizard)
{
    ProjectModel &m = session.model;
    const DataSourceFields &source = wizard.kind->source;
    wizardLog(session, wizard, wizard.kind->fileLogLine + m.*source.file);
    wizardLog(session, wizard, wizard.kind->formatLogLine + m.*source.format);
    const EventSource before = wizard.eventSource;
    wizard.eventSource = EventSource::Code;
    wizard.sheets.clear();
    wizard.sheetIndex = -1;
    wizard.focusSheetList = false;
    const QString file = dataFilePath(session, source);
    // A file that has gone is shown by the hint of the file step, not by an error box.
    if (QFileInfo::exists(file)) {
        wizard.sheets = tableNames(file, m.*source.format);
        const QString &stored = m.*source.table;
        if (!stored.isEmpty()) {
            int found = -1;
            for (int i = 0; i < wizard.sheets.size(); ++i)
                if (wizard.sheets[i].compare(stored, Qt::CaseInsensitive) == 0)
                    found = i;
            selectDataSheet(session, wizard, found >= 0 ? found : 0);
        } else {
            wizard.focusSheetList = true;
        }
    }
    wizard.eventSource = before;
}

void checkFileStep(Session &session, ImportWizard &wizard)
{
    wizard.nextEnabled = false;
    const ProjectModel &m = session.model;
    if ((m.*wizard.kind->source.file).isEmpty() || wizard.formatIndex < 0)
        return;
    if (!QFileInfo(dataFilePath(session, wizard.kind->source)).isFile()) {
        wizard.hint = FileNotFoundHint;
        return;
    }
    wizard.nextEnabled = true;
}

bool selectDataSheet(Session &session, ImportWizard &wizard, int index)
{
    if (index < 0 || index >= wizard.sheets.size())
        return false;
    wizard.sheetIndex = index;
    session.store(sourceField(session, wizard.kind->source.table), wizard.sheets[index]);
    if (wizard.eventSource == EventSource::User)
        wizardLog(session, wizard, QStringLiteral(": Selected [DataTable] ") + wizard.sheets[index]);
    return true;
}

Table openSourceTable(Session &session, const ImportWizard &wizard)
{
    const ProjectModel &m = session.model;
    const DataSourceFields &source = wizard.kind->source;
    return openTable(dataFilePath(session, source), m.*source.format, m.*source.table);
}

void finishWizard(Session &session, ImportWizard &wizard, bool done)
{
    wizardLog(session, wizard, QStringLiteral(": [Finish]"));
    if (done) {
        session.checkNode(wizard.kind->outlineStep);
    } else {
        session.outline.uncheck(wizard.kind->outlineStep);
        session.frontend().outlineChanged();
    }
    session.setStatus({});
    wizard.closed = true;
}

bool offerCorrectedTable(Session &session, ImportWizard &wizard)
{
    ProjectModel &m = session.model;
    if (wizard.editedCells.empty() || !wizard.table || m.RunMode == QLatin1String("Batch"))
        return true;
    const QString original = m.*wizard.kind->source.file;
    const QString originalPath = dataFilePath(session, wizard.kind->source); // before a Save As moves ProjectDir
    const MsgAnswer answer = session.frontend().messageBox(correctionsQuestion(session, original),
        QStringLiteral("Keep corrections"), MsgButtons::YesNoCancel, MsgIcon::Question);
    const QString answered = answer == MsgAnswer::Yes ? QStringLiteral("[Yes]")
        : answer == MsgAnswer::No                     ? QStringLiteral("[No]")
                                                      : QStringLiteral("[Cancel]");
    wizardLog(session, wizard, QStringLiteral(": Save corrected table? ") + answered);
    if (answer == MsgAnswer::No)
        return true;
    if (answer != MsgAnswer::Yes)
        return false;
    if (!m.ProjectDirAssigned && !fileSaveAs(session)) {
        wizardLog(session, wizard, QStringLiteral(": Corrected table not saved: the project has no file."));
        return false;
    }
    saveCorrectedTable(session, wizard, originalPath);
    return true;
}

void wizardNext(Session &session, ImportWizard &wizard, const WizardStepActions &actions)
{
    guarded(session, wizard.kind->tag + QStringLiteral(":cmdNext"), [&] {
        wizard.hint.clear();
        wizardLog(session, wizard, QStringLiteral(": [Next]"));
        const ProjectModel &m = session.model;
        const DataSourceFields &source = wizard.kind->source;
        switch (wizard.step) {
        case 1:
            showStep(wizard, 2);
            wizard.backEnabled = true;
            // A stored file is attached again, without the file dialog.
            if (!(m.*source.file).isEmpty()) {
                wizard.eventSource = EventSource::Code;
                wizard.fileBox = RelativePath(session, m.*source.path + m.*source.file);
                actions.checkStatus();
                listDataSheets(session, wizard);
                wizard.eventSource = EventSource::User;
            }
            actions.checkStatus();
            break;
        case 2:
            showStep(wizard, 3);
            actions.checkDataFile();
            actions.checkStatus();
            break;
        case 3:
            showStep(wizard, 4);
            wizard.nextCaption = FinishCaption;
            actions.checkStatus();
            break;
        default:
            if (offerCorrectedTable(session, wizard))
                finishWizard(session, wizard, actions.finish());
            break;
        }
    });
}

void wizardBack(Session &session, ImportWizard &wizard, const WizardStepActions &actions)
{
    guarded(session, wizard.kind->tag + QStringLiteral(":cmdBack"), [&] {
        wizard.hint.clear();
        wizardLog(session, wizard, QStringLiteral(": [Back]"));
        if (wizard.step <= 1)
            return;
        if (wizard.step == 4)
            wizard.nextCaption = NextCaption;
        showStep(wizard, wizard.step - 1);
        if (wizard.step == 1)
            wizard.backEnabled = false;
        actions.checkStatus();
    });
}

void wizardCancel(Session &session, ImportWizard &wizard)
{
    wizardLog(session, wizard, QStringLiteral(": [Cancel]"));
    wizard.closed = true;
}

void wizardCellEdited(Session &session, ImportWizard &wizard, int record, int column, const QString &text)
{
    guarded(session, wizard.kind->tag + QStringLiteral(":DBGrid1_RowColChange"), [&] {
        if (!wizard.table)
            raise(ErrInvalidCall, QStringLiteral("No table has been read."));
        TableCell typed = cellFromTyped(text);
        const TableCell &before = wizard.table->cell(record, column);
        if (typed == before && typed.toText() == before.toText())
            return;
        wizard.table->setCell(record, column, typed);
        wizard.editedCells[{ record, column }] = std::move(typed);
    });
}

} // namespace qel

#pragma once

#include "core/date_text.h"
#include "core/frontend.h"
#include "core/project_model.h"
#include "core/session.h"
#include "core/workflow_steps.h"
#include "input/table_access.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace qel {

// Whether a control event comes from the person or from the wizard filling its own controls.
// Only the person's events write log lines and start follow-up reads.
enum class EventSource { Code, User };

// The model fields that name one wizard's data source (the wells' WE... or the water levels'
// WL... set).
struct DataSourceFields {
    QString ProjectModel::*format;
    QString ProjectModel::*fileExt;
    QString ProjectModel::*file;
    QString ProjectModel::*table;
    QString ProjectModel::*path;
};

// What differs between the two import wizards besides their field step.
struct ImportWizardKind {
    QString tag; // FormTag, the prefix of every log line
    std::array<QString, 4> captions;
    std::array<int, 4> helpContexts;
    QString dialogTitle;
    QString fileLogLine; // ": Well data file: "
    QString formatLogLine; // ":    data format: "
    QString sheetLabel; // "Select sheet:"
    DataSourceFields source;
    Step outlineStep;
    int dateColumn; // the column of sample dates, -1 for none
};

const ImportWizardKind &wellsWizardKind();
const ImportWizardKind &waterLevelWizardKind();

inline const QString NextCaption = QStringLiteral("&Next >");
inline const QString FinishCaption = QStringLiteral("Finish");
inline const QString FileNotFoundHint = QStringLiteral("Error finding the file!");
inline const QString ReadSucceededHint = QStringLiteral("File is successfully read.");
inline const QString FileBoxHint = QStringLiteral("Select the data file containing monitoring wells.");

// What a wizard page shows, kept by the core and re-read by the window after every call: the
// navigation row, the hint line, the file step and the table behind the data grid.
struct ImportWizard {
    explicit ImportWizard(const ImportWizardKind &kind)
        : kind(&kind)
    {
    }

    const ImportWizardKind *kind;
    EventSource eventSource = EventSource::Code;

    int step = 1; // 1 introduction, 2 file, 3 fields, 4 data
    QString caption;
    int helpContext = 0;
    bool backEnabled = false;
    bool nextEnabled = true;
    QString nextCaption = NextCaption;
    bool readDataEnabled = false;
    QString hint;

    // Step 2
    int formatIndex = -1; // into tableFormats(), -1 for none
    bool sheetListShown = false;
    QString fileBox;
    // Step 3
    QStringList sheets;
    int sheetIndex = -1;
    bool focusSheetList = false;
    int recordCount = 0;
    QString recordsText; // "Number of records found: "
    QStringList gridColumns;
    // Step 4: the table the grid shows and edits (in memory; the file is never written).
    std::optional<Table> table;
    // What the person typed into each cell (record, column) they changed in that table; a new
    // read empties it.
    std::map<std::pair<int, int>, TableCell> editedCells;
    bool gridEnabled = false;
    bool closed = false;
};

// Index of the format preselected for a stored driver string: "Excel 97/2000/2002" for none,
// the entry whose caption or driver string matches ignoring case, -1 when none does.
int SetFileFormats(const QString &storedFormat);

// "Excel 97/2000/2002 (*.xls)|*.xls" for the format at index.
QString fileFilter(int formatIndex);

// The data file of a source as a path to open: ProjectDir + path + file unless path is absolute.
QString dataFilePath(const Session &session, const DataSourceFields &source);

// A cell as a sample date: date cells, serial day numbers (days since 30 Dec 1899, as Lotus
// and unformatted Excel cells hold them) and text as dateFromText reads it, numeric dates in the
// order given (the column's, see dateColumnOrder) and the system's short form. Nothing for
// anything else.
std::optional<QDate> cellDate(const TableCell &cell, DayMonth order);
// The spreadsheet name of a record's cell: column letters and the row in the sheet ("A3" for
// column 0 of record 1, the field names being row 1).
QString cellReference(int record, int column);

// The cell a person typed into the grid: empty is null, a number is a number, else text.
TableCell cellFromTyped(const QString &text);

// Shared steps. Each reports its own failures under "<tag>:<procedure>".

// Edit > Well Locations and Edit > Water Level Data: a project without a file is offered one
// first (SetProjectDirectory); the wizard opens whatever the answer, on the project's folder.
void beforeImportWizard(Session &session);
// Opening: captions, step 1, the data path of a project without a folder, the preselection.
void loadImportWizard(Session &session, ImportWizard &wizard);
// Shows a step: caption, help context; the caller runs its CheckStatus.
void showStep(ImportWizard &wizard, int step);
// The format list's click: another format drops the chosen file.
void selectFileFormat(Session &session, ImportWizard &wizard, int index);
// The file box gets the focus: the hint says what to choose.
void fileBoxFocused(ImportWizard &wizard);
// The folder button: asks for the file. Returns false when the person cancelled or it failed.
bool chooseDataFile(Session &session, ImportWizard &wizard);
// After a file is chosen (or on re-entering step 2): the log lines and the sheet list, with the
// stored table selected (or the first). Stores the selected sheet as the source's table.
void listDataSheets(Session &session, ImportWizard &wizard);
// CheckStatus of step 2, common to both wizards.
void checkFileStep(Session &session, ImportWizard &wizard);
// Selects a sheet; user events log it. Returns whether a sheet was selected.
bool selectDataSheet(Session &session, ImportWizard &wizard, int index);
// Opens the source's selected table as CheckDataFile does, filling the record count and grid.
Table openSourceTable(Session &session, const ImportWizard &wizard);
// The log line of the wizard's tag.
void wizardLog(Session &session, const ImportWizard &wizard, const QString &text);
// Sets ErrorText to the text and reports it as a warning.
void warn(Session &session, const QString &text);
// Finish: logs it, ticks or clears the outline entry, clears "Status" and closes the wizard.
void finishWizard(Session &session, ImportWizard &wizard, bool done);
// Before Finish closes a wizard whose cells the person changed (never in the batch run mode):
// the project keeps only the data file's name, so the corrections would be gone when it is read
// again. Offers to save the file's table with the corrections as a csv file in the project folder
// (a project without a file is saved first) and makes it the wizard's data source. Returns false
// when the person goes back to the wizard.
bool offerCorrectedTable(Session &session, ImportWizard &wizard);

// What a wizard's own steps do when the navigation buttons move between them.
struct WizardStepActions {
    std::function<void()> checkStatus;
    std::function<void()> checkDataFile;
    std::function<bool()> finish; // the step's done flag, set as Finish sets it
};
// "&Next >" (and "Finish" on step 4), "< &Back", "Cancel", reported under "<tag>:cmdNext" and so on.
void wizardNext(Session &session, ImportWizard &wizard, const WizardStepActions &actions);
void wizardBack(Session &session, ImportWizard &wizard, const WizardStepActions &actions);
void wizardCancel(Session &session, ImportWizard &wizard);
// A grid cell typed by the person: changes the table in memory, read again by "Finished Editing".
void wizardCellEdited(Session &session, ImportWizard &wizard, int record, int column, const QString &text);

} // namespace qel

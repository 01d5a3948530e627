#include "input/well_reader.h"

#include "core/paths.h"
#include "core/reporting.h"
#include "input/table_access.h"

#include <QHash>

#include <vector>

namespace qel {

namespace {

const QString Tag = QStringLiteral("Wells");

QString tagged(const char *procedure)
{
    return Tag + u':' + QLatin1String(procedure);
}

bool batch(const Session &session)
{
    return session.model.RunMode == QLatin1String("Batch");
}

QString ProjectModel::*modelField(WellField field)
{
    switch (field) {
    case WellField::WellID: return &ProjectModel::WellIDField;
    case WellField::X: return &ProjectModel::XField;
    case WellField::Y: return &ProjectModel::YField;
    }
    return &ProjectModel::WellIDField;
}

int indexIgnoringCase(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i)
        if (!name.isEmpty() && names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// A coordinate cell: its value when numeric, otherwise 0 in the model and in the cell, with the
// warning that names the record.
double coordinate(
    Session &session, Table &table, int record, int column, bool finishing, const QString &lead, const QString &middle)
{
    const TableCell &cell = table.cell(record, column);
    if (cell.isNumber())
        return cell.toNumber();
    const QString text = lead + u'"' + cell.toText() + QStringLiteral("\"\n") + middle + QString::number(record + 1)
        + QStringLiteral(". Changed to 0.0 for now.");
    table.setCell(record, column, TableCell::number(0));
    if (finishing)
        session.frontend().messageBox(text, QStringLiteral("Invalid data"), MsgButtons::Ok, MsgIcon::Warning);
    warn(session, text);
    return 0.0;
}

// Water levels go to the first well of a name, letter case ignored: a later well of the same
// name would get none, so every repeated name is shown with its record numbers.
void warnRepeatedIds(Session &session, const std::vector<int> &recordOf)
{
    const ProjectModel &m = session.model;
    QHash<QString, QList<int>> wellsOf;
    QStringList order;
    for (int k = 1; k <= m.NumWells; ++k) {
        if (m.WellID(k).trimmed().isEmpty())
            continue;
        const QString key = m.WellID(k).toCaseFolded();
        if (!wellsOf.contains(key))
            order << key;
        wellsOf[key] << k;
    }
    QStringList repeated;
    for (const QString &key : order) {
        const QList<int> &wells = wellsOf[key];
        if (wells.size() < 2)
            continue;
        QStringList records;
        for (const int k : wells)
            records << QString::number(recordOf[std::size_t(k - 1)]);
        repeated << u'\'' + m.WellID(wells.front()) + QStringLiteral("' (records ") + records.join(QStringLiteral(", "))
                + u')';
    }
    if (!repeated.isEmpty())
        warn(session,
            QStringLiteral("These well IDs appear more than once (letter case ignored): ")
                + repeated.join(QStringLiteral(", "))
                + QStringLiteral(".\nWater levels will be matched to the first well of each name."));
}

// Reads every record of the table into the well list. A record with a null identifier is no
// well: it is logged and left out, and NumWells counts the wells stored. Returns whether an
// identifier was blank.
bool readWellRecords(Session &session, Table &table, bool finishing)
{
    ProjectModel &m = session.model;
    const int idColumn = table.fieldIndex(m.WellIDField);
    const int xColumn = table.fieldIndex(m.XField);
    const int yColumn = table.fieldIndex(m.YField);
    bool blank = false;
    std::vector<int> recordOf; // the record number of each well
    m.NumWells = 0;
    session.markChanged(); // the well list is replaced, even by a read that finds faults
    for (int r = 0; r < table.recordCount(); ++r) {
        const TableCell &id = table.cell(r, idColumn);
        if (id.isNull()) {
            WriteLog(session,
                Tag + QStringLiteral(": WellID is empty for record number ") + QString::number(r + 1)
                    + QStringLiteral(", the record is left out."));
            continue;
        }
        const int k = m.NumWells + 1;
        m.WellID(k) = id.toText();
        m.WellX(k) = coordinate(session, table, r, xColumn, finishing, QStringLiteral("X coordinate value "),
            QStringLiteral("is invalid for record number "));
        m.WellY(k) = coordinate(session, table, r, yColumn, finishing, QStringLiteral("Y coordinate value "),
            QStringLiteral(" is invalid for record number "));
        m.NumWells = qint16(k);
        recordOf.push_back(r + 1);
        if (m.WellID(k).trimmed().isEmpty()) {
            WriteLog(session, Tag + QStringLiteral(": WellID is blank for record number") + QString::number(r + 1));
            blank = true;
        }
    }
    warnRepeatedIds(session, recordOf);
    return blank;
}

} // namespace

std::array<int, 3> wellFieldChoice(
    const QStringList &names, const QString &storedId, const QString &storedX, const QString &storedY)
{
    std::array<int, 3> choice { indexIgnoringCase(names, storedId), indexIgnoringCase(names, storedX),
        indexIgnoringCase(names, storedY) };
    auto first = [&](auto looksLike) {
        for (int i = 0; i < names.size(); ++i)
            if (looksLike(names[i].toUpper(), i))
                return i;
        return -1;
    };
    // A GIS layer's point is the well's location unless other fields were chosen before.
    if (choice[1] < 0 && choice[2] < 0 && names.contains(GeometryXField) && names.contains(GeometryYField)) {
        choice[1] = int(names.indexOf(GeometryXField));
        choice[2] = int(names.indexOf(GeometryYField));
    }
    if (choice[0] < 0)
        choice[0] = first([](const QString &n, int) { return n.startsWith(u"ID") || n.contains(u"WELL"); });
    if (choice[1] < 0)
        choice[1] = first([](const QString &n, int) { return n.startsWith(u'X') || n.contains(u"EAST"); });
    if (choice[2] < 0)
        choice[2] = first([&](const QString &n, int i) {
            return i != choice[0] && i != choice[1] && (n.startsWith(u'Y') || n.contains(u"NORTH"));
        });
    return choice;
}

void openWellsWizard(Session &session, WellsWizard &wizard)
{
    guarded(session, tagged("Form_Load"), [&] {
        loadImportWizard(session, wizard);
        if (batch(session)) {
            ReadData(session, wizard);
            return;
        }
        wizard.eventSource = EventSource::User;
    });
}

void wellsFormatClicked(Session &session, WellsWizard &wizard, int index)
{
    guarded(session, tagged("FileFormats"), [&] {
        selectFileFormat(session, wizard, index);
        CheckStatus(session, wizard);
    });
}

// The second half of the file choice, also run when step 2 is entered with a stored file.
static void attachWellsFile(Session &session, WellsWizard &wizard)
{
    CheckStatus(session, wizard);
    listDataSheets(session, wizard);
}

void wellsFolderClicked(Session &session, WellsWizard &wizard)
{
    guarded(session, tagged("imgWEDataFile"), [&] {
        if (chooseDataFile(session, wizard))
            attachWellsFile(session, wizard);
    });
}

void wellsSheetClicked(Session &session, WellsWizard &wizard, int index)
{
    guarded(session, tagged("cboDataTable"), [&] {
        if (selectDataSheet(session, wizard, index) && wizard.eventSource == EventSource::User)
            CheckDataFile(session, wizard);
    });
}

void wellsFieldClicked(Session &session, WellsWizard &wizard, WellField field, int index)
{
    static const char *const procedures[] = { "cboWellIDField", "cboXField", "cboYField" };
    static const char *const names[] = { "[WellID]", "[XField]", "[YField]" };
    const auto f = std::size_t(field);
    guarded(session, tagged(procedures[f]), [&] {
        if (index < 0 || index >= wizard.fieldNames.size())
            return;
        wizard.fieldIndex[f] = index;
        session.store(session.model.*modelField(field), wizard.fieldNames[index]);
        if (wizard.eventSource == EventSource::User)
            WriteLog(session,
                Tag + QStringLiteral(": Selected ") + QLatin1String(names[f]) + u' ' + wizard.fieldNames[index]);
        CheckStatus(session, wizard);
    });
}

void wellsReadDataClicked(Session &session, WellsWizard &wizard)
{
    guarded(session, tagged("cmdReadData"), [&] {
        if (wizard.eventSource == EventSource::User)
            WriteLog(session, Tag + QStringLiteral(": [Read Data]"));
        ReadData(session, wizard);
    });
}

void wellsFinishedEditingClicked(Session &session, WellsWizard &wizard)
{
    Finished(session, wizard);
}

static WizardStepActions stepActions(Session &session, WellsWizard &wizard)
{
    return { [&] { CheckStatus(session, wizard); }, [&] { CheckDataFile(session, wizard); },
        [&] {
            CheckStatus(session, wizard);
            return session.model.WEDone;
        } };
}

void wellsNext(Session &session, WellsWizard &wizard)
{
    wizardNext(session, wizard, stepActions(session, wizard));
}

void wellsBack(Session &session, WellsWizard &wizard)
{
    wizardBack(session, wizard, stepActions(session, wizard));
}

void CheckDataFile(Session &session, WellsWizard &wizard)
{
    guarded(session, tagged("CheckDataFile"), [&] {
        Table table = openSourceTable(session, wizard);
        ProjectModel &m = session.model;
        wizard.fieldListsEnabled = true;
        wizard.fieldNames = table.fieldNames();
        wizard.gridColumns = table.fieldNames();
        wizard.recordCount = table.recordCount();
        wizard.recordsText = QStringLiteral("Number of records found: ") + QString::number(wizard.recordCount);
        const auto choice = wellFieldChoice(wizard.fieldNames, m.WellIDField, m.XField, m.YField);
        for (std::size_t f = 0; f < choice.size(); ++f) {
            wizard.fieldIndex[f] = choice[f];
            if (choice[f] >= 0)
                m.*modelField(WellField(f)) = wizard.fieldNames[choice[f]];
        }
        wizard.table = std::move(table);
        wizard.editedCells.clear();
        CheckStatus(session, wizard);
    });
}

void CheckStatus(Session &session, WellsWizard &wizard)
{
    guarded(session, tagged("CheckStatus"), [&] {
        switch (wizard.step) {
        case 1: wizard.nextEnabled = true; break;
        case 2: checkFileStep(session, wizard); break;
        case 3: {
            const bool chosen
                = std::all_of(wizard.fieldIndex.begin(), wizard.fieldIndex.end(), [](int index) { return index >= 0; });
            wizard.readDataEnabled = chosen && wizard.recordCount > 0;
            wizard.nextEnabled = false;
            break;
        }
        default:
            wizard.mapWellsEnabled = session.model.BMDone;
            session.model.WEDone = true;
            break;
        }
    });
}

bool ReadData(Session &session, WellsWizard &wizard)
{
    bool done = false;
    guarded(session, tagged("ReadData"), [&] {
        ProjectModel &m = session.model;
        Table table = openTable(dataFilePath(session, wizard.kind->source), m.WEDataFormat, m.WEDataTable);
        if (table.recordCount() > MaxWells) {
            warn(session,
                QStringLiteral("Number of wells (") + QString::number(table.recordCount())
                    + QStringLiteral(") exceeds the maximum (") + QString::number(MaxWells)
                    + QStringLiteral(
                        ") allocated in QEL!\nPlease reduce number of wells, or contact QEL techsupport."));
            return;
        }
        const bool blank = readWellRecords(session, table, false);
        wizard.gridColumns = table.fieldNames();
        wizard.table = std::move(table);
        wizard.editedCells.clear();
        if (blank) {
            session.ErrorText = Tag + QStringLiteral(": Error in well data. Please see log file.");
            ReportError(session);
            return;
        }
        WriteLog(session,
            Tag + QStringLiteral(": Read data for ") + QString::number(m.NumWells) + QStringLiteral(" wells."));
        wizard.hint = ReadSucceededHint;
        m.WEDone = true;
        done = true;
        if (!batch(session)) {
            wizard.gridEnabled = true;
            wizard.nextEnabled = true;
        }
    });
    return done;
}

void Finished(Session &session, WellsWizard &wizard)
{
    guarded(session, tagged("Finished"), [&] {
        if (!wizard.table)
            wizard.table = openSourceTable(session, wizard);
        if (readWellRecords(session, *wizard.table, true)) {
            wizard.hint = WellDataErrorHint;
            wizard.mapWellsEnabled = false;
            wizard.nextEnabled = false;
            return;
        }
        wizard.hint.clear();
        wizard.mapWellsEnabled = session.model.MapReady;
        wizard.nextEnabled = true;
    });
}

} // namespace qel

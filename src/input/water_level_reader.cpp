#include "input/water_level_reader.h"

#include "core/date_text.h"
#include "core/number_text.h"
#include "core/reporting.h"

#include <cmath>

namespace qel {

namespace {

const QString Tag = QStringLiteral("Wldata");

QString tagged(const char *procedure)
{
    return Tag + u':' + QLatin1String(procedure);
}

void log(Session &session, const QString &text)
{
    WriteLog(session, Tag + text);
}

QString tooManyDates(const QString &count)
{
    return QStringLiteral("Number of dates (") + count + QStringLiteral(") exceeds the maximum (")
        + QString::number(MaxSampleDates)
        + QStringLiteral(") allocated in QEL!\nPlease reduce number of sample dates, or contact QEL techsupport.");
}

QString tooManyWells(const QString &count)
{
    return QStringLiteral("Number of wells (") + count + QStringLiteral(") exceeds the maximum (")
        + QString::number(MaxWells)
        + QStringLiteral(") allocated in QEL!\nPlease reduce number of wells, or contact QEL techsupport.");
}

// The count boxes as the reader fills them: no log line, no warning below the limits.
void showCounts(WaterLevelWizard &wizard, int samples, int wells)
{
    wizard.numSamples = samples;
    wizard.numWLWells = wells;
    wizard.numDatesText = QString::number(samples);
    wizard.numWellsText = QString::number(wells);
}

// The well columns (identifiers, coordinates from the well list, plot limits) and the records
// (dates and levels) of the table for the model's counts. Returns whether the data has faults
// that were logged.
bool readLevels(Session &session, const Table &table)
{
    ProjectModel &m = session.model;
    bool failed = false;
    for (int j = 1; j <= m.NumWLWells; ++j) {
        const QString name = table.fieldNames().value(j);
        m.WLWellID(j) = name;
        if (name.trimmed().isEmpty()) {
            log(session, QStringLiteral(": WellID is blank for record number") + QString::number(j));
            failed = true;
            continue;
        }
        int found = 0;
        for (int k = 1; k <= m.NumWells && !found; ++k)
            if (m.WellID(k).compare(name, Qt::CaseInsensitive) == 0)
                found = k;
        if (!found) {
            // No coordinates from an earlier read may stay with another well.
            m.WLWellX(j) = 0;
            m.WLWellY(j) = 0;
            m.WLWellUnlocated(j) = 1;
            warn(session,
                QStringLiteral("Water level data well '") + name
                    + QStringLiteral("' is not found in the well locations list!"));
            continue;
        }
        const double x = m.WellX(found), y = m.WellY(found);
        m.WLWellX(j) = x;
        m.WLWellY(j) = y;
        m.WLWellUnlocated(j) = 0;
        if (!m.PLDone) {
            m.PLRight = std::max(m.PLRight, x);
            m.PLLeft = std::min(m.PLLeft, x);
            m.PLTop = std::max(m.PLTop, y);
            m.PLBottom = std::min(m.PLBottom, y);
        }
    }
    for (int i = 1; i <= m.NumSamples; ++i) {
        const TableCell &dateCell = table.cell(i - 1, 0);
        const auto date = cellDate(dateCell);
        if (!date)
            throw QelError(ErrTypeMismatch,
                QStringLiteral("The date of record %1 of %2 is not a date: \"%3\".")
                    .arg(i)
                    .arg(table.name(), dateCell.toText()));
        m.SampleDate(i) = *date;
        for (int j = 1; j <= m.NumWLWells; ++j) {
            const TableCell &cell = table.cell(i - 1, j);
            if (!cell.isNumber()) {
                const QString where = QStringLiteral(" for Well # ") + QString::number(j) + QStringLiteral(" date ")
                    + shortDateText(*date);
                log(session,
                    cell.isNull() ? QStringLiteral(": Null Water level value encountered") + where
                                  : QStringLiteral(": Invalid Water level value \"") + cell.toText() + u'"' + where);
                m.WLData(j, i) = MissingLevel;
                failed = true;
                continue;
            }
            const double level = cell.toNumber();
            m.WLData(j, i) = level;
            if (!m.WCDone && level != MissingLevel) {
                m.WLMax = std::max(m.WLMax, level);
                m.WLMin = std::min(m.WLMin, level);
            }
        }
    }
    return failed;
}

} // namespace

void openWaterLevelWizard(Session &session, WaterLevelWizard &wizard)
{
    guarded(session, tagged("Form_Load"), [&] {
        loadImportWizard(session, wizard);
        if (session.model.RunMode == QLatin1String("Batch")) {
            ReadData(session, wizard);
            return;
        }
        wizard.eventSource = EventSource::User;
    });
}

void waterLevelsFormatClicked(Session &session, WaterLevelWizard &wizard, int index)
{
    guarded(session, tagged("FileFormats"), [&] {
        selectFileFormat(session, wizard, index);
        CheckStatus(session, wizard);
    });
}

void waterLevelsFolderClicked(Session &session, WaterLevelWizard &wizard)
{
    guarded(session, tagged("imgWLDataFile"), [&] {
        if (!chooseDataFile(session, wizard))
            return;
        CheckStatus(session, wizard);
        listDataSheets(session, wizard);
    });
}

void waterLevelsSheetClicked(Session &session, WaterLevelWizard &wizard, int index)
{
    guarded(session, tagged("cboDataTable"), [&] {
        if (selectDataSheet(session, wizard, index) && wizard.eventSource == EventSource::User)
            CheckDataFile(session, wizard);
    });
}

void waterLevelsAccessChosen(WaterLevelWizard &wizard, bool create)
{
    if (create)
        wizard.hint = UseAttachHint;
    wizard.createAccess = false;
}

void setNumDatesText(Session &session, WaterLevelWizard &wizard, const QString &text)
{
    guarded(session, QStringLiteral("WLData:txtWLNumDates_Change"), [&] {
        wizard.numDatesText = text;
        const double v = leadingNumber(text);
        if (v <= 0)
            return;
        if (v > MaxSampleDates) {
            warn(session, tooManyDates(numberText(v)));
            return;
        }
        wizard.numSamples = std::max<int>(1, roundToInt16(v));
        CheckStatus(session, wizard);
        if (wizard.eventSource == EventSource::User)
            log(session, QStringLiteral(": [NumDates] = ") + QString::number(wizard.numSamples));
    });
}

void setNumWellsText(Session &session, WaterLevelWizard &wizard, const QString &text)
{
    guarded(session, QStringLiteral("WLData:txtWLNumWells_Change"), [&] {
        wizard.numWellsText = text;
        const double v = leadingNumber(text);
        if (v <= 0)
            return;
        if (v > MaxWells) {
            warn(session, tooManyWells(numberText(v)));
            return;
        }
        wizard.numWLWells = std::max<int>(1, roundToInt16(v));
        CheckStatus(session, wizard);
        if (wizard.eventSource == EventSource::User)
            log(session, QStringLiteral(": [NumWells] = ") + QString::number(wizard.numWLWells));
    });
}

void waterLevelsReadDataClicked(Session &session, WaterLevelWizard &wizard)
{
    guarded(session, tagged("cmdReadData"), [&] {
        if (wizard.eventSource == EventSource::User)
            log(session, QStringLiteral(": [Read Data]"));
        ReadData(session, wizard);
    });
}

void waterLevelsFinishedEditingClicked(Session &session, WaterLevelWizard &wizard)
{
    Finished(session, wizard);
}

static WizardStepActions stepActions(Session &session, WaterLevelWizard &wizard)
{
    return { [&] { CheckStatus(session, wizard); }, [&] { CheckDataFile(session, wizard); },
        [&] {
            session.model.WLDone = true;
            CheckStatus(session, wizard);
            return true;
        } };
}

void waterLevelsNext(Session &session, WaterLevelWizard &wizard)
{
    wizardNext(session, wizard, stepActions(session, wizard));
}

void waterLevelsBack(Session &session, WaterLevelWizard &wizard)
{
    wizardBack(session, wizard, stepActions(session, wizard));
}

void CheckDataFile(Session &session, WaterLevelWizard &wizard)
{
    guarded(session, QStringLiteral("WLData:CheckDataFile"), [&] {
        Table table = openSourceTable(session, wizard);
        const EventSource before = wizard.eventSource;
        wizard.eventSource = EventSource::Code;
        // The boxes check what the sheet holds: a sheet beyond the limits is refused here already.
        setNumDatesText(session, wizard, QString::number(std::max(1, table.recordCount())));
        setNumWellsText(session, wizard, QString::number(table.fieldNames().size() - 1));
        wizard.eventSource = before;
        wizard.recordCount = table.recordCount();
        wizard.recordsText = QStringLiteral("Number of records found: ") + QString::number(wizard.numSamples);
        wizard.gridColumns = table.fieldNames();
        wizard.table = std::move(table);
        CheckStatus(session, wizard);
    });
}

void CheckStatus(Session &session, WaterLevelWizard &wizard)
{
    guarded(session, tagged("CheckStatus"), [&] {
        switch (wizard.step) {
        case 1:
            wizard.nextEnabled = true;
            wizard.hint.clear();
            break;
        case 2: checkFileStep(session, wizard); break;
        case 3:
            wizard.readDataEnabled = !session.model.WLDataTable.isEmpty() && wizard.numWLWells >= 1;
            wizard.nextEnabled = false;
            break;
        default: break;
        }
    });
}

bool ReadData(Session &session, WaterLevelWizard &wizard)
{
    bool done = false;
    guarded(session, tagged("ReadData"), [&] {
        ProjectModel &m = session.model;
        Table table = openSourceTable(session, wizard);
        // The limits are checked before anything of the model changes.
        if (table.recordCount() > MaxSampleDates) {
            warn(session, tooManyDates(QString::number(table.recordCount())));
            return;
        }
        const int wells = int(table.fieldNames().size()) - 1;
        if (wells > MaxWells) {
            warn(session, tooManyWells(QString::number(wells)));
            return;
        }
        if (wells < 1)
            throw QelError(ErrTableFormat,
                QStringLiteral("The table %1 holds no well columns: the first column holds the sample dates, "
                               "every further column the water levels of one well.")
                    .arg(table.name()));
        showCounts(wizard, table.recordCount(), wells);
        if (!m.WCDone) {
            m.WLMin = 1e30;
            m.WLMax = -1e30;
        }
        if (!m.PLDone) {
            m.PLLeft = 1e30;
            m.PLRight = -1e30;
            m.PLTop = -1e30;
            m.PLBottom = 1e30;
        }
        m.NumSamples = qint16(wizard.numSamples);
        m.NumWLWells = qint16(wizard.numWLWells);
        const bool failed = readLevels(session, table);
        if (!m.WCDone)
            m.WLInt = std::nearbyint((m.WLMax - m.WLMin) / 5); // halves to even
        wizard.gridColumns = table.fieldNames();
        wizard.table = std::move(table);
        if (failed) {
            session.ErrorText = Tag + QStringLiteral(": Error in water level data. Please see log file.");
            ReportError(session);
            return;
        }
        wizard.gridEnabled = true;
        log(session,
            QStringLiteral(": Read water level data for ") + QString::number(m.NumWLWells)
                + QStringLiteral(" wells and ") + QString::number(m.NumSamples) + QStringLiteral(" dates."));
        wizard.hint = ReadSucceededHint;
        m.WLDone = true;
        wizard.nextEnabled = true;
        done = true;
    });
    return done;
}

void Finished(Session &session, WaterLevelWizard &wizard)
{
    guarded(session, tagged("Finished"), [&] {
        if (!wizard.table)
            wizard.table = openSourceTable(session, wizard);
        const Table &table = *wizard.table;
        ProjectModel &m = session.model;
        // The boxes may ask for fewer dates or wells than the sheet has, never for more.
        m.NumSamples = qint16(std::clamp(wizard.numSamples, 1, table.recordCount()));
        m.NumWLWells = qint16(std::clamp(wizard.numWLWells, 0, int(table.fieldNames().size()) - 1));
        if (readLevels(session, table)) {
            session.ErrorText = Tag + QStringLiteral(": Error in water level data. Please see log file.");
            ReportError(session);
        }
    });
}

void replayWaterLevels(Session &session)
{
    WaterLevelWizard wizard;
    openWaterLevelWizard(session, wizard);
}

} // namespace qel

#include "input/water_level_reader.h"

#include "core/date_text.h"
#include "core/number_text.h"
#include "core/reporting.h"
#include "input/date_column.h"

#include <QHash>
#include <QLocale>

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

// The model's water-level fields. A read fills a copy and hands it to the model only when it
// ran to its end, so that a read that fails half way changes nothing.
struct LevelFields {
    int16 NumSamples = 0, NumWLWells = 0;
    decltype(ProjectModel::WLWellID) WLWellID;
    decltype(ProjectModel::SampleDate) SampleDate;
    decltype(ProjectModel::WLData) WLData;
    decltype(ProjectModel::WLWellX) WLWellX, WLWellY;
    decltype(ProjectModel::WLWellUnlocated) WLWellUnlocated;
    double WLMin = 0, WLMax = 0, WLInt = 0, PLLeft = 0, PLRight = 0, PLBottom = 0, PLTop = 0;
};

// Walks the fields of both in one order, for the copy each way.
template<typename To, typename From> void copyLevelFields(To &to, const From &from)
{
    to.NumSamples = from.NumSamples, to.NumWLWells = from.NumWLWells;
    to.WLWellID = from.WLWellID, to.SampleDate = from.SampleDate, to.WLData = from.WLData;
    to.WLWellX = from.WLWellX, to.WLWellY = from.WLWellY, to.WLWellUnlocated = from.WLWellUnlocated;
    to.WLMin = from.WLMin, to.WLMax = from.WLMax, to.WLInt = from.WLInt;
    to.PLLeft = from.PLLeft, to.PLRight = from.PLRight, to.PLBottom = from.PLBottom, to.PLTop = from.PLTop;
}

// A well with two level columns gives the regression two levels at one place on every date,
// which is rarely meant: every such well is shown with its columns.
void warnRepeatedColumns(
    Session &session, const Table &table, const QHash<QString, QStringList> &columnsOf, const QStringList &order)
{
    QStringList repeated;
    for (const QString &key : order) {
        const QStringList &columns = columnsOf[key];
        if (columns.size() > 1)
            repeated << u'\'' + table.fieldNames().value(columns.front().toInt() - 1) + QStringLiteral("' (columns ")
                    + columns.join(QStringLiteral(", ")) + u')';
    }
    if (!repeated.isEmpty())
        warn(session,
            QStringLiteral("These wells have more than one water level column (letter case ignored): ")
                + repeated.join(QStringLiteral(", ")) + QStringLiteral(".\nEach column is read as a well of its own."));
}

// A name with each character case folded as a case-insensitive comparison folds it, so that two
// names compare equal exactly when their keys are the same.
QString foldedKey(const QString &name)
{
    QString key;
    key.reserve(name.size());
    for (const char32_t c : name.toUcs4()) {
        const char32_t folded = QChar::toCaseFolded(c);
        if (QChar::requiresSurrogates(folded)) {
            key += QChar(QChar::highSurrogate(folded));
            key += QChar(QChar::lowSurrogate(folded));
        } else {
            key += QChar(char16_t(folded));
        }
    }
    return key;
}

// The first well of the locations list with each name, found without comparing every name with
// every other: a thousand wells took half a million comparisons.
class WellsByName {
public:
    explicit WellsByName(const ProjectModel &m)
        : m_model(m)
    {
        for (int k = m.NumWells; k >= 1; --k)
            m_first.insert(foldedKey(m.WellID(k)), k);
    }

    // The number of the first well of the name, 0 for none.
    int find(const QString &name) const
    {
        const int k = m_first.value(foldedKey(name), 0);
        if (k != 0 && m_model.WellID(k).compare(name, Qt::CaseInsensitive) == 0)
            return k;
        // A name without a well of its key (or sharing a key with another, as lone surrogates
        // do) is compared with every well, as it always was: the comparison decides.
        for (int j = 1; j <= m_model.NumWells; ++j)
            if (m_model.WellID(j).compare(name, Qt::CaseInsensitive) == 0)
                return j;
        return 0;
    }

private:
    const ProjectModel &m_model;
    QHash<QString, int> m_first;
};

// Matches the well columns against the well list for their coordinates and widens the plot
// limits. Returns whether an identifier was blank (logged).
bool readWellColumns(Session &session, const Table &table, LevelFields &f)
{
    const ProjectModel &m = session.model;
    const WellsByName wells(m);
    bool failed = false;
    QHash<QString, QStringList> columnsOf; // table columns (the dates are column 1) of each well
    QStringList order;
    for (int j = 1; j <= f.NumWLWells; ++j) {
        const QString name = table.fieldNames().value(j);
        f.WLWellID(j) = name;
        if (name.trimmed().isEmpty()) {
            log(session, QStringLiteral(": WellID is blank for record number") + QString::number(j));
            failed = true;
            continue;
        }
        const QString key = name.toCaseFolded();
        if (!columnsOf.contains(key))
            order << key;
        columnsOf[key] << QString::number(j + 1);
        const int found = wells.find(name);
        if (!found) {
            // No coordinates from an earlier read may stay with another well.
            f.WLWellX(j) = 0;
            f.WLWellY(j) = 0;
            f.WLWellUnlocated(j) = 1;
            warn(session,
                QStringLiteral("Water level data well '") + name
                    + QStringLiteral("' is not found in the well locations list!"));
            continue;
        }
        const double x = m.WellX(found), y = m.WellY(found);
        f.WLWellX(j) = x;
        f.WLWellY(j) = y;
        f.WLWellUnlocated(j) = 0;
        if (!m.PLDone) {
            f.PLRight = std::max(f.PLRight, x);
            f.PLLeft = std::min(f.PLLeft, x);
            f.PLTop = std::max(f.PLTop, y);
            f.PLBottom = std::min(f.PLBottom, y);
        }
    }
    warnRepeatedColumns(session, table, columnsOf, order);
    return failed;
}

QString dateCellName(const Table &table, int i)
{
    return QStringLiteral("The date cell ") + cellReference(i - 1, 0) + QStringLiteral(" (record ") + QString::number(i)
        + QStringLiteral(" of ") + table.name() + u')';
}

QString quotedDate(const Table &table, int record)
{
    return u'"' + table.cell(record, 0).toText() + u'"';
}

// The day-month order of the first count dates, logged when the column holds numeric dates, for
// the reader of the log to check.
DateColumnOrder sampleDateOrder(Session &session, const Table &table, int count)
{
    const DateColumnOrder order = dateColumnOrder(table, 0, count);
    if (!order.numeric || order.disagreeing >= 0)
        return order;
    if (order.settledBy >= 0)
        log(session,
            QStringLiteral(": Dates read ") + dayMonthText(order.order) + QStringLiteral(", as ")
                + cellReference(order.settledBy, 0) + u' ' + quotedDate(table, order.settledBy)
                + QStringLiteral(" shows."));
    else
        log(session,
            QStringLiteral(": Dates read ") + dayMonthText(order.order)
                + QStringLiteral(" as the system's short form (") + QLocale::system().dateFormat(QLocale::ShortFormat)
                + QStringLiteral(") has them: no date of the column has a day above 12."));
    return order;
}

// A column whose dates need both orders ends the read at its first date that disagrees.
[[noreturn]] void refuseMixedOrder(const Table &table, const DateColumnOrder &order)
{
    const DayMonth other = order.order == DayMonth::DayFirst ? DayMonth::MonthFirst : DayMonth::DayFirst;
    throw QelError(ErrTypeMismatch,
        dateCellName(table, order.disagreeing + 1) + QStringLiteral(" reads ") + quotedDate(table, order.disagreeing)
            + u' ' + dayMonthText(other) + QStringLiteral(", but ") + cellReference(order.settledBy, 0) + u' '
            + quotedDate(table, order.settledBy) + QStringLiteral(" above it reads ") + dayMonthText(order.order)
            + QStringLiteral(". Write every date of the column in one order, or as yyyy-mm-dd."));
}

// The date of record i. Text that is no date ends the read; a plain number is taken as a
// spreadsheet serial day, which a date cell that lost its format holds, but it may as well be
// something else typed into the column, so the first one is shown and every one is logged.
QDate sampleDate(Session &session, const Table &table, int i, DayMonth order, bool &numberSeen)
{
    const TableCell &cell = table.cell(i - 1, 0);
    const auto date = cellDate(cell, order);
    const QString where = dateCellName(table, i);
    if (!date)
        throw QelError(ErrTypeMismatch,
            where + QStringLiteral(" is not a date: \"") + cell.toText()
                + QStringLiteral("\". Use date cells, or dates written as yyyy-mm-dd or in the system's short "
                                 "form (")
                + QLocale::system().dateFormat(QLocale::ShortFormat) + QStringLiteral(")."));
    if (cell.isNumber()) {
        const QString text = where + QStringLiteral(" holds the number ") + cell.toText()
            + QStringLiteral(", not a date; it is read as the spreadsheet serial day ") + date->toString(Qt::ISODate)
            + u'.';
        log(session, QStringLiteral(": ") + text);
        if (!numberSeen)
            warn(session, text + QStringLiteral("\nPlease check the dates, or format the column as dates."));
        numberSeen = true;
    }
    return *date;
}

// The well columns and the records (dates and levels) of the table for the counts in f.
// Returns whether the data has faults that were logged.
bool readLevels(Session &session, const Table &table, LevelFields &f)
{
    const ProjectModel &m = session.model;
    bool failed = readWellColumns(session, table, f);
    bool numberSeen = false;
    const DateColumnOrder order = sampleDateOrder(session, table, f.NumSamples);
    for (int i = 1; i <= f.NumSamples; ++i) {
        if (i - 1 == order.disagreeing)
            refuseMixedOrder(table, order);
        const QDate date = sampleDate(session, table, i, order.order, numberSeen);
        f.SampleDate(i) = date;
        for (int j = 1; j <= f.NumWLWells; ++j) {
            const TableCell &cell = table.cell(i - 1, j);
            if (!cell.isNumber()) {
                const QString where = QStringLiteral(" for Well # ") + QString::number(j) + QStringLiteral(" date ")
                    + shortDateText(date);
                log(session,
                    cell.isNull() ? QStringLiteral(": Null Water level value encountered") + where
                                  : QStringLiteral(": Invalid Water level value \"") + cell.toText() + u'"' + where);
                f.WLData(j, i) = MissingLevel;
                failed = true;
                continue;
            }
            const double level = cell.toNumber();
            f.WLData(j, i) = level;
            if (!m.WCDone && level != MissingLevel) {
                f.WLMax = std::max(f.WLMax, level);
                f.WLMin = std::min(f.WLMin, level);
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
        wizard.editedCells.clear();
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
        LevelFields f;
        copyLevelFields(f, m);
        if (!m.WCDone) {
            f.WLMin = 1e30;
            f.WLMax = -1e30;
        }
        if (!m.PLDone) {
            f.PLLeft = 1e30;
            f.PLRight = -1e30;
            f.PLTop = -1e30;
            f.PLBottom = 1e30;
        }
        f.NumSamples = qint16(table.recordCount());
        f.NumWLWells = qint16(wells);
        const bool failed = readLevels(session, table, f);
        if (!m.WCDone)
            f.WLInt = std::nearbyint((f.WLMax - f.WLMin) / 5); // halves to even
        copyLevelFields(m, f);
        session.markChanged();
        showCounts(wizard, table.recordCount(), wells);
        wizard.gridColumns = table.fieldNames();
        wizard.table = std::move(table);
        wizard.editedCells.clear();
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
        LevelFields f;
        copyLevelFields(f, m);
        // The boxes may ask for fewer dates or wells than the sheet has, never for more.
        f.NumSamples = qint16(std::clamp(wizard.numSamples, 1, table.recordCount()));
        f.NumWLWells = qint16(std::clamp(wizard.numWLWells, 0, int(table.fieldNames().size()) - 1));
        const bool failed = readLevels(session, table, f);
        copyLevelFields(m, f);
        session.markChanged();
        if (failed) {
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

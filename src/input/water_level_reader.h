#pragma once

#include "input/import_wizard.h"

namespace qel {

// Sample dates one table may hold; the arrays keep a spare slot after the last date for the
// average of the dates.
constexpr int MaxSampleDates = 60;
// The code of a missing water level; a null cell is stored as it too.
constexpr double MissingLevel = -9999;

// The water-level wizard's state: the shared pages plus the two count boxes of step 3. The
// counts the boxes accepted are taken over into NumSamples and NumWLWells when the data is read,
// so that the model never announces more dates or wells than it holds.
struct WaterLevelWizard : ImportWizard {
    WaterLevelWizard()
        : ImportWizard(waterLevelWizardKind())
    {
    }

    QString numDatesText; // txtWLNumDates
    QString numWellsText; // txtWLNumWells
    int numSamples = 0;
    int numWLWells = 0;
    bool createAccess = false; // the access choice: always "Attach"
};

inline const QString UseAttachHint = QStringLiteral("Use Attach now.");

// The wizard's events; each reports its failures under "Wldata:<procedure>" (the count boxes
// under "WLData:").
void openWaterLevelWizard(Session &session, WaterLevelWizard &wizard); // Form_Load; in batch mode reads
void waterLevelsFormatClicked(Session &session, WaterLevelWizard &wizard, int index);
void waterLevelsFolderClicked(Session &session, WaterLevelWizard &wizard);
void waterLevelsSheetClicked(Session &session, WaterLevelWizard &wizard, int index);
void waterLevelsAccessChosen(WaterLevelWizard &wizard, bool create);
// The count boxes' change events: the text's leading number, checked against the limits.
void setNumDatesText(Session &session, WaterLevelWizard &wizard, const QString &text);
void setNumWellsText(Session &session, WaterLevelWizard &wizard, const QString &text);
void waterLevelsReadDataClicked(Session &session, WaterLevelWizard &wizard);
void waterLevelsFinishedEditingClicked(Session &session, WaterLevelWizard &wizard);
void waterLevelsNext(Session &session, WaterLevelWizard &wizard);
void waterLevelsBack(Session &session, WaterLevelWizard &wizard);

// Opens the chosen sheet and fills the two count boxes from its records and columns.
void CheckDataFile(Session &session, WaterLevelWizard &wizard);
void CheckStatus(Session &session, WaterLevelWizard &wizard);
// Reads the [Water Levels] sheet: one record per sample date (the date in the first column),
// one further column per well named by its identifier. Matches the wells against the well list
// for their coordinates, widens the plot limits and the water-level range unless those steps
// are done. Returns whether WLDone was set.
bool ReadData(Session &session, WaterLevelWizard &wizard);
// "Finished Editing": reads the grid's table again, for the counts in the boxes.
void Finished(Session &session, WaterLevelWizard &wizard);

// What the project reader runs when an opened project has WLDone set (RunMode "Batch").
void replayWaterLevels(Session &session);

} // namespace qel

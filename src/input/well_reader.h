#pragma once

#include "input/import_wizard.h"

#include <array>

namespace qel {

enum class WellField { WellID = 0, X = 1, Y = 2 };

// The well-locations wizard's state: the shared pages plus the three field lists of step 3
// and the "Map Wells" button of step 4 (its action is MapWells in views/map_wells.h, above the
// layer tree).
struct WellsWizard : ImportWizard {
    WellsWizard()
        : ImportWizard(wellsWizardKind())
    {
    }

    bool fieldListsEnabled = false;
    QStringList fieldNames; // the items of each of the three field lists
    std::array<int, 3> fieldIndex { -1, -1, -1 }; // selection per WellField, -1 for none
    bool mapWellsEnabled = false;
};

inline const QString WellDataErrorHint = QStringLiteral("Error in data. Please see log file.");

// The field list selections for a table's field names: a stored name that is a field of the
// table stays chosen; otherwise the first name that looks like it (identifier: begins with
// "ID" or contains "WELL"; x: begins with "X" or contains "EAST"; y: not the identifier or x
// field, begins with "Y" or contains "NORTH"), -1 when none does.
std::array<int, 3> wellFieldChoice(
    const QStringList &names, const QString &storedId, const QString &storedX, const QString &storedY);

// The wizard's events, in the order a page sends them. Each reports its own failures under
// "Wells:<procedure>" and leaves the model as far as it got.
// Form_Load; in batch mode it reads the wells, and replayWellLocations maps them when WEmapped.
void openWellsWizard(Session &session, WellsWizard &wizard);
void wellsFormatClicked(Session &session, WellsWizard &wizard, int index);
void wellsFolderClicked(Session &session, WellsWizard &wizard); // the file dialog, then the sheets
void wellsSheetClicked(Session &session, WellsWizard &wizard, int index);
void wellsFieldClicked(Session &session, WellsWizard &wizard, WellField field, int index);
void wellsReadDataClicked(Session &session, WellsWizard &wizard);
void wellsFinishedEditingClicked(Session &session, WellsWizard &wizard);
void wellsNext(Session &session, WellsWizard &wizard); // "&Next >", and "Finish" on step 4
void wellsBack(Session &session, WellsWizard &wizard);
// Cancel and grid edits: wizardCancel, wizardCellEdited.

// Opens the chosen sheet, lists its fields with the default choice and counts its records.
void CheckDataFile(Session &session, WellsWizard &wizard);
// Enables the navigation of the current step; on step 4 marks the wells step done.
void CheckStatus(Session &session, WellsWizard &wizard);
// Reads the wells named by the [Well Data] settings into WellID, WellX, WellY and NumWells.
// Records with a null identifier are no wells and are left out. Returns whether WEDone was set.
bool ReadData(Session &session, WellsWizard &wizard);
// "Finished Editing": reads the grid's table again into the well list.
void Finished(Session &session, WellsWizard &wizard);

} // namespace qel

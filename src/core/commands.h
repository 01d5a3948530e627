#pragma once

#include <array>

namespace qel {

// Every command of the menus and the toolbar. Core enables and disables them by these names
// and the workflow steps name the command that carries them out, so a misspelt command fails to
// compile instead of doing nothing.
enum class Command {
    FileNew,
    FileOpen,
    FileClose,
    FileSave,
    FileSaveAs,
    FileOpenBaseMap,
    FileExport,
    FileExportGis,
    FilePrint,
    FileExit,
    EditCut,
    EditCopy,
    EditPaste,
    EditClear,
    EditUnits,
    EditWellLocations,
    EditWaterLevelData,
    EditSourceLocation,
    EditTransportData,
    EditButton, // the toolbar's "Edit" button
    ViewSummary,
    ViewRegressionOutput, // the outline's "View raw output files"; no menu entry
    ViewWaterLevelContours,
    ViewPlumeContours,
    ViewMinDistContours,
    ViewWolfContours,
    ViewDetectionContours, // the plume uncertainty study's detection probability
    ViewExactPlumeContours, // the exact strip-source plume's date average
    ViewExactDifferenceContours, // exact minus Domenico
    ViewSessionLog,
    ViewMessageWindow,
    MapSetScale,
    MapSetPlotLimits,
    MapSetTitle,
    MapExportImage,
    RunRegression,
    RunAnalytical,
    RunPlumeUncertainty,
    RunExactPlume,
    ToolsOptions,
    WindowCascade,
    WindowTile,
    WindowTileHorizontal,
    WindowTileVertical,
    WindowArrangeIcons,
    WindowClose, // closes the active document window
    HelpContents,
    HelpCurrentTopic,
    HelpAbout,
    ZoomIn,
    ZoomWindow,
    ZoomOut,
    ZoomPrevious,
    ZoomAll,
};

// The map's zoom buttons, enabled while a map is shown.
inline constexpr std::array ZoomCommands
    = { Command::ZoomIn, Command::ZoomWindow, Command::ZoomOut, Command::ZoomPrevious, Command::ZoomAll };
// The clipboard commands, enabled while a window with text fields is active.
inline constexpr std::array ClipboardCommands = { Command::EditCut, Command::EditCopy, Command::EditPaste };

// The status-bar panels, left to right.
enum class StatusPanel { Status, Coords, File };
inline constexpr std::array StatusPanels = { StatusPanel::Status, StatusPanel::Coords, StatusPanel::File };

} // namespace qel

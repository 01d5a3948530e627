#include "gui/workbench/menu_table.h"

namespace qel::gui {

namespace {

MenuItem item(Command command, const char *objectName, const char *caption, const char *logText = nullptr,
    const char *shortcut = nullptr)
{
    return { MenuItemKind::Command, command, objectName, caption, logText, shortcut };
}

const MenuItem Separator { MenuItemKind::Separator };
const MenuItem RecentFiles { MenuItemKind::RecentFiles };
const MenuItem WindowList { MenuItemKind::WindowList };

} // namespace

const std::vector<MenuDefinition> &menuDefinitions()
{
    using C = Command;
    static const std::vector<MenuDefinition> menus = {
        { "mnuFile", "&File",
            {
                item(C::FileNew, "mnuFileNew", "&New Project"),
                item(C::FileOpen, "mnuFileOpen", "&Open Project..."),
                item(C::FileClose, "mnuFileClose", "&Close Project"),
                item(C::FileSave, "mnuFileSave", "&Save Project"),
                item(C::FileSaveAs, "mnuFileSaveAs", "Save Project &As..."),
                Separator,
                item(C::FileOpenBaseMap, "mnuFileOpenBaseMap", "Open Base &Map..."),
                item(C::FileExport, "mnuFileExport", "&Export Model Results", "File > Export Model Results"),
                item(C::FileExportGis, "mnuFileExportGIS", "Export grids for &GIS...", "File > Export grids for GIS"),
                Separator,
                item(C::FilePrint, "mnuFilePrint", "&Print", "File > Print"),
                RecentFiles,
                Separator,
                item(C::FileExit, "mnuFileExit", "&Exit"),
            } },
        { "mnuEdit", "&Edit",
            {
                item(C::EditCut, "mnuEditCut", "Cu&t", "Edit > Cut"),
                item(C::EditCopy, "mnuEditCopy", "C&opy", "Edit > Copy"),
                item(C::EditPaste, "mnuEditPaste", "&Paste", "Edit > Paste"),
                Separator,
                item(C::EditClear, "mnuEditClear", "Clear"),
                Separator,
                item(C::EditUnits, "mnuEditUnits", "&Units", "Edit > Units"),
                item(C::EditWellLocations, "mnuEditWellLocations", "&Well Locations", "Edit > Well Locations"),
                item(C::EditWaterLevelData, "mnuEditWaterLevelData", "Water &Level Data", "Edit > Water Level Data"),
                item(C::EditSourceLocation, "mnuEditSourceLocation", "&Source location", "Edit > Source Location"),
                item(C::EditTransportData, "mnuEditTransportData", "&Transport model data", "Edit > Model Data"),
            } },
        { "mnuView", "&View",
            {
                item(C::ViewSummary, "mnuViewSummary", "Project &Summary", "View > Project Summary"),
                item(C::ViewWaterLevelContours, "mnuViewWaterLevelContours", "&Water Level Contours",
                    "View > Regression Results"),
                item(C::ViewPlumeContours, "mnuViewPlumeContours", "&Plume Contours", "View > Plume Contours"),
                item(C::ViewMinDistContours, "mnuViewMinDistContours", "&Minimum Distance Contours", "View > MinDist"),
                item(C::ViewWolfContours, "mnuViewWOLFContours", "W&OLF Contours", "View > WOLF"),
                Separator,
                item(C::ViewDetectionContours, "mnuViewDetectionContours", "&Detection Probability Contours",
                    "View > Detection Probability"),
                item(C::ViewExactPlumeContours, "mnuViewExactPlumeContours", "&Exact Plume Contours",
                    "View > Exact Plume"),
                item(C::ViewExactDifferenceContours, "mnuViewExactDifferenceContours", "E&xact minus Domenico Contours",
                    "View > Exact minus Domenico"),
                Separator,
                item(C::ViewSessionLog, "mnuViewSessionLog", "&Session Log File", "View > Session Log"),
                item(C::ViewMessageWindow, "mnuViewMessageWindow", "View Message Window", "View > Message"),
            } },
        { "mnuMap", "&Map",
            {
                item(C::MapSetScale, "mnuMapSetScale", "&Set Scale"),
                item(C::MapSetPlotLimits, "mnuMapSetPlotLimits", "Set Plot &Limits"),
                item(C::MapSetTitle, "mnuMapSetTitle", "Set &Title"),
                item(C::MapExportImage, "mnuMapExportImage", "&Export Map Image...", "Map > Export Image"),
            } },
        { "mnuRun", "&Run",
            {
                item(C::RunRegression, "mnuRunRegression", "Linear Regression Model", "Run > Regression"),
                item(C::RunAnalytical, "mnuRunAnalytical", "&Analytical Model", "Run > Analytical"),
                item(C::RunPlumeUncertainty, "mnuRunPlumeUncertainty", "Plume &Uncertainty...",
                    "Run > Plume Uncertainty"),
                item(C::RunExactPlume, "mnuRunExactPlume", "&Exact Plume", "Run > Exact Plume"),
            } },
        { "mnuTools", "&Tools", { item(C::ToolsOptions, "mnuToolsOptions", "Options", "Tool > Options") } },
        { "mnuWindow", "&Window",
            {
                item(C::WindowCascade, "mnuWindowCascade", "&Cascade", "Window > Cascade"),
                item(C::WindowTile, "mnuWindowTile", "&Tile", "Window > Tile"),
                item(
                    C::WindowTileHorizontal, "mnuWindowTileHorizontal", "Tile &Horizontal", "Window > Tile Horizontal"),
                item(C::WindowTileVertical, "mnuWindowTileVertical", "Tile &Vertical", "Window > Tile Vertical"),
                item(C::WindowArrangeIcons, "mnuWindowArrangeIcons", "&Arrange Icons", "Window > Arrange Icons"),
                Separator,
                item(C::WindowClose, "mnuWindowClose", "C&lose Window", "Window > Close Window", "Ctrl+F4"),
                WindowList,
            } },
        { "mnuHelp", "&Help",
            {
                item(C::HelpContents, "mnuHelpContents", "Contents", "Help > Contents"),
                item(C::HelpCurrentTopic, "mnuHelpCurrentTopic", "Current Topic", "Help > Current Topic"),
                Separator,
                item(C::HelpAbout, "mnuHelpAbout", "About QEL", "Help > About QEL"),
            } },
    };
    return menus;
}

const std::vector<ToolButtonDefinition> &toolbarButtons()
{
    using C = Command;
    static const std::vector<ToolButtonDefinition> buttons = {
        { C::FileNew, "New", "New project" },
        { C::FileOpen, "Open", "Open project" },
        { C::FileSave, "Save", "Save project" },
        {},
        { C::EditButton, "Edit", "Edit" },
        { C::FilePrint, "Print", "Print the active window" },
        {},
        { C::EditCut, "Cut", "Cut" },
        { C::EditCopy, "Copy", "Copy" },
        { C::EditPaste, "Paste", "Paste" },
        { C::EditClear, "Clear", "Clear the project" },
        {},
        { C::ZoomIn, "Zoom In", "Zoom In" },
        { C::ZoomWindow, "Zoom Window", "Zoom Window" },
        { C::ZoomOut, "Zoom Out", "Zoom Out" },
        { C::ZoomPrevious, "Zoom Previous", "Zoom Previous" },
        { C::ZoomAll, "Zoom All", "Zoom All" },
    };
    return buttons;
}

} // namespace qel::gui

#pragma once

#include <QString>

namespace qel {

// Help-context numbers of the workbench's windows and dialogs. Topics below 1100 open in the
// help window "main", the others in "proc1".
namespace HelpTopic {
constexpr int Contents = 1000;
constexpr int Outline = 1010;
constexpr int Layers = 1020;
constexpr int MessageWindow = 1030;
constexpr int OutputViewer = 1040;
constexpr int SummaryDocument = 1050;
constexpr int About = 1060;
constexpr int Options = 1900;
constexpr int Units = 3100;
constexpr int TransportData = 3200;
constexpr int PlotLimits = 3300;
constexpr int Regression = 3400;
constexpr int SourceLocation = 3500;
constexpr int AnalyticalRun = 3600;
constexpr int ResultsExport = 3800;
constexpr int RegressionResults = 3900;
constexpr int PlumeContours = 4110;
constexpr int MinDistContours = 4120;
constexpr int WolfContours = 4130;
constexpr int MapWindow = 5100;
constexpr int MapScale = 5200;
constexpr int WellsIntroduction = 5510;
constexpr int WellsFile = 5520;
constexpr int WellsFields = 5530;
constexpr int WellsData = 5540;
constexpr int WaterLevelsIntroduction = 5610;
constexpr int WaterLevelsFile = 5620;
constexpr int WaterLevelsFields = 5630;
constexpr int WaterLevelsData = 5640;
} // namespace HelpTopic

// "main" below 1100, "proc1" otherwise.
QString helpWindowName(int context);

// File name of the topic under the help folder ("units.html"); the contents for an unknown number.
QString helpTopicFile(int context);

// The folder holding the help topics: $QEL_HELP_DIR, else help/ beside the program, else the
// source tree's docs/help.
QString helpFolder(const QString &programFolder);

} // namespace qel

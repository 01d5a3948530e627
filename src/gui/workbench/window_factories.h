#pragma once

#include "core/session.h"

#include <QString>

#include <functional>

class QWidget;

namespace qel::gui {

class ChildForm;

// The windows other parts of the workbench build, as the main window reaches them. A factory
// left empty keeps its command disabled.
struct WindowFactories {
    using FormFactory = std::function<ChildForm *(Session &, QWidget *parent)>;

    FormFactory units; // Edit > Units, outline "1.1 Set units"
    FormFactory transport; // Edit > Transport model data
    FormFactory plotLimits; // Map > Set Plot Limits, outline "1.6 Plot limits"
    FormFactory source; // Edit > Source location, outline "1.8 Source location"
    FormFactory options; // Tools > Options
    FormFactory summary; // View > Project Summary: a new document filled by ShowProjectData
    FormFactory plumeContours; // View > Plume Contours, outline "3.3 View plume contours"
    FormFactory minDistContours; // View > Minimum Distance Contours
    FormFactory wolfContours; // View > WOLF Contours
    FormFactory detectionContours; // View > Detection Probability Contours
    FormFactory exactPlumeContours; // View > Exact Plume Contours
    FormFactory exactDifferenceContours; // View > Exact minus Domenico Contours
    FormFactory waterLevelContours; // View > Water Level Contours, outline "2.3 Water level contours"
    FormFactory wellLocations; // Edit > Well Locations, outline "1.4 Well locations"
    FormFactory waterLevels; // Edit > Water Level Data, outline "1.5 Water levels"
    // The output viewer showing the given text file (View > Session Log File without a viewer).
    std::function<ChildForm *(Session &, QWidget *parent, const QString &file)> outputViewer;
    // Opens the help topic with that number.
    std::function<void(Session &, QWidget *parent, int helpContext)> help;
    std::function<void(Session &, QWidget *parent)> about;
};

} // namespace qel::gui

#pragma once

#include "core/project_model.h"

#include <QString>

#include <variant>
#include <vector>

namespace qel {

// The plain key=value lines of the project file, in file order. Writer and reader walk the same
// lists so that a key can never be written in one place and read in another order. Sections with
// conditional lines (calibration, decay, contour levels) are written out in code.
using ModelField
    = std::variant<QString ProjectModel::*, bool ProjectModel::*, double ProjectModel::*, int16 ProjectModel::*>;

struct KeyField {
    const char *key;
    ModelField field;
};

using KeyFields = std::vector<KeyField>;

namespace layout {

const KeyFields &status();
const KeyFields &units();
const KeyFields &baseMap();
const KeyFields &wellData();
const KeyFields &waterLevels();
const KeyFields &wlContours();
const KeyFields &plotLimits();
const KeyFields &transportBeforeDecay(); // K .. RetFactor
const KeyFields &transportAfterDecay(); // Time .. RoundXY

} // namespace layout

// The three contour views, each with the prefix of its keys.
struct ContourSection {
    const char *name; // "[Plume Contours]"
    const char *prefix; // "PC"
    ContourView ProjectModel::*view;
    bool hasUseLog; // the minimum-distance view has no use-log line
};

const std::vector<ContourSection> &contourSections();

} // namespace qel

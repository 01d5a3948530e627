#pragma once

#include "core/session.h"

#include <QByteArray>

#include <vector>

namespace qel {

// A place the WOLF grid proposes for a new well: a node where the plume is strong and the
// nearest well far.
struct NewWellPlace {
    int column = 0, row = 0; // model-grid node, row 1 at PCTop
    double x = 0, y = 0;
    double wolf = 0, minDistance = 0, concentration = 0; // concentration: the average plume
};

// The highest local maxima of the WOLF grid, highest first, at most count. A maximum is a node
// with a positive value that no neighbour (of eight) exceeds; of equal neighbours the first in
// row order stands for them, so a flat top gives one place, not many side by side.
std::vector<NewWellPlace> bestNewWellPlaces(const ProjectModel &model, int count);

// The places as CR LF csv: a header, then rank, x, y, WOLF, distance and concentration.
QByteArray newWellPlacesCsv(const std::vector<NewWellPlace> &places);

// `qel --batch P --new-wells FILE.csv`: the three best places; an error when WOLF has not run.
bool writeNewWellPlaces(Session &session, const QString &target);
void registerNewWellPlacesBatchOutput();

} // namespace qel

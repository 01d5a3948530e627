#pragma once

#include <vector>

namespace qel::regress {

struct WellLevel {
    double x, y, level;
};

// The least-squares plane level = a x + b y + c through the levels of one date, with its
// coefficient of determination, the gradient's magnitude and the azimuth of the flow (down the
// gradient), in degrees clockwise from north (+y). Fewer than three wells, or wells on one line,
// give no plane.
struct PlaneFit {
    bool fitted = false;
    double a = 0, b = 0, c = 0;
    double r2 = 0;
    double magnitude = 0;
    double direction = 0;
    int wells = 0;
};

PlaneFit fitPlane(const std::vector<WellLevel> &levels);

// The azimuth of the flow down the gradient (a, b) of a plane, in (-180, 180]; 0 for a flat one.
double flowAzimuth(double a, double b);

} // namespace qel::regress

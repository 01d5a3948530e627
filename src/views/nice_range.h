#pragma once

namespace qel {

// The step a person would pick: 1, 2, 2.5 or 5 times a power of ten, the smallest such step not
// below least (least > 0).
double niceStep(double least);

struct NiceRange {
    double min = 0;
    double max = 0;
};

// A range proposed for levels: min rounded down and max up to a nice step of about a tenth of
// the range, so that 95.29 to 101.98 becomes 95 to 102. A positive minimum stays positive: where
// the step would take it to zero it rounds down at its own order of magnitude instead (0.00312
// to 0.0981 becomes 0.003 to 0.1). A positive multiple makes every bound a multiple of it. A
// range that is empty, reversed or not finite is returned as it is.
NiceRange niceRange(double min, double max, double multiple = 0);

} // namespace qel

#pragma once

#include "core/session.h"

#include <QString>

namespace qel {

class MemoryFolder;
struct ExactComparison;

// The two grids of the exact plume beside Domenico's, in the order they are written.
inline const QString ExactAverageFile = QStringLiteral("exact_average.tif");
inline const QString ExactDifferenceFile = QStringLiteral("exact_minus_domenico.tif");
// What the two GeoTIFFs say they hold.
inline const QString ExactAverageDescription
    = QStringLiteral("Exact strip-source plume concentration, average of the dates");
inline const QString ExactDifferenceDescription
    = QStringLiteral("Exact strip-source plume minus the Domenico plume, averages of the dates");

// Computes the exact strip-source plume of every date and writes its average and its difference
// from the Domenico average into dir (made when missing) as GeoTIFFs of the GIS export's grid and
// coordinate system, then says in the Message window how far Domenico falls short on the
// centreline. When dir holds a file of either name it writes nothing and fails unless replace is
// true. Both files replace their old copies only once both are complete. Failures are reported
// under "ExactPlume:export"; returns whether both were written.
bool exportExactPlume(Session &session, const QString &dir, bool replace);

// The Message line of a comparison: the largest centreline under-prediction and where it is.
QString centrelineMessage(const ProjectModel &m, const ExactComparison &comparison);

// What a finished comparison tells the person: the centreline line in the Message window, and a
// warning when nodes fell short of their accuracy.
void reportComparison(Session &session, const ExactComparison &comparison);

// Run > Exact Plume: computes the comparison with the progress bar (cancel leaves the one before),
// keeps it in the session for the exact plume's views and says what it found. Failures are
// reported under "ExactPlume:run"; returns whether it completed.
bool runExactPlume(Session &session);

// Makes `qel --batch P --exact-plume DIR [--overwrite]` available.
void registerExactPlumeBatchOutput();

} // namespace qel

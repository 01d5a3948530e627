#pragma once

#include "core/batch_run.h"
#include "core/session.h"

#include <QString>
#include <QStringList>

namespace qel {

// What the exceedance GeoTIFF says it holds.
QString exceedanceDescription(double threshold);

// The files `qel --batch P --uncertainty DIR` writes into DIR, in the order it writes them.
QStringList plumeUncertaintyFileNames();

// Runs the plume uncertainty study with the job's --runs, --seed and --threshold (defaults: 500,
// 1, the default threshold) and writes exceedance.tif, p05.tif, p50.tif, p95.tif (GeoTIFF as the
// GIS export writes them), detection-wells.csv and redundant-wells.csv into dir (made when
// missing). When dir holds any of these files it writes nothing and fails, unless --overwrite.
bool writePlumeUncertainty(Session &session, const QString &dir, const BatchOptions &options);
void registerPlumeUncertaintyBatchOutput();

} // namespace qel

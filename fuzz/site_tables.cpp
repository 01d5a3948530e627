// The well and water-level readers on the tables of a site, and the regression input written
// from what they accepted. The input is the wells table, a form feed, then the levels table.
// Whatever the readers take, the regress program must be able to read the file made of it.
#include "fuzz_support.h"

#include "analysis/regression_run.h"
#include "input/water_level_reader.h"
#include "regress/regress_input.h"
#include "views/map_wells.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace qel;
    const QByteArray bytes = fuzz::inputBytes(data, size);
    const qsizetype split = bytes.indexOf('\f');
    fuzz::writeScratchFile(QStringLiteral("wells.csv"), split < 0 ? bytes : bytes.left(split));
    fuzz::writeScratchFile(QStringLiteral("levels.csv"), split < 0 ? QByteArray() : bytes.mid(split + 1));

    fuzz::QuietSession quiet;
    ProjectModel &m = quiet.session->model;
    m.ProjectDir = fuzz::scratchFolder(), m.ProjectDirAssigned = true, m.RunMode = QStringLiteral("Batch");
    m.WEDataFormat = m.WLDataFormat = QStringLiteral("Text"), m.WEFileExt = m.WLFileExt = QStringLiteral("csv");
    m.WEDataFile = QStringLiteral("wells.csv"), m.WEDataTable = QStringLiteral("wells");
    m.WellIDField = QStringLiteral("WellID"), m.XField = QStringLiteral("X"), m.YField = QStringLiteral("Y");
    m.WLDataFile = QStringLiteral("levels.csv"), m.WLDataTable = QStringLiteral("levels");
    replayWellLocations(*quiet.session);
    if (m.WEDone)
        replayWaterLevels(*quiet.session);
    if (m.WLDone) {
        std::optional<QString> stop;
        const QByteArray input = regressionInputBytes(m, stop);
        const regress::ParseResult parsed = regress::parseRegressInput(input);
        if (!stop && !parsed.input) {
            std::fprintf(stderr, "regress refuses the input QEL wrote: %s\n", qPrintable(parsed.problem));
            std::abort();
        }
    }
    return 0;
}

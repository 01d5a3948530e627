#include "analysis/gradient_intervals.h"
#include "analysis/new_well_places.h"
#include "analysis/results_report.h"
#include "core/batch_frontend.h"
#include "core/batch_run.h"
#include "core/paths.h"
#include "core/project_summary.h"
#include "core/reporting.h"
#include "core/startup.h"
#include "map/map_image.h"
#include "views/exact_plume_export.h"
#include "views/gis_export.h"
#include "views/grid_export.h"
#include "views/plume_uncertainty_export.h"
#include "views/workflow_replay.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include <unistd.h>

namespace {

int runBatchProcess(int argc, char **argv, const qel::BatchOptions &options)
{
    // Maps and the summary are laid out with fonts, which need a GUI application; a batch run
    // never shows a window. The rest does without, and skips loading the platform and its fonts.
    std::unique_ptr<QCoreApplication> app;
    if (options.map.isEmpty() && options.summary.isEmpty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("QEL"));
    qel::BatchFrontend frontend;
    qel::Session session(frontend, qel::applicationFolder(QCoreApplication::applicationDirPath()));
    qel::startUp(session);
    qel::installWorkflowReplay(session);
    int status = 1;
    qel::guarded(session, QStringLiteral("Main"), [&] { status = qel::runBatch(session, options); });
    if (session.errorsReported > 0)
        status = 1;
    qel::unloadSession(session, qel::LayerFiles::Keep);
    qel::terminateSession(session);
    return status;
}

// The workbench is a program of its own beside this one: a batch run then loads none of the window
// libraries. It replaces this process, so that whoever started qel waits for the workbench.
int startWorkbench(char **argv)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string workbench = (error ? std::filesystem::path(argv[0]) : self).parent_path() / "qel-workbench";
    ::execv(workbench.c_str(), argv);
    std::fprintf(stderr, "qel: cannot start the workbench %s: %s\n", workbench.c_str(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    qel::registerSummaryBatchOutput();
    qel::registerMapBatchOutput();
    qel::registerResultsBatchOutput();
    qel::registerGisBatchOutput();
    qel::registerGridExportBatchOutputs();
    qel::registerNewWellPlacesBatchOutput();
    qel::registerGradientIntervalsBatchOutput();
    qel::registerExactPlumeBatchOutput();
    qel::registerPlumeUncertaintyBatchOutput();
    const qel::CommandLine line = qel::parseCommandLine(arguments);
    if (!line.usageError.isEmpty()) {
        std::fprintf(stderr, "qel: %s\n%s\n", qPrintable(line.usageError), qPrintable(qel::usageText()));
        return 2;
    }
    if (line.batch)
        return runBatchProcess(argc, argv, *line.options);
    return startWorkbench(argv);
}

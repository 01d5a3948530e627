// qel-workbench: the windows. qel starts it for every command line that is not a batch run.
#include "core/batch_run.h"
#include "gui/workbench/workbench.h"

#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const qel::CommandLine line = qel::parseCommandLine(arguments);
    if (!line.usageError.isEmpty() || line.batch) {
        const QString problem = line.batch ? QStringLiteral("a batch run is started as qel --batch") : line.usageError;
        std::fprintf(stderr, "qel: %s\n%s\n", qPrintable(problem), qPrintable(qel::usageText()));
        return 2;
    }
    return qel::gui::runWorkbench(argc, argv, line.projectToOpen);
}

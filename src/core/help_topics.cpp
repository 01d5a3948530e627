#include "core/help_topics.h"

#include <QDir>
#include <QFileInfo>

namespace qel {

QString helpWindowName(int context)
{
    return context < 1100 ? QStringLiteral("main") : QStringLiteral("proc1");
}

QString helpTopicFile(int context)
{
    using namespace HelpTopic;
    switch (context) {
    case Outline: return QStringLiteral("outline.html");
    case Layers: return QStringLiteral("layers.html");
    case MessageWindow: return QStringLiteral("message-window.html");
    case OutputViewer: return QStringLiteral("output-viewer.html");
    case SummaryDocument: return QStringLiteral("project-summary.html");
    case About: return QStringLiteral("about.html");
    case Options: return QStringLiteral("options.html");
    case Units: return QStringLiteral("units.html");
    case TransportData: return QStringLiteral("transport-data.html");
    case PlotLimits: return QStringLiteral("plot-limits.html");
    case Regression: return QStringLiteral("regression.html");
    case SourceLocation: return QStringLiteral("source-location.html");
    case AnalyticalRun: return QStringLiteral("analytical-run.html");
    case ResultsExport: return QStringLiteral("results-export.html");
    case RegressionResults: return QStringLiteral("regression-results.html");
    case PlumeContours: return QStringLiteral("plume-contours.html");
    case MinDistContours: return QStringLiteral("mindist-contours.html");
    case WolfContours: return QStringLiteral("wolf-contours.html");
    case MapWindow: return QStringLiteral("map-window.html");
    case MapScale: return QStringLiteral("map-scale.html");
    case WellsIntroduction: return QStringLiteral("wells-1-introduction.html");
    case WellsFile: return QStringLiteral("wells-2-file.html");
    case WellsFields: return QStringLiteral("wells-3-fields.html");
    case WellsData: return QStringLiteral("wells-4-data.html");
    case WaterLevelsIntroduction: return QStringLiteral("water-levels-1-introduction.html");
    case WaterLevelsFile: return QStringLiteral("water-levels-2-file.html");
    case WaterLevelsFields: return QStringLiteral("water-levels-3-fields.html");
    case WaterLevelsData: return QStringLiteral("water-levels-4-data.html");
    default: return QStringLiteral("index.html");
    }
}

QString helpFolder(const QString &programFolder)
{
    const QString configured = qEnvironmentVariable("QEL_HELP_DIR");
    if (!configured.isEmpty())
        return QDir(configured).absolutePath();
    const QString beside = QDir(programFolder).filePath(QStringLiteral("help"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QStringLiteral(QEL_SOURCE_DIR "/docs/help");
}

} // namespace qel

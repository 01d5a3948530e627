#pragma once

#include "core/project_model.h"
#include "core/project_replay.h"
#include "support/test_session.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qel::test {

// The models the golden files in tests/data/project describe, field by field.
void fillFullRaster(ProjectModel &m);
void fillScaleCalibration(ProjectModel &m);

struct GoldenCase {
    const char *file;
    void (*fill)(ProjectModel &);
};
const std::vector<GoldenCase> &goldenCases();

QByteArray goldenBytes(const QString &name);
// The bytes with each replacement made; a text not found fails the test.
QByteArray edited(QByteArray bytes, const QList<QPair<QByteArray, QByteArray>> &replacements);

// A project folder under the test's application folder holding the base-map files the golden
// files name, so that reading them asks no question.
QString projectFolder(const TestSession &t);
QString placeProject(const TestSession &t, const QString &name, const QByteArray &bytes);

// Clears the model and reads the project file at path as File > Open does (path is a copy:
// clearing empties the model's own ProjectFile).
bool readProject(TestSession &t, QString path);

// Records the replayed steps in order.
class RecordingReplay : public ProjectReplay {
public:
    QStringList calls;
    void openBaseMapCommand() override { calls << QStringLiteral("openBaseMapCommand"); }
    void showBaseMap() override { calls << QStringLiteral("showBaseMap"); }
    void calibrateMap() override { calls << QStringLiteral("calibrateMap"); }
    void rereadWells() override { calls << QStringLiteral("rereadWells"); }
    void rereadWaterLevels() override { calls << QStringLiteral("rereadWaterLevels"); }
    void drawPlotLimits() override { calls << QStringLiteral("drawPlotLimits"); }
    void drawSource() override { calls << QStringLiteral("drawSource"); }
    void runRegression() override { calls << QStringLiteral("runRegression"); }
    void showWaterLevelContours() override { calls << QStringLiteral("showWaterLevelContours"); }
    void runAnalyticalSolution() override { calls << QStringLiteral("runAnalyticalSolution"); }
    void exportResults() override { calls << QStringLiteral("exportResults"); }
    void redrawPlumeContours() override { calls << QStringLiteral("redrawPlumeContours"); }
    void redrawMinDistContours() override { calls << QStringLiteral("redrawMinDistContours"); }
    void redrawWolfContours() override { calls << QStringLiteral("redrawWolfContours"); }
};

} // namespace qel::test

#pragma once

#include "core/session.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace qel {

// Run > Linear Regression Model: fits a plane to the water levels of every sample date with the
// regress program and reads the gradients back into the model. Every outcome is reported.
void RunRegress(Session &session);

// Shows the three files the regress program writes, each in a viewer of its own.
void OpenRegressionOutputFiles(Session &session);
void OpenOutputFile(Session &session, const QString &fileName);

// The regress program's input for the model's water levels, CR LF lines. A blank date or well
// identifier stops the file there: stopMessage gets the report and the lines written so far are
// returned.
QByteArray regressionInputBytes(const ProjectModel &model, std::optional<QString> &stopMessage);

// Reads the results of samples 1..NumSamples from the text of "regress.out" into the model: the
// six full-precision values after character 86 when a line has all six, else its fixed columns. A
// file with fewer result lines is error 62, the samples read before it stay updated.
void readRegressionResults(ProjectModel &model, const QByteArray &regressOut);

// The regress program beside this program, or $QEL_REGRESS when set.
QString regressProgram();

} // namespace qel

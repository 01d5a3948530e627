#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qel::regress {

struct RegressWell {
    QString id;
    double x = 0, y = 0;
    std::vector<double> levels; // one per sample date; -9999 where none was measured
};

struct RegressInput {
    QStringList dates;
    std::vector<RegressWell> wells;
};

// Reads the regression input: the counts, the quoted dates, one line per well with its quoted
// identifier, x, y and a level per date. Anything else is refused with a message naming the line.
struct ParseResult {
    std::optional<RegressInput> input;
    QString problem;
};
ParseResult parseRegressInput(const QByteArray &bytes);

} // namespace qel::regress

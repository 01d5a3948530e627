#include "regress/regress_input.h"

#include "core/number_text.h"

namespace qel::regress {

namespace {

// Splits a line into its words: quoted texts (kept as they stand between the apostrophes) and
// blank-separated numbers. An unclosed quote makes the line unreadable.
std::optional<QStringList> words(const QString &line, QStringList &quoted)
{
    QStringList plain;
    int i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c == u' ' || c == u'\t') {
            ++i;
        } else if (c == u'\'') {
            const int end = line.indexOf(u'\'', i + 1);
            if (end < 0)
                return std::nullopt;
            quoted << line.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            int end = i;
            while (end < line.size() && line[end] != u' ' && line[end] != u'\t')
                ++end;
            plain << line.mid(i, end - i);
            i = end;
        }
    }
    return plain;
}

ParseResult refuse(const QString &problem)
{
    return { std::nullopt, problem };
}

} // namespace

ParseResult parseRegressInput(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.size() < 2)
        return refuse(QStringLiteral("the file has no counts and dates"));

    QStringList quoted;
    const std::optional<QStringList> counts = words(lines[0], quoted);
    if (!counts || counts->size() != 2 || !quoted.isEmpty())
        return refuse(QStringLiteral("line 1 must hold the number of wells and of dates"));
    const std::optional<double> wellCount = strictNumber((*counts)[0]);
    const std::optional<double> dateCount = strictNumber((*counts)[1]);
    if (!wellCount || !dateCount || *wellCount < 1 || *dateCount < 1 || *wellCount > 100000 || *dateCount > 1000
        || *wellCount != int(*wellCount) || *dateCount != int(*dateCount))
        return refuse(QStringLiteral("line 1: the counts must be whole numbers of at least 1"));
    const int numWells = int(*wellCount), numDates = int(*dateCount);

    RegressInput input;
    quoted.clear();
    const std::optional<QStringList> dateLine = words(lines[1], quoted);
    if (!dateLine || !dateLine->isEmpty() || quoted.size() != numDates)
        return refuse(QStringLiteral("line 2 must hold %1 quoted dates").arg(numDates));
    input.dates = quoted;

    if (lines.size() - 2 != numWells)
        return refuse(QStringLiteral("%1 well lines expected, %2 found").arg(numWells).arg(lines.size() - 2));
    for (int j = 0; j < numWells; ++j) {
        const int lineNumber = j + 3;
        quoted.clear();
        const std::optional<QStringList> values = words(lines[2 + j], quoted);
        if (!values || quoted.size() != 1 || values->size() != numDates + 2)
            return refuse(QStringLiteral("line %1 must hold a quoted well identifier, x, y and %2 levels")
                              .arg(lineNumber)
                              .arg(numDates));
        RegressWell well;
        well.id = quoted[0];
        std::vector<double> numbers;
        for (const QString &word : *values) {
            const std::optional<double> number = strictNumber(word);
            if (!number)
                return refuse(QStringLiteral("line %1: \"%2\" is not a number").arg(lineNumber).arg(word));
            numbers.push_back(*number);
        }
        well.x = numbers[0];
        well.y = numbers[1];
        well.levels.assign(numbers.begin() + 2, numbers.end());
        input.wells.push_back(std::move(well));
    }
    return { std::move(input), QString() };
}

} // namespace qel::regress

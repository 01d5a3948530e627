#include "core/uncertainty_ranges.h"

#include "core/number_text.h"
#include "core/reporting.h"
#include "core/transport_rules.h"

#include <cmath>

namespace qel {

namespace {

const QString SectionHeading = QStringLiteral("[Uncertainty]");
const QString GradientKey = QStringLiteral("Gradient");
const QString GradientFitted = QStringLiteral("fitted");

struct DistributionWord {
    Distribution kind;
    const char *word;
    int bounds; // numbers after the word
};
const DistributionWord DistributionWords[] = {
    { Distribution::Uniform, "uniform", 2 },
    { Distribution::LogUniform, "loguniform", 2 },
    { Distribution::Triangular, "triangular", 3 },
};

const DistributionWord *wordOf(Distribution kind)
{
    for (const DistributionWord &w : DistributionWords)
        if (w.kind == kind)
            return &w;
    return nullptr;
}

const TransportParameter &transportOf(int parameter)
{
    if (parameter < 0 || parameter >= NumUncertainParameters)
        raise(ErrSubscript);
    return transportParameter(uncertainParameters()[std::size_t(parameter)].transportIndex);
}

} // namespace

const std::array<UncertainParameter, NumUncertainParameters> &uncertainParameters()
{
    static const std::array<UncertainParameter, NumUncertainParameters> parameters = { {
        { "K", 0 },
        { "Porosity", 1 },
        { "RetFactor", 4 },
        { "HalfLife", HalfLifeIndex },
        { "AlphaX", 2 },
        { "AlphaY", 3 },
        { "C0", 8 },
        { "Swidth", 7 },
    } };
    return parameters;
}

bool UncertaintyRanges::isEmpty() const
{
    for (const ParameterRange &r : ranges)
        if (r.kind != Distribution::Fixed)
            return false;
    return !gradientFitted;
}

std::optional<QString> rangeProblem(int parameter, const ParameterRange &range)
{
    const TransportParameter &p = transportOf(parameter);
    if (range.kind == Distribution::Fixed)
        return std::nullopt;
    const bool triangular = range.kind == Distribution::Triangular;
    const std::pair<const char *, double> bounds[]
        = { { "LOW", range.low }, { "MODE", range.mode }, { "HIGH", range.high } };
    for (const auto &[name, value] : bounds) {
        if (!triangular && QLatin1String(name) == QLatin1String("MODE"))
            continue;
        if (!std::isfinite(value))
            return p.label + u' ' + QLatin1String(name) + QStringLiteral(" is not a number!");
        if (const auto suffix = rejectionSuffix(p, value))
            return p.label + u' ' + QLatin1String(name) + *suffix;
    }
    if (range.kind == Distribution::LogUniform && !(range.low > 0))
        return p.label + QStringLiteral(" LOW must be > 0 for a log-uniform range!");
    if (!(range.low < range.high))
        return p.label + QStringLiteral(" LOW must be < HIGH!");
    if (triangular && !(range.low <= range.mode && range.mode <= range.high))
        return p.label + QStringLiteral(" MODE must lie between LOW and HIGH!");
    return std::nullopt;
}

RangeReading readRange(int parameter, Distribution kind, const QString &low, const QString &mode, const QString &high)
{
    RangeReading reading;
    reading.range.kind = kind;
    if (kind == Distribution::Fixed)
        return reading;
    const TransportParameter &p = transportOf(parameter);
    const bool triangular = kind == Distribution::Triangular;
    const std::tuple<const char *, const QString &, double &> boxes[] = { { "LOW", low, reading.range.low },
        { "MODE", mode, reading.range.mode }, { "HIGH", high, reading.range.high } };
    for (const auto &[name, text, value] : boxes) {
        if (!triangular && QLatin1String(name) == QLatin1String("MODE"))
            continue;
        if (text.trimmed().isEmpty()) {
            reading.problem = p.label + u' ' + QLatin1String(name) + QStringLiteral(" is missing!");
            return reading;
        }
        const std::optional<double> number = strictNumber(text);
        if (!number) {
            reading.problem = p.label + u' ' + QLatin1String(name) + QStringLiteral(" is not a number!");
            return reading;
        }
        value = *number;
    }
    reading.problem = rangeProblem(parameter, reading.range);
    return reading;
}

bool setUncertaintyRange(
    Session &session, int parameter, Distribution kind, const QString &low, const QString &mode, const QString &high)
{
    const RangeReading reading = readRange(parameter, kind, low, mode, high);
    if (reading.problem) {
        session.ErrorText = *reading.problem;
        ReportWarning(session);
        return false;
    }
    session.store(session.model.Uncertainty.ranges[std::size_t(parameter)], reading.range);
    return true;
}

void setGradientFitted(Session &session, bool on)
{
    session.store(session.model.Uncertainty.gradientFitted, on);
}

std::array<QString, 3> rangeBoxTexts(const ParameterRange &range)
{
    switch (range.kind) {
    case Distribution::Fixed: return {};
    case Distribution::Uniform:
    case Distribution::LogUniform: return { numberText(range.low), QString(), numberText(range.high) };
    case Distribution::Triangular: return { numberText(range.low), numberText(range.mode), numberText(range.high) };
    }
    return {};
}

QStringList uncertaintyLines(const UncertaintyRanges &ranges)
{
    if (ranges.isEmpty())
        return {};
    QStringList lines { SectionHeading };
    for (int i = 0; i < NumUncertainParameters; ++i) {
        const ParameterRange &r = ranges.ranges[std::size_t(i)];
        const DistributionWord *word = wordOf(r.kind);
        if (!word)
            continue;
        QString line = QLatin1String(uncertainParameters()[std::size_t(i)].key) + u'=' + QLatin1String(word->word)
            + u' ' + numberText(r.low);
        if (r.kind == Distribution::Triangular)
            line += u' ' + numberText(r.mode);
        lines << line + u' ' + numberText(r.high);
    }
    if (ranges.gradientFitted)
        lines << GradientKey + u'=' + GradientFitted;
    return lines;
}

std::optional<QString> readUncertaintyLine(const QString &line, UncertaintyRanges &ranges)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return QStringLiteral("it is not of the form NAME=DISTRIBUTION NUMBERS");
    const QString key = line.left(equals).trimmed();
    const QStringList words = line.mid(equals + 1).split(u' ', Qt::SkipEmptyParts);
    if (key.compare(GradientKey, Qt::CaseInsensitive) == 0) {
        if (words.size() != 1 || words[0].compare(GradientFitted, Qt::CaseInsensitive) != 0)
            return QStringLiteral("the gradient can only be \"fitted\"");
        ranges.gradientFitted = true;
        return std::nullopt;
    }
    int parameter = -1;
    for (int i = 0; i < NumUncertainParameters; ++i)
        if (key.compare(QLatin1String(uncertainParameters()[std::size_t(i)].key), Qt::CaseInsensitive) == 0)
            parameter = i;
    if (parameter < 0)
        return QStringLiteral("\"%1\" is not an uncertain parameter").arg(key);
    const DistributionWord *word = nullptr;
    for (const DistributionWord &w : DistributionWords)
        if (!words.isEmpty() && words[0].compare(QLatin1String(w.word), Qt::CaseInsensitive) == 0)
            word = &w;
    if (!word)
        return QStringLiteral("the distribution must be uniform, loguniform or triangular");
    if (words.size() != 1 + word->bounds)
        return QStringLiteral("a %1 range needs %2 numbers").arg(QLatin1String(word->word)).arg(word->bounds);
    const bool triangular = word->kind == Distribution::Triangular;
    const RangeReading reading
        = readRange(parameter, word->kind, words[1], triangular ? words[2] : QString(), words[triangular ? 3 : 2]);
    if (reading.problem)
        return *reading.problem;
    ranges.ranges[std::size_t(parameter)] = reading.range;
    return std::nullopt;
}

double rangeQuantile(const ParameterRange &r, double u)
{
    switch (r.kind) {
    case Distribution::Fixed: return r.low;
    case Distribution::Uniform: return r.low + u * (r.high - r.low);
    case Distribution::LogUniform: return std::exp(std::log(r.low) + u * (std::log(r.high) - std::log(r.low)));
    case Distribution::Triangular: {
        const double width = r.high - r.low;
        const double split = (r.mode - r.low) / width; // the distribution function at the mode
        return u < split ? r.low + std::sqrt(u * width * (r.mode - r.low))
                         : r.high - std::sqrt((1 - u) * width * (r.high - r.mode));
    }
    }
    return r.low;
}

ParameterSet sampleParameters(const UncertaintyRanges &ranges, const ProjectModel &model, std::mt19937_64 &generator)
{
    ParameterSet set;
    for (int i = 0; i < NumUncertainParameters; ++i) {
        const ParameterRange &r = ranges.ranges[std::size_t(i)];
        // One variate per parameter, fixed or not, so that a set's other values do not move
        // when one parameter is made uncertain.
        // The top 53 bits as a fraction in [0, 1): the same sets from the same seed with any library.
        const double u = double(generator() >> 11) * 0x1.0p-53;
        set.values[std::size_t(i)]
            = r.kind == Distribution::Fixed ? model.*(transportOf(i).field) : rangeQuantile(r, u);
    }
    return set;
}

} // namespace qel

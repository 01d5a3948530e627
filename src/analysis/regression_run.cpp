#include "analysis/regression_run.h"

#include "core/date_text.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/progress.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "input/water_level_reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <array>

namespace qel {

namespace {

const QString InputFile = QStringLiteral("regress_input.dat");
const QStringList OutputFiles
    = { QStringLiteral("final.out"), QStringLiteral("regress.out"), QStringLiteral("results.out") };
// A regress run that takes longer than this has hung: no site needs more than a few seconds.
// QEL_REGRESS_TIME_LIMIT (whole seconds) changes it, for a slow machine or a test.
int regressTimeLimitMs()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("QEL_REGRESS_TIME_LIMIT", &ok);
    return ok && seconds > 0 ? seconds * 1000 : 120000;
}

// The list form of an integer: a blank for the sign, the digits, a blank.
QString listInteger(int value)
{
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value) + QStringLiteral(" ");
}

void stopWith(Session &session, const QString &text)
{
    session.ErrorText = text;
    ReportError(session);
}

void runRegressProgram(Session &session, const QString &folder)
{
    const QString program = regressProgram();
    if (!QFileInfo(program).isExecutable())
        throw QelError(ErrFileNotFound, QStringLiteral("The regression program was not found: ") + program, program);
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, QStringList { InputFile } + OutputFiles);
    if (!process.waitForStarted())
        throw QelError(ErrFileNotFound,
            QStringLiteral("The regression program could not be started: ") + process.errorString(), program);
    session.model.RegressTaskID = process.processId();
    // The window keeps painting while regress works; the time limit still holds.
    Progress progress(session);
    QElapsedTimer running;
    running.start();
    const int timeLimitMs = regressTimeLimitMs();
    while (!process.waitForFinished(Progress::BreathIntervalMs) && process.state() != QProcess::NotRunning
        && running.elapsed() < timeLimitMs)
        progress.breathe();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        throw QelError(ErrInvalidCall,
            QStringLiteral("The regression program did not finish within %1 seconds and was stopped.")
                .arg(timeLimitMs / 1000),
            program);
    }
    if (process.exitStatus() != QProcess::NormalExit)
        throw QelError(ErrInvalidCall, QStringLiteral("The regression program crashed."), program);
    if (process.exitCode() != 0)
        throw QelError(ErrInvalidCall,
            QStringLiteral("The regression program failed (exit status %1); see final.out.").arg(process.exitCode()),
            program);
}

constexpr int ResultFields = 6;
constexpr qsizetype FixedColumnsEnd = 86;

// The six results of a line: the full-precision values our regress writes after the fixed columns
// when all six are there, else the six 10-character fields from character 22, as any regression
// program writes them.
std::array<double, ResultFields> resultValues(const QString &line)
{
    std::array<double, ResultFields> values {};
    const QStringList exact = line.mid(FixedColumnsEnd).split(u' ', Qt::SkipEmptyParts);
    bool allExact = exact.size() == ResultFields;
    for (int f = 0; allExact && f < ResultFields; ++f) {
        const std::optional<double> value = strictNumber(exact[f]);
        allExact = value.has_value();
        values[std::size_t(f)] = value.value_or(0);
    }
    if (allExact)
        return values;
    for (int f = 0; f < ResultFields; ++f)
        values[std::size_t(f)] = leadingNumber(QStringView(line).mid(21 + 11 * f, 10));
    return values;
}

// The Message-window line of a finished regression: what the fits found.
QString regressionSummary(const ProjectModel &m)
{
    double lowGradient = 0, highGradient = 0, lowDirection = 0, highDirection = 0;
    for (int i = 1; i <= m.NumSamples; ++i) {
        const bool first = i == 1;
        lowGradient = first ? m.Magnitude(i) : std::min(lowGradient, m.Magnitude(i));
        highGradient = first ? m.Magnitude(i) : std::max(highGradient, m.Magnitude(i));
        lowDirection = first ? m.Direction(i) : std::min(lowDirection, m.Direction(i));
        highDirection = first ? m.Direction(i) : std::max(highDirection, m.Direction(i));
    }
    const auto range = [](double low, double high, int digits) {
        const QString from = significantText(low, digits), to = significantText(high, digits);
        return from == to ? from : from + QStringLiteral(" to ") + to;
    };
    return QStringLiteral("Regression of %1 sample dates: hydraulic gradient %2, flow towards %3 degrees "
                          "(clockwise from north).")
        .arg(m.NumSamples)
        .arg(range(lowGradient, highGradient, 3), range(lowDirection, highDirection, 4));
}

} // namespace

QString regressProgram()
{
    const QString configured = qEnvironmentVariable("QEL_REGRESS");
    if (!configured.isEmpty())
        return configured;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("regress"));
}

QByteArray regressionInputBytes(const ProjectModel &m, std::optional<QString> &stopMessage)
{
    stopMessage.reset();
    QByteArray text = (listInteger(m.NumWLWells) + listInteger(m.NumSamples)).toUtf8() + "\r\n";
    for (int i = 1; i <= m.NumSamples; ++i) {
        if (!m.SampleDate(i).isValid()) {
            stopMessage = QStringLiteral("Date field is blank for sample number %1. Regression stopped.").arg(i);
            return text;
        }
        text += '\'' + shortDateText(m.SampleDate(i)).toUtf8() + "' ";
    }
    text += "\r\n";
    // About 20 bytes a number: the text of a thousand wells of 60 dates grows without copies.
    text.reserve(text.size() + qsizetype(m.NumWLWells) * (32 + 20 * qsizetype(m.NumSamples + 2)));
    for (int j = 1; j <= m.NumWLWells; ++j) {
        if (m.WLWellID(j).trimmed().isEmpty()) {
            stopMessage = QStringLiteral("Well ID is blank for well number %1. Regression stopped.").arg(j);
            return text;
        }
        text += '\'' + m.WLWellID(j).toUtf8() + "'  ";
        // The numbers of the line gathered on the stack and appended at once: x, y and a level for
        // each date, which WLData allows up to MaxSampleSlots of, each in at most 64 bytes.
        char numbers[(MaxSampleSlots + 2) * 66 + 2];
        char *p = numbers;
        const auto number = [&](double value) {
            p += numberTextChars(p, value);
            *p++ = ' ';
            *p++ = ' ';
        };
        number(m.WLWellX(j));
        number(m.WLWellY(j));
        // A well without a location would enter the fit at (0, 0): its levels count as missing.
        for (int i = 1; i <= m.NumSamples; ++i)
            number(m.WLWellUnlocated(j) ? MissingLevel : m.WLData(j, i));
        *p++ = '\r';
        *p++ = '\n';
        text.append(numbers, p - numbers);
    }
    return text;
}

void readRegressionResults(ProjectModel &m, const QByteArray &regressOut)
{
    QList<QByteArray> lines = regressOut.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the end of the last line, not a line
    for (int i = 1; i <= m.NumSamples; ++i) {
        if (i >= lines.size())
            raise(ErrPastEndOfFile, QStringLiteral("regress.out"));
        QString line = QString::fromLatin1(lines[i]);
        if (line.endsWith(u'\r'))
            line.chop(1);
        line.replace(u'D', u'E');
        const std::array<double, 6> values = resultValues(line);
        m.Xcoeff(i) = values[0];
        m.Ycoeff(i) = values[1];
        m.Const(i) = values[2];
        m.R2(i) = values[3];
        m.Magnitude(i) = values[4];
        m.Direction(i) = values[5];
    }
}

void RunRegress(Session &session)
{
    ProjectModel &m = session.model;
    if (m.NumWLWells == 0)
        return stopWith(session,
            QStringLiteral("Number of wells for water levels data is ZERO! Have you gone "
                           "through Water Levels input data?."));
    if (m.NumSamples == 0)
        return stopWith(session,
            QStringLiteral("Number of water level samples is ZERO! Have you gone through "
                           "Water Levels input data?."));
    bool stopped = false;
    const bool ran = guarded(session, QStringLiteral("RunRegress"), [&] {
        session.setStatus(QStringLiteral("Running regression analysis..."));
        const QString folder = m.ProjectDir.isEmpty() ? QDir::currentPath() : m.ProjectDir;
        std::optional<QString> stop;
        const QByteArray input = regressionInputBytes(m, stop);
        writeWholeFileOrRaise(QDir(folder).filePath(InputFile), input);
        if (stop) {
            stopped = true;
            stopWith(session, *stop);
            return;
        }
        {
            // regress replaces its results, a few megabytes, in a rename; this holds the old ones
            // so that the rename need not free them.
            const ReplacedFile oldResults(QDir(folder).filePath(OutputFiles.last()));
            runRegressProgram(session, folder);
        }
        QFile out(QDir(folder).filePath(QStringLiteral("regress.out")));
        if (!out.open(QIODevice::ReadOnly))
            raise(ErrFileNotFound, out.fileName());
        readRegressionResults(m, out.readAll());
        m.RGDone = true;
        session.setStatus(QStringLiteral("Regression analysis finished."));
        session.checkNode(Step::RunRegression);
        Message(session, regressionSummary(m));
    });
    if (!ran && !stopped)
        m.RGDone = false;
}

void OpenOutputFile(Session &session, const QString &fileName)
{
    guarded(session, QStringLiteral("QEL:OpenOutputFile"), [&] {
        const QString path = QDir(session.model.ProjectDir).filePath(fileName);
        if (!QFileInfo::exists(path))
            raise(ErrFileNotFound, path);
        session.frontend().showTextFile(path, QStringLiteral("Regression output file: ") + fileName);
    });
}

void OpenRegressionOutputFiles(Session &session)
{
    guarded(session, QStringLiteral("QEL:OpenRegressionOutputFiles"), [&] {
        for (const QString &file : OutputFiles)
            OpenOutputFile(session, file);
        session.checkNode(Step::ViewRegressionOutput);
    });
}

} // namespace qel

#include "core/batch_run.h"

#include "core/batch_frontend.h"
#include "core/paths.h"
#include "core/plume_uncertainty_rules.h"
#include "core/project_open.h"
#include "core/reporting.h"

#include <QFileInfo>
#include <QMap>

#include <algorithm>
#include <functional>
#include <iterator>

namespace qel {

namespace {

struct OptionSlot {
    const char *name;
    QString BatchOptions::*field;
    bool needsAnalysis = false; // writes the grids of the analytical run
    // The name the save dialog proposes when the project's replay writes this output itself;
    // the option's file answers that dialog, so the replay writes there and nowhere else.
    const char *replayProposes = nullptr;
    bool intoFolder = false; // --overwrite is about its files
};

// The GIS export needs the run too but says so itself, with the words of its menu command.
const OptionSlot OutputOptions[] = {
    { "--save-as", &BatchOptions::saveAs },
    { "--results", &BatchOptions::results, true, "QELResults.out" },
    { "--export-mindist", &BatchOptions::exportMinDist, true },
    { "--export-wolf", &BatchOptions::exportWolf, true },
    { "--map", &BatchOptions::map },
    { "--summary", &BatchOptions::summary },
    { "--export-gis", &BatchOptions::exportGis, false, nullptr, true },
    { "--new-wells", &BatchOptions::newWells, true },
    { "--gradient-intervals", &BatchOptions::gradientIntervals },
    { "--exact-plume", &BatchOptions::exactPlume, true, nullptr, true },
    { "--uncertainty", &BatchOptions::uncertainty, true, nullptr, true },
};

// The settings of --uncertainty: read as the dialog reads its boxes; a refused value is bad usage.
const QString UncertaintyOption = QStringLiteral("--uncertainty");

template<typename T> QString readSetting(std::optional<T> &into, const SettingReading<T> &reading)
{
    into = reading.value;
    return reading.problem;
}

QString readValueOption(const QString &word, const QString &text, BatchOptions &options)
{
    if (word == QLatin1String("--runs"))
        return readSetting(options.runs, readUncertaintyRuns(text));
    if (word == QLatin1String("--seed"))
        return readSetting(options.seed, readUncertaintySeed(text));
    return readSetting(options.threshold, readUncertaintyThreshold(text));
}

bool isValueOption(const QString &word)
{
    return word == QLatin1String("--runs") || word == QLatin1String("--seed") || word == QLatin1String("--threshold");
}

bool valueGiven(const QString &word, const BatchOptions &options)
{
    return word == QLatin1String("--runs") ? options.runs.has_value()
        : word == QLatin1String("--seed")  ? options.seed.has_value()
                                           : options.threshold.has_value();
}

// The first value option given, empty when none is.
QString valueOptionGiven(const BatchOptions &options)
{
    return options.runs     ? QStringLiteral("--runs")
        : options.seed      ? QStringLiteral("--seed")
        : options.threshold ? QStringLiteral("--threshold")
                            : QString();
}

// Whether the replay already wrote the output to its file (and reported any failure).
bool writtenByReplay(const BatchFrontend *batch, const OptionSlot &slot)
{
    return batch && slot.replayProposes && batch->answeredSaveDialog(QLatin1String(slot.replayProposes));
}

// One clear report instead of the follow-on failures of an output without grids behind it.
bool analysisRanFor(Session &session, const OptionSlot &slot)
{
    if (!slot.needsAnalysis || session.model.ANDone)
        return true;
    session.ErrorText = QStringLiteral("%1 wrote nothing: the project has no analytical results. Run the "
                                       "analytical solution first.")
                            .arg(QLatin1String(slot.name));
    ReportError(session);
    return false;
}

const QString OverwriteOption = QStringLiteral("--overwrite");

// Opening the project makes its folder the current one: a relative output name is taken where the
// run was started, as the user typed it, and not inside the project folder.
BatchOptions withAbsoluteOutputs(const BatchOptions &options)
{
    BatchOptions absolute = options;
    for (const OptionSlot &slot : OutputOptions) {
        QString &path = absolute.*(slot.field);
        if (!path.isEmpty())
            path = QFileInfo(path).absoluteFilePath();
    }
    return absolute;
}

// The files the open project reads: its own, its base map and its two tables.
QStringList projectInputs(const Session &session)
{
    const ProjectModel &m = session.model;
    QStringList files;
    for (const QString &stored :
        { m.ProjectFile, m.BaseMapFile, m.WEDataPath + m.WEDataFile, m.WLDataPath + m.WLDataFile })
        if (!stored.isEmpty())
            files << QFileInfo(projectPath(session, stored)).canonicalFilePath();
    files.removeAll(QString());
    return files;
}

// An output over one of the project's own files would lose what the user gave it: the batch run
// writes nothing there and says so. A project saved over itself is only a save.
bool replacesAnInput(Session &session, const char *option, const QString &target)
{
    const QString file = QFileInfo(target).canonicalFilePath();
    if (file.isEmpty() || !projectInputs(session).contains(file))
        return false;
    if (qstrcmp(option, "--save-as") == 0 && file == QFileInfo(session.model.ProjectFile).canonicalFilePath())
        return false;
    session.ErrorText = QStringLiteral("%1 wrote nothing: %2 is a file the project reads. Choose another name.")
                            .arg(QLatin1String(option), target);
    ReportError(session);
    return true;
}

using RegisteredOutput = std::function<bool(Session &, const QString &, const BatchOptions &)>;

QMap<QString, RegisteredOutput> &registeredOutputs()
{
    static QMap<QString, RegisteredOutput> outputs;
    return outputs;
}

} // namespace

QString usageText()
{
    return QStringLiteral("usage: qel [PROJECT.prj]\n"
                          "       qel --batch PROJECT.prj [--save-as FILE.prj] [--results FILE]\n"
                          "           [--export-mindist FILE] [--export-wolf FILE] [--map FILE.png|pdf|svg]\n"
                          "           [--summary FILE.rtf] [--export-gis DIR [--overwrite]] [--new-wells FILE.csv]\n"
                          "           [--gradient-intervals FILE.csv]\n"
                          "           [--exact-plume DIR [--overwrite]]\n"
                          "           [--uncertainty DIR [--runs N] [--seed S] [--threshold C] [--overwrite]]\n"
                          "       --overwrite lets --export-gis replace the files of its names already in DIR;\n"
                          "       without it the export writes nothing into a DIR that holds any of them\n"
                          "       --exact-plume writes exact_average.tif and exact_minus_domenico.tif into DIR\n"
                          "       and replaces them there only with --overwrite, in the same way, as does\n"
                          "       --uncertainty with its six files");
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    BatchOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (word == QLatin1String("--batch")) {
            line.batch = true;
            continue;
        }
        if (word == OverwriteOption) {
            if (options.overwrite) {
                line.usageError = word + QStringLiteral(" given twice");
                return line;
            }
            options.overwrite = true;
            continue;
        }
        if (isValueOption(word)) {
            if (i + 1 >= arguments.size()) {
                line.usageError = word + QStringLiteral(" needs a value");
                return line;
            }
            if (valueGiven(word, options)) {
                line.usageError = word + QStringLiteral(" given twice");
                return line;
            }
            if (const QString problem = readValueOption(word, arguments[++i], options); !problem.isEmpty()) {
                line.usageError = word + QStringLiteral(": ") + problem;
                return line;
            }
            continue;
        }
        const OptionSlot *slot = nullptr;
        for (const OptionSlot &candidate : OutputOptions)
            if (word == QLatin1String(candidate.name))
                slot = &candidate;
        if (slot) {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--"))) {
                line.usageError = word + QStringLiteral(" needs a file name");
                return line;
            }
            if (!(options.*(slot->field)).isEmpty()) {
                line.usageError = word + QStringLiteral(" given twice");
                return line;
            }
            options.*(slot->field) = arguments[++i];
        } else if (word.startsWith(QLatin1String("-"))) {
            line.usageError = QStringLiteral("unknown option ") + word;
            return line;
        } else if (options.project.isEmpty()) {
            options.project = word;
        } else {
            line.usageError = QStringLiteral("more than one project given: ") + word;
            return line;
        }
    }
    if (!line.batch) {
        for (const OptionSlot &slot : OutputOptions)
            if (!(options.*(slot.field)).isEmpty()) {
                line.usageError = QString::fromLatin1(slot.name) + QStringLiteral(" needs --batch");
                return line;
            }
        if (options.overwrite) {
            line.usageError = OverwriteOption + QStringLiteral(" needs --batch");
            return line;
        }
        if (const QString value = valueOptionGiven(options); !value.isEmpty()) {
            line.usageError = value + QStringLiteral(" needs --batch");
            return line;
        }
        line.projectToOpen = options.project;
        return line;
    }
    if (options.project.isEmpty()) {
        line.usageError = QStringLiteral("--batch needs a project file");
        return line;
    }
    for (const OptionSlot &slot : OutputOptions) {
        const QString name = QString::fromLatin1(slot.name);
        if (!(options.*(slot.field)).isEmpty() && name != QLatin1String("--save-as")
            && !registeredOutputs().contains(name)) {
            line.usageError = name + QStringLiteral(" is not available in this version");
            return line;
        }
    }
    if (options.overwrite
        && std::none_of(std::begin(OutputOptions), std::end(OutputOptions),
            [&](const OptionSlot &slot) { return slot.intoFolder && !(options.*(slot.field)).isEmpty(); })) {
        line.usageError = OverwriteOption + QStringLiteral(" needs --export-gis, --exact-plume or --uncertainty");
        return line;
    }
    if (const QString value = valueOptionGiven(options); !value.isEmpty() && options.uncertainty.isEmpty()) {
        line.usageError = value + QStringLiteral(" needs ") + UncertaintyOption;
        return line;
    }
    line.options = options;
    return line;
}

void registerBatchOutput(const QString &option, BatchOutput output)
{
    registeredOutputs().insert(option,
        [output](Session &session, const QString &target, const BatchOptions &) { return output(session, target); });
}

void registerBatchOutputWithOverwrite(const QString &option, BatchFolderOutput output)
{
    registeredOutputs().insert(option, [output](Session &session, const QString &target, const BatchOptions &options) {
        return output(session, target, options.overwrite);
    });
}

void registerBatchOutputWithOptions(const QString &option, BatchOptionsOutput output)
{
    registeredOutputs().insert(option, output);
}

int runBatch(Session &session, const BatchOptions &given)
{
    WriteLog(session, QStringLiteral("Batch run: ") + given.project);
    const BatchOptions options = withAbsoluteOutputs(given);
    auto *batch = dynamic_cast<BatchFrontend *>(&session.frontend());
    for (const OptionSlot &slot : OutputOptions)
        if (batch && slot.replayProposes && !(options.*(slot.field)).isEmpty())
            batch->answerSaveDialog(QLatin1String(slot.replayProposes), options.*(slot.field));
    // The guard reads this session: it goes with the run.
    struct GuardEnd {
        BatchFrontend *batch;
        ~GuardEnd()
        {
            if (batch)
                batch->guardSaveAnswers({});
        }
    } guardEnd { batch };
    if (batch) {
        batch->guardSaveAnswers([&session](const QString &proposedName, const QString &path) {
            for (const OptionSlot &slot : OutputOptions)
                if (slot.replayProposes && proposedName == QLatin1String(slot.replayProposes))
                    return !replacesAnInput(session, slot.name, path);
            return true;
        });
    }
    if (!openProject(session, options.project)) {
        // Whatever was read before the failure is no project: writing it would replace good files.
        BatchFrontend::print(
            stderr, QStringLiteral("qel: wrote nothing: the project %1 did not open").arg(options.project));
        return 1;
    }
    if (!options.saveAs.isEmpty() && !replacesAnInput(session, "--save-as", options.saveAs))
        saveProjectAs(session, options.saveAs);
    for (const OptionSlot &slot : OutputOptions) {
        const QString &target = options.*(slot.field);
        const auto output = registeredOutputs().constFind(QString::fromLatin1(slot.name));
        if (target.isEmpty() || output == registeredOutputs().constEnd() || writtenByReplay(batch, slot)
            || !analysisRanFor(session, slot) || (!slot.intoFolder && replacesAnInput(session, slot.name, target)))
            continue;
        if (!(*output)(session, target, options) && session.errorsReported == 0)
            ++session.errorsReported; // an output that failed without a report still fails the run
    }
    return session.errorsReported == 0 ? 0 : 1;
}

} // namespace qel

#pragma once

#include "core/session.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace qel {

// What `qel --batch PROJECT.prj [options]` is asked to do after opening the project.
struct BatchOptions {
    QString project;
    QString saveAs; // --save-as FILE.prj
    QString results; // --results FILE
    QString exportMinDist; // --export-mindist FILE
    QString exportWolf; // --export-wolf FILE
    QString map; // --map FILE.png|pdf|svg
    QString summary; // --summary FILE.rtf
    QString exportGis; // --export-gis DIR
    QString newWells; // --new-wells FILE.csv
    QString gradientIntervals; // --gradient-intervals FILE.csv
    QString exactPlume; // --exact-plume DIR
    QString uncertainty; // --uncertainty DIR
    std::optional<int> runs; // --runs N
    std::optional<std::uint64_t> seed; // --seed S
    std::optional<double> threshold; // --threshold C
    bool overwrite = false; // --overwrite: --export-gis, --exact-plume and --uncertainty may replace the files already
                            // in their folders
};

struct CommandLine {
    bool batch = false;
    QString projectToOpen; // workbench: a project given on the command line
    std::optional<BatchOptions> options;
    QString usageError; // set when the words are off
};

CommandLine parseCommandLine(const QStringList &arguments); // without the program name
QString usageText();

// A batch job's outputs beyond opening the project; each returns whether it succeeded. Later
// subsystems register theirs, so the option parsing does not change when they arrive.
using BatchOutput = bool (*)(Session &session, const QString &target);
void registerBatchOutput(const QString &option, BatchOutput output);
// An output into a folder, whose files the option does not name: it gets whether --overwrite lets
// it replace files already there.
using BatchFolderOutput = bool (*)(Session &session, const QString &folder, bool overwrite);
void registerBatchOutputWithOverwrite(const QString &option, BatchFolderOutput output);
// An output that reads further options of the job (--uncertainty reads --runs, --seed, --threshold
// and --overwrite).
using BatchOptionsOutput = bool (*)(Session &session, const QString &target, const BatchOptions &options);
void registerBatchOutputWithOptions(const QString &option, BatchOptionsOutput output);

// Runs the job on a started session; exit status 0 when no error was reported, 1 otherwise.
int runBatch(Session &session, const BatchOptions &options);

} // namespace qel

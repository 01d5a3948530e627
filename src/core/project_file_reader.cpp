#include "core/paths.h"
#include "core/plot_limits_rules.h"
#include "core/progress.h"
#include "core/project_file.h"
#include "core/project_file_layout.h"
#include "core/project_file_lines.h"
#include "core/reporting.h"
#include "core/uncertainty_ranges.h"
#include "core/workflow_steps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace qel {

namespace {

// Build dates at which the file gained its later parts.
const QString BuildWithStatus = QStringLiteral("20020731");
const QString BuildWithLegends = QStringLiteral("20020925");
const QString BuildWithDecay = QStringLiteral("20030921");

// How each contour view is replayed, in the order of contourSections().
struct ContourReplay {
    const char *status;
    Step step;
    bool ProjectModel::*done;
    int16 ProjectModel::*mapIndex;
};

const ContourReplay ContourReplays[] = {
    { "Reading plume contour levels data...", Step::ViewPlumeContours, &ProjectModel::PCDone,
        &ProjectModel::PCMapIndex },
    { "Reading minimum distance contour levels data...", Step::ViewMinDistContours, &ProjectModel::MDDone,
        &ProjectModel::MDMapIndex },
    { "Reading WOLF contour levels data...", Step::ViewWolfContours, &ProjectModel::WFDone, &ProjectModel::WFMapIndex },
};

// Raised when the person chose to stop at the missing base map; already reported.
struct ReadingStopped { };

class ProjectReader {
public:
    ProjectReader(Session &session, ProjectFileLines &lines, Progress &progress)
        : s(session)
        , m(session.model)
        , in(lines)
        , progress(progress)
    {
    }

    void readAfterBuild()
    {
        m.RunMode = QStringLiteral("Batch");
        readStatus();
        readUnits();
        readBaseMap();
        if (m.BaseMapType == QLatin1String("raster"))
            readCalibration();
        readWellData();
        readWaterLevels();
        section("[WL Contours]", "Reading water level contour limits data...", layout::wlContours());
        readPlotLimits();
        readTransport();
        // The results report may be written behind the contour views; it is finished, and its
        // outcome reported, before the reading ends, whichever way it ends.
        try {
            replayAnalyses();
            const auto &sections = contourSections();
            for (std::size_t i = 0; i < sections.size(); ++i)
                readContourView(sections[i], ContourReplays[i]);
        } catch (...) {
            s.replay().finishStepsBehind();
            throw;
        }
        s.replay().finishStepsBehind();
    }

private:
    // Every status text marks one more stretch of the file read.
    void status(const char *text)
    {
        progress.setText(QLatin1String(text));
        progress.setFraction(double(++stretchesRead) / StretchesInAFile);
        progress.breathe();
    }
    void check(Step step) { s.checkNode(step); }
    // Redoes a step as the step itself would in the batch run mode, then checks it.
    void replay(Step step)
    {
        if (const auto redo = workflowStep(step).replay)
            (s.replay().*redo)();
        check(step);
    }
    // A run that reported a failure or a stop left no results: the views, the report and the
    // batch outputs after it would each fail again on the missing grids, so they are not replayed
    // and the one report stands.
    bool replayWithoutReport(Step step)
    {
        const int reportedBefore = s.errorsReported;
        replay(step);
        const bool completed = s.errorsReported == reportedBefore;
        if (!completed)
            leaveUnchecked(step);
        return completed;
    }
    // The outline shows a replayed step that did not complete as not done.
    void leaveUnchecked(Step step)
    {
        s.outline.uncheck(step);
        s.frontend().outlineChanged();
    }
    void letWindowsCatchUp()
    {
        s.frontend().outlineChanged();
        progress.breathe();
    }

    void readFields(const KeyFields &fields)
    {
        for (const KeyField &f : fields)
            std::visit([&](auto member) { in.ReadKey(QLatin1String(f.key), m.*member); }, f.field);
    }
    void section(const char *name, const char *statusText, const KeyFields &fields)
    {
        in.GoToSection(QLatin1String(name));
        status(statusText);
        readFields(fields);
    }

    void readStatus()
    {
        if (m.FileBuild < BuildWithStatus) {
            m.UNDone = m.WEDone = m.WLDone = m.WCDone = m.PLDone = m.PCDone = m.TDDone = m.WFDone = m.RGDone = m.ANDone
                = m.ERDone = false;
            m.WEmapped = m.PLmapped = m.SLmapped = false;
            m.WCMapIndex = m.PCMapIndex = m.MDMapIndex = m.WFMapIndex = -1;
            return;
        }
        section("[Status]", "Reading Status variables...", layout::status());
    }

    void readUnits()
    {
        section("[Units]", "Reading units data...", layout::units());
        if (m.UNDone)
            check(Step::SetUnits);
    }

    void readBaseMap()
    {
        section("[Base Map]", "Reading basemap data...", layout::baseMap());
        m.BaseMapFile = fromStoredPath(m.BaseMapFile);
        // An empty name is a project without a base map, not a missing file.
        if (!m.BaseMapFile.isEmpty() && !QFileInfo::exists(QDir(m.ProjectDir).filePath(m.BaseMapFile))) {
            s.ErrorText = QStringLiteral("Base map file\n\n") + m.BaseMapFile
                + QStringLiteral("\n\ndoes not exist. Maybe it has been renamed. Press [Yes] to select the file, "
                                 "[No] to stop.");
            WriteLog(s, s.ErrorText);
            const MsgAnswer answer = s.frontend().messageBox(
                s.ErrorText, QStringLiteral("Basemap file does not exist!"), MsgButtons::YesNo, MsgIcon::Question);
            if (answer != MsgAnswer::Yes) {
                ReportError(s);
                m.RunMode.clear();
                throw ReadingStopped();
            }
            s.replay().openBaseMapCommand();
        }
        m.BaseMapFile = RelativePath(s, m.BaseMapFile);
        if (m.BaseMapType != QLatin1String("vector") && m.BaseMapType != QLatin1String("raster")
            && m.BaseMapFormat == QLatin1String("bmp"))
            m.BaseMapType = QStringLiteral("raster");
        if (m.BMDone) {
            status("opening basemap...");
            replay(Step::BaseMap);
            s.frontend().setBusy(false);
        }
    }

    void readCalibration()
    {
        in.GoToSection(QStringLiteral("[Map Calibration]"));
        status("Reading map calibration data...");
        in.ReadKey(QStringLiteral("RasterScaleSet"), m.RasterScaleSet);
        if (m.RasterScaleSet) {
            in.ReadKey(QStringLiteral("CalibrationType"), m.CalibrationType);
            if (m.CalibrationType != 0) {
                for (int i = 0; i <= 2; ++i)
                    in.ReadKeyPair(QStringLiteral("RasterPoint"), m.RasterPointX(i), m.RasterPointY(i));
                in.ReadKey(QStringLiteral("RasterScaleDistance"), m.RasterScaleDistance);
                in.ReadKey(QStringLiteral("RasterScale"), m.RasterScale);
            } else {
                for (int i = 3; i <= 4; ++i) {
                    in.ReadKeyPair(QStringLiteral("RasterPoint"), m.RasterPointX(i), m.RasterPointY(i));
                    in.ReadKeyPair(QStringLiteral("VectorPoint"), m.VectorPointX(i), m.VectorPointY(i));
                }
            }
        }
        if (m.BMDone && m.RasterScaleSet && m.MSDone) {
            status("Performing map calibration...");
            replay(Step::MapScale);
        }
    }

    void readWellData()
    {
        section("[Well Data]", "Reading well data information...", layout::wellData());
        m.WEDataPath = RelativePath(s, fromStoredPath(m.WEDataPath));
        if (m.WEDone) {
            status("Reading well data...");
            const bool reported = !replayWithoutReport(Step::WellLocations);
            wellsRefused = !m.WEDone; // only a read that succeeds sets it again
            if (wellsRefused)
                leaveUnchecked(Step::WellLocations);
            if (wellsRefused && !reported) {
                // A refused table is only warned about; the run must still fail, and say what it skips.
                s.ErrorText = QStringLiteral("The well locations could not be read again: the water levels and the "
                                             "analyses that need them were not replayed.");
                ReportError(s);
            }
        }
    }

    void readWaterLevels()
    {
        section("[Water Levels]", "Reading water levels information...", layout::waterLevels());
        m.WLDataPath = RelativePath(s, fromStoredPath(m.WLDataPath));
        // Without the wells every level column would be reported as an unknown well.
        if (m.WLDone && !wellsRefused) {
            status("Reading water levels data...");
            replay(Step::WaterLevels);
            if (!m.WLDone)
                leaveUnchecked(Step::WaterLevels);
        }
    }

    void gridWarning(int16 count, const char *axis)
    {
        if (!gridCountOutOfRange(count))
            return;
        s.ErrorText = QStringLiteral("Number of %1 grids (%2) exceeds the maximum (%3) allocated in QEL!\n"
                                     "Please reduce number of %1 grids in Plot Limits dialog.")
                          .arg(QLatin1String(axis))
                          .arg(count)
                          .arg(MaxGridNodes);
        ReportWarning(s);
    }

    void readPlotLimits()
    {
        section("[Plot Limits]", "Reading plot limits data...", layout::plotLimits());
        gridWarning(m.PCNumX, "X");
        gridWarning(m.PCNumY, "Y");
        if (m.PLDone) {
            if (m.PLmapped)
                replay(Step::PlotLimits);
            else
                check(Step::PlotLimits);
        }
    }

    void readTransport()
    {
        section("[Transport Data]", "Reading transport data...", layout::transportBeforeDecay());
        if (m.FileBuild < BuildWithDecay) {
            in.ReadKey(QStringLiteral("HalfLife"), m.HalfLife);
            m.Decay = m.HalfLife != 0;
        } else {
            in.ReadKey(QStringLiteral("Decay"), m.Decay);
            if (m.Decay)
                in.ReadKey(QStringLiteral("HalfLife"), m.HalfLife);
        }
        readFields(layout::transportAfterDecay());
        if (m.SLmapped) {
            replay(Step::SourceLocation);
        }
        if (m.TDDone)
            check(Step::ModelData);
    }

    // The analyses are rerun only when their inputs are complete; otherwise their flags go.
    void replayAnalyses()
    {
        if (!(m.UNDone && m.WEDone && m.WLDone))
            m.RGDone = m.ANDone = false;
        const bool run = m.RGDone;
        if (!(m.PLDone && m.SLDone && m.TDDone && run))
            m.ANDone = m.ERDone = false;
        if (!run)
            return;
        // The plume run's grid is made on another core while the regression runs.
        if (m.ANDone)
            s.replay().prepareAnalyticalSolution();
        status("Running linear regression...");
        if (!replayWithoutReport(Step::RunRegression)) {
            m.ANDone = false;
            s.replay().dropAnalyticalSolution();
            return;
        }
        if (m.WCDone && m.WCMapIndex >= 1) {
            replay(Step::WaterLevelContours);
            letWindowsCatchUp();
        }
        if (m.ANDone) {
            status("Running analytical code...");
            if (!replayWithoutReport(Step::RunAnalytical))
                m.ANDone = false;
            if (m.ANDone && m.ERDone) {
                status("Exporting model results...");
                replay(Step::ExportResults);
            }
        }
    }

    void readContourView(const ContourSection &sec, const ContourReplay &replay)
    {
        ContourView &v = m.*(sec.view);
        const QString p = QLatin1String(sec.prefix);
        in.GoToSection(QLatin1String(sec.name));
        status(replay.status);
        in.ReadKey(p + QStringLiteral("Min"), v.Min);
        in.ReadKey(p + QStringLiteral("Max"), v.Max);
        in.ReadKey(p + QStringLiteral("NumLevels"), v.NumLevels);
        in.ReadKey(p + QStringLiteral("LineWidth"), v.LineWidth);
        if (sec.hasUseLog)
            in.ReadKey(p + QStringLiteral("UseLog"), v.UseLog);
        for (int i = 1; i <= v.NumLevels; ++i) {
            if (!decltype(v.CMin)::inBounds(i))
                raise(ErrSubscript, p + QStringLiteral("NumLevels")); // a view holds at most five levels
            in.ReadKey(p + QStringLiteral("CMin"), v.CMin(i));
            in.ReadKey(p + QStringLiteral("CMax"), v.CMax(i));
            in.ReadKey(p + QStringLiteral("CColor"), v.CColor(i));
        }
        if (m.FileBuild < BuildWithLegends) {
            v.Legend = false;
            v.LegendX = v.LegendY = 0;
        } else {
            in.ReadKey(p + QStringLiteral("Legend"), v.Legend);
            in.ReadKey(p + QStringLiteral("LegendX"), v.LegendX);
            in.ReadKey(p + QStringLiteral("LegendY"), v.LegendY);
        }
        if (m.ANDone && m.*(replay.done) && m.*(replay.mapIndex) > 0) {
            this->replay(replay.step);
            letWindowsCatchUp();
        }
    }

    // About as many status texts as a file with every step done shows.
    static constexpr double StretchesInAFile = 20;

    Session &s;
    ProjectModel &m;
    ProjectFileLines &in;
    Progress &progress;
    int stretchesRead = 0;
    bool wellsRefused = false; // the wells asked for could not be read
};

// No project file comes near this: about a hundred short lines, five levels per view, and a few
// paths and names. Anything larger was picked by mistake (under "All Files") and is refused before
// it is read into memory.
constexpr qint64 MaxProjectFileBytes = 1 << 20;

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raise(QFileInfo::exists(path) ? ErrPathFileAccess : ErrFileNotFound, path);
    if (file.size() > MaxProjectFileBytes)
        throw QelError(ErrInvalidCall,
            QStringLiteral("The file holds %1 bytes, more than any project file can (%2); it is not a project file.")
                .arg(file.size())
                .arg(MaxProjectFileBytes),
            QStringLiteral("ReadProjectFile"));
    return file.readAll();
}

// The [Uncertainty] section, wherever it stands, read apart from the sections before it so that
// their reading never depends on it. A line that cannot be read is a warning that quotes it; the
// other lines and the rest of the project still count.
void readUncertainty(Session &session, const QByteArray &bytes)
{
    ProjectFileLines lines(session, bytes);
    lines.GoToSection(QStringLiteral("[Uncertainty]"));
    while (!lines.atEnd()) {
        const QString line = lines.nextLine().trimmed();
        if (line.startsWith(u'['))
            break;
        if (line.isEmpty())
            continue;
        if (const auto problem = readUncertaintyLine(line, session.model.Uncertainty)) {
            session.ErrorText
                = QStringLiteral("The line \"%1\" of the [Uncertainty] section was not read: %2").arg(line, *problem);
            ReportWarning(session);
        }
    }
}

void reportReadFailure(Session &session, int number, const QString &source, const QString &description)
{
    session.frontend().setBusy(false);
    QString text = QStringLiteral("QEL(ReadProjectFile): Error (") + QString::number(number)
        + QStringLiteral("). Source: ") + source + QStringLiteral(". ") + description;
    if (number == ErrPastEndOfFile)
        text += QStringLiteral("\nProbable cause: Missing data for parameter '") + source
            + QStringLiteral("' while reading input file.\nUsually caused by error encountered before the file was "
                             "saved.");
    session.ErrorText = text;
    ReportError(session);
    session.model.RunMode.clear();
}

} // namespace

bool ReadProjectFile(Session &session)
{
    ProjectModel &m = session.model;
    std::optional<ProjectFileLines> lines;
    auto sourceOf = [&](const QelError &e) {
        if (!e.source().isEmpty())
            return e.source();
        return lines && !lines->currentKey().isEmpty() ? lines->currentKey() : QStringLiteral("ReadProjectFile");
    };
    try {
        Progress progress(session);
        WriteLog(session, QStringLiteral("Project directory: \r\n") + m.ProjectDir);
        WriteLog(session, QStringLiteral("Reading project file: \r\n") + m.ProjectFile);
        const QByteArray bytes = readWholeFile(m.ProjectFile);
        lines.emplace(session, bytes);

        const QString first = lines->atEnd() ? QString() : lines->nextLine();
        const bool marrowgauge = first.startsWith(QLatin1String("!Marrowgauge"));
        if (!marrowgauge && !first.startsWith(QLatin1String("!QEL"))) {
            session.ErrorText = QStringLiteral("Not an QEL Project File! (") + m.ProjectFile + u')';
            ReportError(session);
            return false;
        }
        if (marrowgauge) {
            m.FileBuild = QStringLiteral("20010930");
            WriteLog(session, first);
        } else {
            if (lines->atEnd())
                raise(ErrPastEndOfFile, QStringLiteral("Build"));
            const QString second = lines->nextLine().trimmed();
            if (second.isEmpty()) {
                m.FileBuild = QStringLiteral("20020528");
            } else {
                lines->PendingLine = second;
                lines->ReadKey(QStringLiteral("Build"), m.FileBuild);
            }
            WriteLog(session, second);
        }

        ProjectReader(session, *lines, progress).readAfterBuild();
        readUncertainty(session, bytes);
        progress.setFraction(1);

        // Replaying the steps is no change: only a project that would now be saved otherwise than it
        // was read (a base map found anew, a grid sized again, an older build's file) is unsaved.
        m.ProjectChanged = projectFileBytes(session) != bytes;
        m.ProjectStatus = QStringLiteral("Read");
        m.RunMode.clear();
        session.frontend().setBusy(false);
        WriteLog(session, QStringLiteral("Completed reading project file."));
        session.setStatus(QStringLiteral("Project file successfully read."));
        return true;
    } catch (const ReadingStopped &) {
    } catch (const QelError &e) {
        reportReadFailure(session, e.number(), sourceOf(e), e.description());
    } catch (const std::bad_alloc &) {
        reportReadFailure(session, ErrOutOfMemory, QStringLiteral("ReadProjectFile"), errorDescription(ErrOutOfMemory));
    } catch (const std::exception &e) {
        reportReadFailure(session, ErrInvalidCall, QStringLiteral("ReadProjectFile"), QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace qel

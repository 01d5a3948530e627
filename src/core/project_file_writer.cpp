#include "core/number_text.h"
#include "core/project_file.h"
#include "core/project_file_layout.h"
#include "core/project_file_lines.h"
#include "core/reporting.h"
#include "core/uncertainty_ranges.h"
#include "core/whole_file.h"

#include <QFileInfo>

namespace qel {

namespace {

// Collects the file's lines, each ended by CR LF, in the forms the reader expects: numbers in
// the key form (sign position, trailing blank), booleans as True/False, strings as held.
class ProjectTextWriter {
public:
    void line(const QString &text = {}) { m_text += text + QStringLiteral("\r\n"); }
    void key(const QString &name, const QString &value)
    {
        // A line break inside a value would end the line early and shift every later key: it
        // becomes a blank. Blanks it leaves at the ends go, as the reader drops them, so the
        // project reopens with the value that was written.
        QString single = value;
        if (single.contains(u'\r') || single.contains(u'\n'))
            single = trimBlanks(single.replace(u'\r', u' ').replace(u'\n', u' '));
        line(name + u'=' + single);
    }
    void key(const QString &name, bool value)
    {
        line(name + u'=' + (value ? QStringLiteral("True") : QStringLiteral("False")));
    }
    void key(const QString &name, double value) { line(name + u'=' + keyNumberText(value)); }
    void key(const QString &name, int16 value) { key(name, double(value)); }
    void key(const QString &name, Colour value) { key(name, double(value)); }
    void point(const QString &name, double x, double y)
    {
        line(name + u'=' + keyNumberText(x) + QStringLiteral(", ") + keyNumberText(y));
    }

    void fields(const ProjectModel &model, const KeyFields &fields)
    {
        for (const KeyField &f : fields)
            std::visit([&](auto member) { key(QLatin1String(f.key), model.*member); }, f.field);
    }
    void section(const ProjectModel &model, const char *name, const KeyFields &keys)
    {
        line(QLatin1String(name));
        fields(model, keys);
        line();
    }

    QByteArray bytes() const { return m_text.toUtf8(); }

private:
    QString m_text;
};

void writeCalibration(ProjectTextWriter &w, const ProjectModel &m)
{
    w.line(QStringLiteral("[Map Calibration]"));
    w.key(QStringLiteral("RasterScaleSet"), m.RasterScaleSet);
    if (m.RasterScaleSet) {
        w.key(QStringLiteral("CalibrationType"), m.CalibrationType);
        if (m.CalibrationType != 0) {
            for (int i = 0; i <= 2; ++i)
                w.point(QStringLiteral("RasterPoint"), m.RasterPointX(i), m.RasterPointY(i));
            w.key(QStringLiteral("RasterScaleDistance"), m.RasterScaleDistance);
            w.key(QStringLiteral("RasterScale"), m.RasterScale);
        } else {
            for (int i = 3; i <= 4; ++i) {
                w.point(QStringLiteral("RasterPoint"), m.RasterPointX(i), m.RasterPointY(i));
                w.point(QStringLiteral("VectorPoint"), m.VectorPointX(i), m.VectorPointY(i));
            }
        }
    }
    w.line();
}

void writeTransport(ProjectTextWriter &w, const ProjectModel &m)
{
    w.line(QStringLiteral("[Transport Data]"));
    w.fields(m, layout::transportBeforeDecay());
    w.key(QStringLiteral("Decay"), m.Decay);
    if (m.Decay)
        w.key(QStringLiteral("HalfLife"), m.HalfLife);
    w.fields(m, layout::transportAfterDecay());
    w.line();
}

void writeContourView(ProjectTextWriter &w, const ContourSection &section, const ContourView &v)
{
    const QString p = QLatin1String(section.prefix);
    w.line(QLatin1String(section.name));
    w.key(p + QStringLiteral("Min"), v.Min);
    w.key(p + QStringLiteral("Max"), v.Max);
    w.key(p + QStringLiteral("NumLevels"), v.NumLevels);
    w.key(p + QStringLiteral("LineWidth"), v.LineWidth);
    if (section.hasUseLog)
        w.key(p + QStringLiteral("UseLog"), v.UseLog);
    for (int i = 1; i <= v.NumLevels; ++i) {
        w.key(p + QStringLiteral("CMin"), v.CMin(i));
        w.key(p + QStringLiteral("CMax"), v.CMax(i));
        w.key(p + QStringLiteral("CColor"), v.CColor(i));
    }
    w.key(p + QStringLiteral("Legend"), v.Legend);
    w.key(p + QStringLiteral("LegendX"), v.LegendX);
    w.key(p + QStringLiteral("LegendY"), v.LegendY);
    w.line();
}

} // namespace

QByteArray projectFileBytes(const Session &session)
{
    const ProjectModel &m = session.model;
    ProjectTextWriter w;
    w.line(QStringLiteral("!QEL Project Data"));
    w.key(QStringLiteral("Build"), session.app.ProgramBuild);
    w.line();
    w.section(m, "[Status]", layout::status());
    w.section(m, "[Units]", layout::units());
    w.section(m, "[Base Map]", layout::baseMap());
    if (m.BaseMapType == QLatin1String("raster"))
        writeCalibration(w, m);
    w.section(m, "[Well Data]", layout::wellData());
    w.section(m, "[Water Levels]", layout::waterLevels());
    w.section(m, "[WL Contours]", layout::wlContours());
    w.section(m, "[Plot Limits]", layout::plotLimits());
    writeTransport(w, m);
    for (const ContourSection &section : contourSections())
        writeContourView(w, section, m.*(section.view));
    // After every other section, and only when something is uncertain: older readers never reach it.
    if (const QStringList lines = uncertaintyLines(m.Uncertainty); !lines.isEmpty()) {
        for (const QString &line : lines)
            w.line(line);
        w.line();
    }
    return w.bytes();
}

bool SaveProjectFile(Session &session)
{
    ProjectModel &m = session.model;
    return guarded(session, QStringLiteral("SaveProjectFile"), [&] {
        WriteLog(session, QStringLiteral("Saving project file:\r\n") + m.ProjectFile);
        session.frontend().setBusy(true);

        writeWholeFileOrRaise(m.ProjectFile, projectFileBytes(session));

        session.frontend().setBusy(false);
        session.setStatus(QStringLiteral("File saved."));
        WriteLog(session, QStringLiteral("Completed saving project file."));
        Message(session, QStringLiteral("Saved project file: ") + m.ProjectFile, false);
        m.ProjectChanged = false;
        m.ProjectStatus = QStringLiteral("Saved");
    });
}

} // namespace qel

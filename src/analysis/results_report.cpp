#include "analysis/results_report.h"

#include "core/batch_run.h"
#include "core/date_text.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/reporting.h"
#include "core/whole_file.h"

#include <QLocale>

#include <cstdio>

namespace qel {

namespace {

// A concentration as " 0.000E+00": a blank, four significant digits, an exponent of at least two
// digits. Written straight into the bytes: the largest report holds ten million of them.
void appendConcentrationField(QByteArray &out, double value)
{
    char field[32];
    const int length = std::snprintf(field, sizeof field, " %.3E", value);
    out.append(field, length);
}

class ReportText {
public:
    void line(const QString &text = {}) { m_bytes += text.toUtf8() + "\r\n"; }
    QByteArray &bytes() { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace

QByteArray resultsReportBytes(Session &session, const QDate &today)
{
    const ProjectModel &m = session.model;
    if (m.Conc.isEmpty())
        raise(ErrSubscript, QStringLiteral("Conc")); // no analytical run yet
    const auto n = [](double value) { return numberText(value); };
    ReportText r;
    r.line(QStringLiteral("DOMENICO SOLUTION"));
    r.line(QStringLiteral("   Simulation run on        :")
        + QLocale::system().toString(today, QStringLiteral("dd-MMM-yyyy")));
    r.line();
    r.line(QStringLiteral("INPUT DATA"));
    r.line(QStringLiteral("   Project directory        : ") + m.ProjectDir);
    r.line(QStringLiteral("   Project file             : ") + RelativePath(session, m.ProjectFile));
    r.line(QStringLiteral("   Base map type            : ") + m.BaseMapType);
    r.line(QStringLiteral("   Base map file            : ") + RelativePath(session, m.BaseMapFile));
    r.line(QStringLiteral("   Well data file           : ") + RelativePath(session, m.WEDataFile));
    r.line(QStringLiteral("   Water levels data file   : ") + RelativePath(session, m.WLDataFile));
    r.line();
    r.line(QStringLiteral("   Water levels samples: "));
    r.line(QStringLiteral("       Number of samples    : ") + QString::number(m.NumSamples));
    for (int i = 1; i <= m.NumSamples; ++i)
        r.line(QString(25, u' ') + QString::number(i) + QStringLiteral("  : ") + shortDateText(m.SampleDate(i)));
    r.line();
    r.line(QStringLiteral("   Distance units           : ") + m.DistUnits);
    r.line(QStringLiteral("   Time units               : ") + m.TimeUnits);
    r.line(QStringLiteral("   Concentration units      : ") + m.ConcUnits);
    r.line();
    r.line(QStringLiteral("   Model grid (left, right) : (") + n(m.PCLeft) + QStringLiteral(", ") + n(m.PCRight)
        + QStringLiteral(") ") + m.DistUnits);
    r.line(QStringLiteral("   Model grid (bottom, top) : (") + n(m.PCBottom) + QStringLiteral(", ") + n(m.PCTop)
        + QStringLiteral(") ") + m.DistUnits);
    r.line(QStringLiteral("   Grid spacing (delx=dely) : ") + n(m.PCGridSpacing) + u' ' + m.DistUnits);
    r.line(QStringLiteral("   Grid dimensions (NX, NY) : (") + QString::number(m.PCNumX) + QStringLiteral(", ")
        + QString::number(m.PCNumY) + u')');
    r.line();
    r.line(QStringLiteral("   Hydraulic conductivity   : ") + n(m.K) + u' ' + m.DistUnits + u'/' + m.TimeUnits);
    r.line(QStringLiteral("   Effective porosity       : ") + n(m.Porosity));
    r.line(QStringLiteral("   Longitudinal dispersivity: ") + n(m.AlphaX) + u' ' + m.DistUnits);
    r.line(QStringLiteral("   Transverse dispersivity  : ") + n(m.AlphaY) + u' ' + m.DistUnits);
    r.line(QStringLiteral("   Retardation factor       : ") + n(m.RetFactor) + u' ');
    r.line(QStringLiteral("   Degradation simulated?   : ")
        + (m.Decay ? QStringLiteral("True") : QStringLiteral("False")));
    if (m.Decay)
        r.line(QStringLiteral("   Solute half-life         : ") + n(m.HalfLife) + u' ' + m.TimeUnits);
    r.line(QStringLiteral("   Simulation time          : ") + n(m.Time) + u' ' + m.TimeUnits);
    r.line(QStringLiteral("   Source width             : ") + n(m.Swidth) + u' ' + m.DistUnits);
    r.line(QStringLiteral("   Source concentration     : ") + n(m.C0) + u' ' + m.ConcUnits);
    r.line();
    r.line(QStringLiteral("   Source location (x,y)    : (") + n(m.Xsource) + QStringLiteral(", ") + n(m.Ysource)
        + QStringLiteral(") ") + m.DistUnits);
    r.line();
    r.line(QStringLiteral("MODEL RESULTS"));
    r.line();
    r.line(QStringLiteral("Plume Concentration Grid for each Sample. Concentration in ") + m.ConcUnits);
    r.line();
    const qsizetype gridBytes = qsizetype(m.PCNumY) * (qsizetype(m.PCNumX) * 10 + 2);
    for (int s = 1; s <= m.NumSamples + 1; ++s) {
        if (s <= m.NumSamples) {
            session.setStatus(QStringLiteral("Printing concentrations for date ") + shortDateText(m.SampleDate(s)));
            r.line(QStringLiteral("   Sample date              : ") + shortDateText(m.SampleDate(s)));
        } else {
            session.setStatus(QStringLiteral("Printing arithmetic average concentrations"));
            r.line(QStringLiteral("   Arithmetic average concentrations:"));
        }
        r.line();
        QByteArray &out = r.bytes();
        if (s == 1) // room for every grid at once: growing grid by grid would copy and double the peak
            out.reserve(out.size() + qsizetype(m.NumSamples + 1) * (gridBytes + 256));
        for (int iy = 1; iy <= m.PCNumY; ++iy) {
            for (int ix = 1; ix <= m.PCNumX; ++ix)
                appendConcentrationField(out, m.Conc(ix, iy, s));
            out += "\r\n";
        }
        r.line();
    }
    r.line(QStringLiteral("END OF OUTPUT"));
    return r.bytes();
}

void SelectResultsFile(Session &session)
{
    guarded(session, QStringLiteral("SelectResultsFile"), [&] {
        session.setStatus(QString());
        session.UserCancelled = false;
        const FileDialogAnswer answer = session.frontend().saveFileDialog(
            { QStringLiteral("Select File for Model Results"), QStringLiteral("Output file (*.out)|*.out"),
                QStringLiteral("out"), session.model.ProjectDir, QStringLiteral("QELResults.out") });
        if (!answer.accepted) {
            session.UserCancelled = true;
            return;
        }
        session.model.ResultsFile = answer.path;
    });
}

bool writeResultsReport(Session &session, const QString &path)
{
    return guarded(session, QStringLiteral("ExportAnalyticalResults"), [&] {
        session.setStatus(QStringLiteral("Exporting results..."));
        // Written whole or not at all: a failure keeps the previous report intact.
        writeWholeFileOrRaise(path, resultsReportBytes(session, QDate::currentDate()));
        session.model.ERDone = true;
        session.checkNode(Step::ExportResults);
        Message(session, QStringLiteral("Saved model results: ") + path);
    });
}

void ExportAnalyticalResults(Session &session)
{
    SelectResultsFile(session);
    if (session.UserCancelled)
        return;
    writeResultsReport(session, session.model.ResultsFile);
}

void registerResultsBatchOutput()
{
    registerBatchOutput(QStringLiteral("--results"), &writeResultsReport);
}

} // namespace qel

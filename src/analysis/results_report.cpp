#include "analysis/results_report.h"

#include "core/batch_run.h"
#include "core/date_text.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/plain_number.h"
#include "core/progress.h"
#include "core/replace_question.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "parallel/worker_pool.h"

#include <QBuffer>
#include <QLocale>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

namespace {

// Bytes kept before they go to the file: a few large writes instead of ten million small ones,
// and never the whole report (about 100 MB for 61 grids of 400 x 400) in memory.
constexpr qsizetype ChunkBytes = qsizetype(4) << 20;

// 10^k for k = -330..330, as exact as a double holds them.
const double *powersOfTen()
{
    static const auto table = [] {
        std::array<double, 661> powers {};
        for (int k = -330; k <= 330; ++k)
            powers[std::size_t(k + 330)] = std::pow(10.0, k);
        return powers;
    }();
    return table.data() + 330;
}

// A zero as " %.3E" writes it.
constexpr std::string_view ZeroField = " 0.000E+00";

// The decimal exponent of a magnitude of ordinary size: the guess from the binary exponent, set
// by the power of ten above it.
int decimalExponent(double magnitude)
{
    const int exponent = decimalExponentAtMost(magnitude);
    return exponent + (magnitude >= powersOfTen()[exponent + 1] ? 1 : 0);
}

// " d.dddE+xx" (or "E+xxx") of the four digits (1000 to 9999) and the exponent.
int writeField(char *out, bool negative, int digits, int exponent)
{
    char *p = out;
    *p++ = ' ';
    if (negative)
        *p++ = '-';
    const int high = digits / 100, low = digits % 100;
    p[0] = char('0' + high / 10);
    p[1] = '.';
    p[2] = char('0' + high % 10);
    std::memcpy(p + 3, &DigitPairs[std::size_t(2 * low)], 2);
    p[5] = 'E';
    p[6] = exponent < 0 ? '-' : '+';
    p += 7;
    int e = std::abs(exponent);
    if (e >= 100) {
        *p++ = char('0' + e / 100);
        e %= 100;
    }
    std::memcpy(p, &DigitPairs[std::size_t(2 * e)], 2);
    return int(p + 2 - out);
}

// " %.3E" of printf, by scaling and rounding until the four digits are found. Whatever lies near
// a rounding tie, and what is not a normal number of ordinary size, goes to printf, so the text
// is always printf's.
int carefulField(char *out, double value)
{
    const double magnitude = std::fabs(value);
    if (value == 0 && !std::signbit(value)) {
        std::memcpy(out, ZeroField.data(), ZeroField.size());
        return int(ZeroField.size());
    }
    if (!(magnitude > 1e-290 && magnitude < 1e290))
        return std::snprintf(out, 32, " %.3E", value);
    const double *tens = powersOfTen();
    int exponent = decimalExponent(magnitude);
    double scaled = 0, digits = 0;
    // The scaling is off by a few units in the last place: near a tie it may round the wrong way.
    for (int tries = 0; tries < 3; ++tries) {
        scaled = magnitude * tens[3 - exponent];
        digits = double(std::int64_t(scaled + 0.5)); // scaled is positive and far below 2^63
        if (std::fabs(std::fabs(scaled - digits) - 0.5) < 1e-6)
            return std::snprintf(out, 32, " %.3E", value);
        if (digits >= 10000)
            ++exponent;
        else if (digits < 1000)
            --exponent;
        else
            break;
    }
    if (digits < 1000 || digits >= 10000)
        return std::snprintf(out, 32, " %.3E", value);
    return writeField(out, value < 0, int(digits), exponent);
}

// " %.3E" of printf without its cost (the largest report holds ten million fields): the four
// digits of most values come from one scaling and rounding; the rest, those near a tie and those
// whose scaling lands outside four digits, are left to carefulField.
int concentrationField(char *out, double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude > 1e-290 && magnitude < 1e290))
        return carefulField(out, value);
    const int exponent = decimalExponent(magnitude);
    const double scaled = magnitude * powersOfTen()[3 - exponent];
    const std::int64_t whole = std::int64_t(scaled); // scaled is positive and far below 2^63
    const double fraction = scaled - double(whole);
    const int digits = int(whole) + (fraction > 0.5 ? 1 : 0);
    if (std::fabs(fraction - 0.5) < 1e-6 || digits < 1000 || digits >= 10000)
        return carefulField(out, value);
    return writeField(out, value < 0, digits, exponent);
}

// The widest field concentrationField writes (" -1.234E+308"), with room to spare.
constexpr int FieldBytes = 16;

// The report's lines, gathered in a buffer that goes to the device a chunk at a time; a write
// that fails or falls short is error 75 naming the file.
class ReportText {
public:
    ReportText(QIODevice &device, const QString &name)
        : m_device(device)
        , m_name(name)
        , m_buffer(new char[ChunkBytes])
    {
    }

    void line(const QString &text = {})
    {
        const QByteArray bytes = text.toUtf8();
        append(bytes.constData(), bytes.size());
        append("\r\n", 2);
    }

    void append(const char *bytes, qsizetype size)
    {
        if (m_size + size > ChunkBytes)
            flush();
        if (size > ChunkBytes)
            return put(bytes, size);
        std::memcpy(m_buffer.get() + m_size, bytes, std::size_t(size));
        m_size += size;
    }

    // Bytes made elsewhere go to the device as they are, after what is buffered.
    void appendLarge(const char *bytes, qsizetype size)
    {
        flush();
        put(bytes, size);
    }

    void flush()
    {
        put(m_buffer.get(), m_size);
        m_size = 0;
    }

    qint64 written() const { return m_device.written(); }

private:
    void put(const char *bytes, qsizetype size)
    {
        if (!m_device.write(bytes, size))
            raise(ErrPathFileAccess, m_name);
    }

    WritingBack m_device;
    QString m_name;
    std::unique_ptr<char[]> m_buffer;
    qsizetype m_size = 0;
};

// The rows of one grid as text, a slab of rows at a time, the slabs made on every core. Each slab
// has a buffer of its own that holds its widest text, so that no row is copied twice.
class GridText {
public:
    GridText(int numX, int numY)
        : m_numX(std::max(numX, 0))
        , m_numY(std::max(numY, 0))
        , m_slabs(std::size_t((m_numY + RowsPerSlab - 1) / RowsPerSlab))
    {
        for (Slab &slab : m_slabs)
            slab.text.reset(new char[std::size_t(RowsPerSlab) * (std::size_t(m_numX) * FieldBytes + 2)]);
        for (int ix = 0; ix < m_numX; ++ix)
            m_zeroRow.append(ZeroField);
    }

    // rows[iy - 1]: the numX values of row iy. afterRow() runs on this thread once for each row,
    // once the grid is in the file.
    void write(ReportText &r, const std::vector<const double *> &rows, const std::function<void()> &afterRow)
    {
        // Each slab goes to the file as soon as it and every slab before it are made, while the
        // other threads go on making theirs.
        const auto make = [&](int k) {
            char *p = m_slabs[std::size_t(k)].text.get();
            const char *start = p;
            for (int iy = k * RowsPerSlab; iy < std::min(m_numY, (k + 1) * RowsPerSlab); ++iy) {
                // Most of a plume's grid is zero, in runs at both ends of its rows: their text is
                // copied whole.
                const double *row = rows[std::size_t(iy)];
                int first = 0, last = m_numX; // the nodes from first to before last are not all zero
                while (first < last && isPlainZero(row[first]))
                    ++first;
                while (last > first && isPlainZero(row[last - 1]))
                    --last;
                p = zeroFields(p, first);
                for (int ix = first; ix < last; ++ix)
                    p += concentrationField(p, row[ix]);
                p = zeroFields(p, m_numX - last);
                *p++ = '\r';
                *p++ = '\n';
            }
            m_slabs[std::size_t(k)].size = p - start;
        };
        const auto put
            = [&](int k) { r.appendLarge(m_slabs[std::size_t(k)].text.get(), m_slabs[std::size_t(k)].size); };
        forEachItemInOrder(int(m_slabs.size()), make, put);
        for (int iy = 0; iy < m_numY; ++iy)
            afterRow();
    }

private:
    // A zero written as ZeroField; a negative zero is not one.
    static bool isPlainZero(double value) { return std::bit_cast<std::uint64_t>(value) == 0; }

    char *zeroFields(char *p, int count) const
    {
        const std::size_t bytes = std::size_t(count) * ZeroField.size();
        std::memcpy(p, m_zeroRow.data(), bytes);
        return p + bytes;
    }

    static constexpr int RowsPerSlab = 16;
    struct Slab {
        std::unique_ptr<char[]> text;
        qsizetype size = 0;
    };
    int m_numX, m_numY;
    std::vector<Slab> m_slabs;
    std::string m_zeroRow; // a row's width of zero fields
};

// "dd-mmm-yyyy" with English month abbreviations, whatever language the system speaks.
QString runDateText(const QDate &today)
{
    return QLocale::c().toString(today, QStringLiteral("dd-MMM-yyyy"));
}

void writeInputData(Session &session, ReportText &r, const QDate &today)
{
    const ProjectModel &m = session.model;
    const auto n = [](double value) { return numberText(value); };
    r.line(QStringLiteral("DOMENICO SOLUTION"));
    r.line(QStringLiteral("   Simulation run on        :") + runDateText(today));
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
}

// What the grids of the report need of the project, taken on the session's thread so that they
// may be written on another.
struct ReportGrids {
    const ConcentrationGrid *conc = nullptr;
    int numX = 0, numY = 0, numSamples = 0;
    QString concUnits;
    QStringList dateTexts; // of samples 1 to numSamples
};

ReportGrids reportGrids(const ProjectModel &m)
{
    ReportGrids g { &m.Conc, m.PCNumX, m.PCNumY, m.NumSamples, m.ConcUnits, {} };
    for (int s = 1; s <= m.NumSamples; ++s)
        g.dateTexts << shortDateText(m.SampleDate(s));
    return g;
}

// progress: the session's, or none when the grids are written behind the steps after them.
void writeGrids(const ReportGrids &g, ReportText &r, Progress *progress)
{
    r.line(QStringLiteral("MODEL RESULTS"));
    r.line();
    r.line(QStringLiteral("Plume Concentration Grid for each Sample. Concentration in ") + g.concUnits);
    r.line();
    const int blocks = g.numSamples + 1;
    GridText grid(g.numX, g.numY);
    const ConcentrationGrid &grids = *g.conc;
    std::vector<const double *> rows(std::size_t(std::max(g.numY, 0)));
    for (int s = 1; s <= blocks; ++s) {
        const QString date = s <= g.numSamples ? g.dateTexts[s - 1] : QString();
        if (progress)
            progress->setText(s <= g.numSamples ? QStringLiteral("Printing concentrations for date ") + date
                                                : QStringLiteral("Printing arithmetic average concentrations"));
        r.line(s <= g.numSamples ? QStringLiteral("   Sample date              : ") + date
                                 : QStringLiteral("   Arithmetic average concentrations:"));
        r.line();
        // Every node is checked here, on this thread, by its row's first and last: the slabs read
        // the rows through pointers.
        for (int iy = 1; iy <= g.numY; ++iy) {
            if (g.numX >= 1)
                grids(g.numX, iy, s);
            rows[std::size_t(iy - 1)] = g.numX >= 1 ? &grids(1, iy, s) : nullptr;
        }
        grid.write(r, rows, [&] {
            if (progress) {
                progress->breathe();
                progress->throwIfCancelled();
            }
        });
        r.line();
        if (progress)
            progress->setFraction(double(s) / blocks);
    }
    r.line(QStringLiteral("END OF OUTPUT"));
    r.flush();
}

// The report is on disk, whole, at path.
void reportWritten(Session &session, const QString &path)
{
    session.model.ERDone = true;
    session.checkNode(Step::ExportResults);
    Message(session, QStringLiteral("Saved model results: ") + path, true); // ends the progress texts
}

// Error 9 when there is no analytical run to report on.
void requireResults(const ProjectModel &m)
{
    if (m.Conc.isEmpty())
        raise(ErrSubscript, QStringLiteral("Conc"));
}

// Returns the number of bytes written.
qint64 writeReport(Session &session, QIODevice &device, const QString &name, const QDate &today)
{
    requireResults(session.model);
    ReportText r(device, name);
    writeInputData(session, r, today);
    Progress progress(session);
    writeGrids(reportGrids(session.model), r, &progress);
    return r.written();
}

// The report goes to a temporary file beside the old one, which it replaces only once every
// byte is on disk: a failure or a full disk leaves the previous report whole.
void writeReportFile(Session &session, const QString &path, const QDate &today)
{
    writeWholeFileThroughOrRaise(path, [&](QIODevice &file) { return writeReport(session, file, path, today); });
}

// The report of a replay nobody watches, written on a thread of its own while the steps after
// it run: they only read the grids it reads. Its message or its error comes when it is finished.
class ReportBehind : public SessionPart {
public:
    explicit ReportBehind(Session &session)
        : m_session(session)
    {
    }
    // The grids go when the project does: the report is finished first.
    void projectCleared() override { finish(); }

    void start(const QString &path, const QDate &today)
    {
        finish();
        Session &session = m_session;
        QBuffer head;
        head.open(QIODevice::WriteOnly);
        {
            ReportText r(head, path);
            writeInputData(session, r, today);
            r.flush();
        }
        m_path = path;
        m_written = std::async(std::launch::async, [path, head = head.data(), grids = reportGrids(session.model)] {
            writeWholeFileThroughOrRaise(path, [&](QIODevice &file) {
                ReportText r(file, path);
                r.append(head.constData(), head.size());
                writeGrids(grids, r, nullptr);
                return r.written();
            });
        });
    }

    void finish()
    {
        if (!m_written.valid())
            return;
        Session &session = m_session;
        guarded(session, QStringLiteral("ExportAnalyticalResults"), [&] {
            m_written.get(); // what the writing raised is reported here
            reportWritten(session, m_path);
        });
    }

private:
    Session &m_session;
    QString m_path;
    std::future<void> m_written; // from std::async: let go, it waits for the writing
};

} // namespace

QByteArray resultsReportBytes(Session &session, const QDate &today)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeReport(session, buffer, QStringLiteral("memory"), today);
    return buffer.data();
}

void SelectResultsFile(Session &session)
{
    guarded(session, QStringLiteral("SelectResultsFile"), [&] {
        session.setStatus(QString());
        session.UserCancelled = false;
        const FileDialogAnswer answer = chooseFileToWrite(session,
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
    bool cancelled = false;
    const bool ran = guarded(session, QStringLiteral("ExportAnalyticalResults"), [&] {
        session.setStatus(QStringLiteral("Exporting results..."));
        try {
            writeReportFile(session, path, QDate::currentDate());
        } catch (const WorkCancelled &) {
            // The temporary file is dropped, so the report written before stays whole.
            cancelled = true;
            return reportCancelled(session, QStringLiteral("Results report cancelled; %1 is as it was.").arg(path));
        }
        reportWritten(session, path);
    });
    return ran && !cancelled;
}

void replayResultsReport(Session &session)
{
    if (!session.frontend().runsUnattended())
        return ExportAnalyticalResults(session);
    SelectResultsFile(session);
    if (session.UserCancelled)
        return;
    guarded(session, QStringLiteral("ExportAnalyticalResults"), [&] {
        session.setStatus(QStringLiteral("Exporting results..."));
        requireResults(session.model);
        session.part<ReportBehind>().start(session.model.ResultsFile, QDate::currentDate());
    });
}

void finishResultsReport(Session &session)
{
    session.part<ReportBehind>().finish();
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

#include "core/project_summary.h"

#include "core/batch_run.h"
#include "core/errors.h"
#include "core/reporting.h"
#include "core/whole_file.h"

#include <QLocale>

namespace qel {

namespace {

RtfCharFormat bodyFormat(bool bold)
{
    RtfCharFormat format;
    format.fontFamily = rtfStandardFonts().at(RtfBodyFont);
    format.halfPoints = RtfBodyHalfPoints;
    format.bold = bold;
    return format;
}

// What a heading label is wrapped in: bold body font, then back to the plain body font so
// that the lines after it are not bold.
const QString HeadingStart = QStringLiteral("\\plain\\f3\\fs18\\b ");
const QString HeadingEnd = QStringLiteral("\\plain\\f3\\fs18");

} // namespace

const QList<RtfTabStop> &summaryTabStops()
{
    static const QList<RtfTabStop> stops
        = { { 360, QTextOption::LeftTab }, { 720, QTextOption::LeftTab }, { 3240, QTextOption::LeftTab } };
    return stops;
}

QString OutputLineHeader(const QString &title)
{
    // The document text is CR LF TAB title CR LF with everything from the TAB on bold and
    // centred; the empty line after the title stays in the plain body font.
    RtfParagraph leading;
    leading.tabStops = summaryTabStops();
    leading.markFormat = bodyFormat(false);
    RtfParagraph titleLine = leading;
    titleLine.alignment = Qt::AlignHCenter;
    titleLine.runs.append({ u'\t' + title, bodyFormat(true) });
    titleLine.markFormat = bodyFormat(true);
    return writeRtf({ leading, titleLine, leading });
}

void OutputLine(QString &rtf, const QString &label, const QString &value, bool isHeading)
{
    if (label.isEmpty())
        return;
    const QString closing = QString::fromLatin1(RtfClosingPart);
    if (!rtf.endsWith(closing))
        raise(ErrInvalidCall, QStringLiteral("summary text"));
    QString line = rtf.left(rtf.size() - RtfClosingLength) + QStringLiteral("\\par ");
    if (value.isEmpty()) {
        line += QStringLiteral("\\tab ");
        line += isHeading ? HeadingStart + rtfEscapedText(label) + HeadingEnd : rtfEscapedText(label);
    } else {
        // Paths carry backslashes (and may carry braces): escaped, they show as typed.
        line += QStringLiteral("\\tab \\tab ") + rtfEscapedText(label) + QStringLiteral("\\tab ")
            + rtfEscapedText(value);
    }
    rtf = line + closing;
}

QString composeProjectSummaryRtf(const Session &session, const QDate &today)
{
    QString rtf = OutputLineHeader(QStringLiteral("QEL PROJECT SUMMARY"));
    OutputLine(rtf, QStringLiteral("FILE AND DATE"), {}, true);
    OutputLine(rtf, QStringLiteral("Data file"), session.model.ProjectFile.toLower(), false);
    // English month abbreviations whatever the system's language.
    OutputLine(rtf, QStringLiteral("Date printed"), QLocale::c().toString(today, QStringLiteral("dd-MMM-yyyy")), false);
    OutputLine(rtf, {}, {}, false);
    OutputLine(rtf, QStringLiteral("MAIN PARAMETERS"), {}, true);
    OutputLine(rtf, {}, {}, false);
    OutputLine(rtf, QStringLiteral("SOIL PROPERTIES"), {}, true);
    OutputLine(rtf, {}, {}, false);
    return rtf;
}

bool ShowProjectData(Session &session, const std::function<void(const QString &rtf)> &fill, const QDate &today)
{
    const bool done = guarded(session, QStringLiteral("ShowProjectData"), [&] {
        session.setStatus(QStringLiteral("Preparing input data summary..."));
        session.DocReady = false;
        fill(composeProjectSummaryRtf(session, today));
    });
    // Even after a failure the document window must follow selections again.
    session.DocReady = true;
    session.setStatus({});
    return done;
}

bool writeProjectSummaryFile(Session &session, const QString &path)
{
    const bool written = ShowProjectData(session, [&](const QString &rtf) {
        if (!writeWholeFile(path, rtf.toLatin1()).written) // the writer's text is pure ASCII
            raise(ErrPathFileAccess, path);
    });
    if (written)
        Message(session, QStringLiteral("Saved project summary file: ") + path);
    return written;
}

void registerSummaryBatchOutput()
{
    registerBatchOutput(QStringLiteral("--summary"), &writeProjectSummaryFile);
}

} // namespace qel

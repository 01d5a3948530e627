#include "core/project_file_lines.h"

#include "core/number_text.h"
#include "core/reporting.h"

#include <QStringDecoder>

#include <cmath>
#include <limits>

namespace qel {

namespace {

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes); // files of older programs were written in Latin-1
    return text;
}

QStringList splitLines(const QString &text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line starts no new line
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

} // namespace

QString trimBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

ProjectFileLines::ProjectFileLines(Session &session, const QByteArray &bytes)
    : m_session(session)
    , m_lines(splitLines(decodeText(bytes)))
{
}

QString ProjectFileLines::nextLine()
{
    if (atEnd())
        raise(ErrPastEndOfFile, m_key);
    return m_lines[m_next++];
}

namespace {

bool isSectionLine(const QString &line, const QString &name)
{
    qsizetype i = 0;
    while (i < line.size() && line[i] == u' ')
        ++i;
    return QStringView(line).mid(i).compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

void ProjectFileLines::GoToSection(const QString &name)
{
    // A section line left pending by a missing key is the one wanted: skipping past it would
    // lose the whole section.
    const bool pendingIsSection = isSectionLine(PendingLine, name);
    PendingLine.clear();
    if (pendingIsSection)
        return;
    while (!atEnd())
        if (isSectionLine(nextLine(), name))
            return;
}

std::optional<QString> ProjectFileLines::valueFor(const QString &key, bool pair)
{
    m_key = key;
    QString line;
    if (!PendingLine.isEmpty()) {
        line = PendingLine;
        PendingLine.clear();
    } else {
        line = nextLine();
    }
    if (QStringView(line).left(key.size()).compare(key, Qt::CaseInsensitive) == 0)
        return line.mid(key.size() + 1);

    PendingLine = line; // it may belong to a later key
    m_session.ErrorText = QStringLiteral("Missing data for variable ") + key
        + (pair ? QStringLiteral(" in project file. Assigning default values for now.")
                : QStringLiteral(" in project file. Assigning default value for now."));
    WriteLog(m_session, m_session.ErrorText);
    return std::nullopt;
}

void ProjectFileLines::ReadKey(const QString &key, QString &value)
{
    const auto text = valueFor(key, false);
    value = text ? trimBlanks(*text) : QString();
}

void ProjectFileLines::ReadKey(const QString &key, bool &value)
{
    const auto text = valueFor(key, false);
    value = text && trimBlanks(*text).toUpper() == QLatin1String("TRUE");
}

void ProjectFileLines::ReadKey(const QString &key, double &value)
{
    const auto text = valueFor(key, false);
    value = text ? leadingNumber(trimBlanks(*text)) : 0.0;
}

void ProjectFileLines::ReadKey(const QString &key, int16 &value)
{
    double number = 0;
    ReadKey(key, number);
    value = roundToInt16(number);
}

void ProjectFileLines::ReadKey(const QString &key, Colour &value)
{
    double number = 0;
    ReadKey(key, number);
    const double rounded = std::nearbyint(number);
    if (!(rounded >= std::numeric_limits<Colour>::min() && rounded <= std::numeric_limits<Colour>::max()))
        raise(ErrOverflow, key);
    value = static_cast<Colour>(rounded);
}

void ProjectFileLines::ReadKeyPair(const QString &key, double &x, double &y)
{
    const auto text = valueFor(key, true);
    if (!text) {
        x = y = 0;
        return;
    }
    const qsizetype comma = text->indexOf(u',');
    if (comma < 0)
        raise(ErrInvalidCall, key);
    x = leadingNumber(trimBlanks(text->left(comma)));
    y = leadingNumber(trimBlanks(text->mid(comma + 1)));
}

} // namespace qel

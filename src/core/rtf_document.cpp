#include "core/rtf_document.h"

#include <QFont>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace qel {

namespace {

// Code page 1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes. The rest is Latin-1.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

QChar cp1252Char(uchar byte)
{
    if (byte >= 0x80 && byte <= 0x9F && Cp1252High[byte - 0x80] != 0)
        return QChar(Cp1252High[byte - 0x80]);
    return QChar(byte);
}

QString cp1252Decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        text += cp1252Char(uchar(byte));
    return text;
}

// The code page 1252 byte of a character, if it has one.
std::optional<uchar> cp1252Byte(QChar ch)
{
    const char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return uchar(code);
    for (int i = 0; i < int(Cp1252High.size()); ++i)
        if (Cp1252High[i] == code && code != 0)
            return uchar(0x80 + i);
    return std::nullopt;
}

const QString DefaultFamilyKinds[] = { QStringLiteral("\\froman"), QStringLiteral("\\fmodern"),
    QStringLiteral("\\fswiss"), QStringLiteral("\\fswiss") };

// Tab stops are kept in layout units (pixels at 96 per inch) by the text document.
constexpr double TwipsPerPixel = 1440.0 / 96.0;

QString hexByte(uchar byte)
{
    return QStringLiteral("\\'") + QString::number(byte, 16).rightJustified(2, u'0');
}

} // namespace

QString RtfParagraph::text() const
{
    QString all;
    for (const RtfRun &run : runs)
        all += run.text;
    return all;
}

const QStringList &rtfStandardFonts()
{
    static const QStringList fonts = { QStringLiteral("Times New Roman"), QStringLiteral("Courier New"),
        QStringLiteral("Verdana"), QStringLiteral("Arial") };
    return fonts;
}

QString rtfEscapedText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar ch : text) {
        const char16_t code = ch.unicode();
        switch (code) {
        case u'\\': out += QStringLiteral("\\\\"); continue;
        case u'{': out += QStringLiteral("\\{"); continue;
        case u'}': out += QStringLiteral("\\}"); continue;
        case u'\t': out += QStringLiteral("\\tab "); continue;
        case u'\n':
        case u'\r':
        case 0x2028:
        case 0x2029: out += QStringLiteral("\\line "); continue;
        case 0x00A0: out += QStringLiteral("\\~"); continue;
        default: break;
        }
        if (code < 0x20)
            continue;
        if (code < 0x80) {
            out += ch;
            continue;
        }
        // \uN takes a signed 16-bit number; the byte after it is for readers without Unicode.
        out += QStringLiteral("\\u") + QString::number(code > 32767 ? int(code) - 65536 : int(code));
        const std::optional<uchar> byte = cp1252Byte(ch);
        out += byte ? hexByte(*byte) : QStringLiteral("?");
    }
    return out;
}

namespace {

class RtfWriter {
public:
    QString write(QList<RtfParagraph> paragraphs)
    {
        if (paragraphs.isEmpty())
            paragraphs.append(RtfParagraph {});
        QString body;
        for (const RtfParagraph &paragraph : paragraphs)
            body += paragraphText(paragraph);
        return header() + body + QStringLiteral("}\r\n");
    }

private:
    QString header() const
    {
        QString table;
        for (int i = 0; i < m_fonts.size(); ++i) {
            QString name = m_fonts[i];
            name.remove(u';');
            const QString kind = i < 4 ? DefaultFamilyKinds[i] : QStringLiteral("\\fnil");
            table += QStringLiteral("{\\f%1%2\\fcharset0 %3;}").arg(i).arg(kind, rtfEscapedText(name));
        }
        return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl") + table
            + QStringLiteral("}\r\n\\viewkind4\\uc1\r\n");
    }

    int fontIndex(const QString &family)
    {
        if (family.isEmpty())
            return 0;
        int index = m_fonts.indexOf(family);
        if (index < 0) {
            m_fonts.append(family);
            index = int(m_fonts.size()) - 1;
        }
        return index;
    }

    QString formatWords(const RtfCharFormat &format)
    {
        QString words = QStringLiteral("\\plain\\f%1\\fs%2").arg(fontIndex(format.fontFamily)).arg(format.halfPoints);
        if (format.bold)
            words += QStringLiteral("\\b");
        if (format.italic)
            words += QStringLiteral("\\i");
        if (format.underline)
            words += QStringLiteral("\\ul");
        return words;
    }

    QString paragraphText(const RtfParagraph &paragraph)
    {
        QString out = QStringLiteral("\\pard");
        if (paragraph.alignment & Qt::AlignHCenter)
            out += QStringLiteral("\\qc");
        else if (paragraph.alignment & Qt::AlignRight)
            out += QStringLiteral("\\qr");
        else if (paragraph.alignment & Qt::AlignJustify)
            out += QStringLiteral("\\qj");
        for (const RtfTabStop &tab : paragraph.tabStops) {
            if (tab.type == QTextOption::CenterTab)
                out += QStringLiteral("\\tqc");
            else if (tab.type == QTextOption::RightTab)
                out += QStringLiteral("\\tqr");
            else if (tab.type == QTextOption::DelimiterTab)
                out += QStringLiteral("\\tqdec");
            out += QStringLiteral("\\tx") + QString::number(tab.twips);
        }
        // Neighbouring runs of one format are written as one.
        QList<RtfRun> runs;
        for (const RtfRun &run : paragraph.runs) {
            if (run.text.isEmpty())
                continue;
            if (!runs.isEmpty() && runs.last().format == run.format)
                runs.last().text += run.text;
            else
                runs.append(run);
        }
        for (const RtfRun &run : runs)
            out += formatWords(run.format) + u' ' + rtfEscapedText(run.text);
        if (runs.isEmpty() || runs.last().format != paragraph.markFormat)
            out += formatWords(paragraph.markFormat);
        return out + QStringLiteral("\\par\r\n");
    }

    QStringList m_fonts = rtfStandardFonts();
};

// Destinations whose content is never shown: tables, document information, pictures, page
// furniture, field instructions and the like.
bool isHiddenDestination(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("colortbl"),
        QStringLiteral("stylesheet"),
        QStringLiteral("info"),
        QStringLiteral("pict"),
        QStringLiteral("header"),
        QStringLiteral("headerl"),
        QStringLiteral("headerr"),
        QStringLiteral("headerf"),
        QStringLiteral("footer"),
        QStringLiteral("footerl"),
        QStringLiteral("footerr"),
        QStringLiteral("footerf"),
        QStringLiteral("footnote"),
        QStringLiteral("objdata"),
        QStringLiteral("listtable"),
        QStringLiteral("listoverridetable"),
        QStringLiteral("revtbl"),
        QStringLiteral("rsidtbl"),
        QStringLiteral("filetbl"),
        QStringLiteral("themedata"),
        QStringLiteral("colorschememapping"),
        QStringLiteral("latentstyles"),
        QStringLiteral("datastore"),
        QStringLiteral("xmlnstbl"),
        QStringLiteral("fldinst"),
        QStringLiteral("generator"),
        QStringLiteral("pntxta"),
        QStringLiteral("pntxtb"),
        QStringLiteral("author"),
        QStringLiteral("operator"),
        QStringLiteral("title"),
        QStringLiteral("subject"),
        QStringLiteral("keywords"),
        QStringLiteral("comment"),
        QStringLiteral("doccomm"),
        QStringLiteral("company"),
        QStringLiteral("creatim"),
        QStringLiteral("revtim"),
        QStringLiteral("printim"),
        QStringLiteral("buptim"),
        QStringLiteral("nonshppict"),
        QStringLiteral("private"),
        QStringLiteral("xe"),
        QStringLiteral("tc"),
        QStringLiteral("txe"),
        QStringLiteral("bkmkstart"),
        QStringLiteral("bkmkend"),
        QStringLiteral("template"),
        QStringLiteral("userprops"),
        QStringLiteral("docvar"),
        QStringLiteral("annotation"),
        QStringLiteral("atnid"),
        QStringLiteral("atnauthor"),
        QStringLiteral("mmathPr"),
        QStringLiteral("pgdsctbl"),
        QStringLiteral("protusertbl"),
        QStringLiteral("listpicture"),
    };
    return words.contains(word);
}

std::optional<QChar> specialCharacter(const QString &word)
{
    static const QHash<QString, char16_t> chars = {
        { QStringLiteral("tab"), u'\t' },
        { QStringLiteral("cell"), u'\t' },
        { QStringLiteral("nestcell"), u'\t' },
        { QStringLiteral("line"), 0x2028 },
        { QStringLiteral("emdash"), 0x2014 },
        { QStringLiteral("endash"), 0x2013 },
        { QStringLiteral("bullet"), 0x2022 },
        { QStringLiteral("lquote"), 0x2018 },
        { QStringLiteral("rquote"), 0x2019 },
        { QStringLiteral("ldblquote"), 0x201C },
        { QStringLiteral("rdblquote"), 0x201D },
        { QStringLiteral("emspace"), 0x2003 },
        { QStringLiteral("enspace"), 0x2002 },
        { QStringLiteral("qmspace"), 0x2005 },
    };
    const auto found = chars.constFind(word);
    if (found == chars.constEnd())
        return std::nullopt;
    return QChar(*found);
}

bool isUnderlineOn(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("ul"),
        QStringLiteral("uld"),
        QStringLiteral("uldash"),
        QStringLiteral("uldashd"),
        QStringLiteral("uldashdd"),
        QStringLiteral("uldb"),
        QStringLiteral("ulhwave"),
        QStringLiteral("ulldash"),
        QStringLiteral("ulth"),
        QStringLiteral("ulthd"),
        QStringLiteral("ulthdash"),
        QStringLiteral("ulthdashd"),
        QStringLiteral("ulthdashdd"),
        QStringLiteral("ulthldash"),
        QStringLiteral("ululdbwave"),
        QStringLiteral("ulw"),
        QStringLiteral("ulwave"),
    };
    return words.contains(word);
}

// Bytes written as \'hh or as 8-bit text, decoded through the document's code page.
class ByteText {
public:
    void setCodePage(int codePage)
    {
        m_decoder.reset();
        if (codePage == 1252 || codePage <= 0)
            return;
        QByteArray name;
        if (codePage == 437 || codePage == 850)
            name = "IBM" + QByteArray::number(codePage);
        else if (codePage == 10000)
            name = "macintosh";
        else
            name = "windows-" + QByteArray::number(codePage);
        QStringDecoder decoder(name.constData());
        if (decoder.isValid())
            m_decoder.emplace(std::move(decoder));
    }

    QString decode(const QByteArray &bytes)
    {
        if (!m_decoder)
            return cp1252Decode(bytes);
        m_decoder->resetState();
        return m_decoder->decode(bytes);
    }

private:
    std::optional<QStringDecoder> m_decoder;
};

class RtfParser {
public:
    RtfParser(const QString &source, bool highCharsAreBytes)
        : m_src(source)
        , m_highBytes(highCharsAreBytes)
    {
    }

    QList<RtfParagraph> parse()
    {
        const qsizetype n = m_src.size();
        while (m_pos < n) {
            const QChar c = m_src[m_pos];
            if (c == u'{') {
                ++m_pos;
                flushBytes();
                m_fallbackToSkip = 0;
                m_stack.append(m_state);
            } else if (c == u'}') {
                ++m_pos;
                flushBytes();
                m_fallbackToSkip = 0;
                endGroup();
            } else if (c == u'\\') {
                ++m_pos;
                controlSequence();
            } else {
                ++m_pos;
                if (c == u'\r' || c == u'\n')
                    continue;
                if (m_fallbackToSkip > 0) {
                    --m_fallbackToSkip;
                    continue;
                }
                if (m_highBytes && c.unicode() >= 0x80 && c.unicode() <= 0xFF)
                    m_bytes += char(c.unicode());
                else
                    emitText(QString(c));
            }
        }
        flushBytes();
        if (!m_paragraph.runs.isEmpty() || m_paragraphs.isEmpty())
            endParagraph();
        return m_paragraphs;
    }

private:
    enum class Destination { Text, FontTable, Hidden };

    struct State {
        int font = -1; // -1: the default font
        int halfPoints = 24;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        Qt::Alignment alignment = Qt::AlignLeft;
        QList<RtfTabStop> tabs;
        QTextOption::TabType nextTabType = QTextOption::LeftTab;
        int unicodeFallback = 1; // \uc
        Destination destination = Destination::Text;
    };

    void controlSequence()
    {
        const qsizetype n = m_src.size();
        if (m_pos >= n)
            return;
        const QChar c = m_src[m_pos];
        if (!isAsciiLetter(c)) {
            ++m_pos;
            if (c == u'\'') {
                const std::optional<uchar> byte = hexPair();
                if (m_fallbackToSkip > 0) {
                    --m_fallbackToSkip;
                    return;
                }
                if (byte)
                    m_bytes += char(*byte);
                return;
            }
            if (m_fallbackToSkip > 0) {
                --m_fallbackToSkip;
                return;
            }
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < n && m_pos - start < 32 && isAsciiLetter(m_src[m_pos]))
            ++m_pos;
        const QString word = m_src.mid(start, m_pos - start);
        bool hasParameter = false;
        qint64 parameter = 0;
        bool negative = false;
        if (m_pos < n && m_src[m_pos] == u'-' && m_pos + 1 < n && m_src[m_pos + 1].isDigit()) {
            negative = true;
            ++m_pos;
        }
        for (int digits = 0; m_pos < n && m_src[m_pos].unicode() >= u'0' && m_src[m_pos].unicode() <= u'9';
             ++m_pos, ++digits) {
            hasParameter = true;
            if (digits < 10)
                parameter = parameter * 10 + (m_src[m_pos].unicode() - u'0');
        }
        if (m_pos < n && m_src[m_pos] == u' ')
            ++m_pos;
        const int value = int(std::clamp<qint64>(negative ? -parameter : parameter, -2147483647, 2147483647));
        if (word == QLatin1String("bin")) {
            // Raw binary data: never text, whatever the destination.
            m_pos = std::min<qsizetype>(n, m_pos + std::max(0, value));
            return;
        }
        if (m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return;
        }
        controlWord(word, hasParameter, value);
    }

    static bool isAsciiLetter(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
    }

    std::optional<uchar> hexPair()
    {
        if (m_pos + 2 > m_src.size())
            return std::nullopt;
        bool ok = false;
        const uint value = m_src.mid(m_pos, 2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        m_pos += 2;
        return uchar(value);
    }

    void controlSymbol(QChar c)
    {
        switch (c.unicode()) {
        case u'\\':
        case u'{':
        case u'}': emitText(QString(c)); break;
        case u'~': emitText(QString(QChar(0x00A0))); break;
        case u'_': emitText(QString(QChar(0x2011))); break;
        case u'*': m_state.destination = Destination::Hidden; break;
        case u'\r':
        case u'\n': endParagraphIfText(); break;
        default: break; // \- optional hyphen, \: index entries, \| formulas
        }
    }

    void controlWord(const QString &word, bool hasParameter, int value)
    {
        if (m_state.destination == Destination::Hidden)
            return;
        flushBytes();
        const bool on = !hasParameter || value != 0;
        if (word == QLatin1String("fonttbl")) {
            m_state.destination = Destination::FontTable;
        } else if (isHiddenDestination(word)) {
            m_state.destination = Destination::Hidden;
        } else if (word == QLatin1String("f")) {
            if (m_state.destination == Destination::FontTable) {
                commitFontName();
                m_fontEntry = value;
            } else {
                m_state.font = value;
            }
        } else if (word == QLatin1String("par") || word == QLatin1String("sect") || word == QLatin1String("page")
            || word == QLatin1String("row")) {
            endParagraphIfText();
        } else if (const std::optional<QChar> ch = specialCharacter(word)) {
            emitText(QString(*ch));
        } else if (word == QLatin1String("u")) {
            emitText(QString(QChar(char16_t(value < 0 ? value + 65536 : value))));
            m_fallbackToSkip = m_state.unicodeFallback;
        } else if (word == QLatin1String("uc")) {
            m_state.unicodeFallback = std::max(0, value);
        } else if (word == QLatin1String("plain")) {
            m_state.font = -1;
            m_state.halfPoints = 24;
            m_state.bold = m_state.italic = m_state.underline = false;
        } else if (word == QLatin1String("b")) {
            m_state.bold = on;
        } else if (word == QLatin1String("i")) {
            m_state.italic = on;
        } else if (isUnderlineOn(word)) {
            m_state.underline = on;
        } else if (word == QLatin1String("ulnone")) {
            m_state.underline = false;
        } else if (word == QLatin1String("fs")) {
            if (hasParameter && value > 0)
                m_state.halfPoints = value;
        } else if (word == QLatin1String("pard")) {
            m_state.alignment = Qt::AlignLeft;
            m_state.tabs.clear();
            m_state.nextTabType = QTextOption::LeftTab;
        } else if (word == QLatin1String("ql")) {
            m_state.alignment = Qt::AlignLeft;
        } else if (word == QLatin1String("qc")) {
            m_state.alignment = Qt::AlignHCenter;
        } else if (word == QLatin1String("qr")) {
            m_state.alignment = Qt::AlignRight;
        } else if (word == QLatin1String("qj")) {
            m_state.alignment = Qt::AlignJustify;
        } else if (word == QLatin1String("tqc")) {
            m_state.nextTabType = QTextOption::CenterTab;
        } else if (word == QLatin1String("tqr")) {
            m_state.nextTabType = QTextOption::RightTab;
        } else if (word == QLatin1String("tqdec")) {
            m_state.nextTabType = QTextOption::DelimiterTab;
        } else if (word == QLatin1String("tx")) {
            m_state.tabs.append({ std::max(0, value), m_state.nextTabType });
            m_state.nextTabType = QTextOption::LeftTab;
        } else if (word == QLatin1String("deff")) {
            m_defaultFont = value;
        } else if (word == QLatin1String("ansicpg")) {
            m_byteText.setCodePage(value);
        } else if (word == QLatin1String("mac")) {
            m_byteText.setCodePage(10000);
        } else if (word == QLatin1String("pc")) {
            m_byteText.setCodePage(437);
        } else if (word == QLatin1String("pca")) {
            m_byteText.setCodePage(850);
        }
        // Every other word changes something we do not keep.
    }

    void endGroup()
    {
        if (m_stack.isEmpty())
            return; // a stray closing brace
        if (m_state.destination == Destination::FontTable)
            commitFontName();
        m_state = m_stack.takeLast();
    }

    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        const QByteArray bytes = std::exchange(m_bytes, {});
        emitText(m_byteText.decode(bytes));
    }

    void emitText(const QString &text)
    {
        if (text.isEmpty())
            return;
        if (!m_bytes.isEmpty())
            flushBytes();
        if (m_state.destination == Destination::FontTable) {
            for (QChar ch : text) {
                if (ch == u';')
                    commitFontName();
                else
                    m_fontName += ch;
            }
            return;
        }
        if (m_state.destination != Destination::Text)
            return;
        const RtfCharFormat format = currentFormat();
        if (!m_paragraph.runs.isEmpty() && m_paragraph.runs.last().format == format)
            m_paragraph.runs.last().text += text;
        else
            m_paragraph.runs.append({ text, format });
    }

    void commitFontName()
    {
        const QString name = std::exchange(m_fontName, {}).trimmed();
        if (m_fontEntry >= 0 && !name.isEmpty() && !m_fonts.contains(m_fontEntry))
            m_fonts.insert(m_fontEntry, name);
    }

    RtfCharFormat currentFormat() const
    {
        RtfCharFormat format;
        format.fontFamily = m_fonts.value(m_state.font < 0 ? m_defaultFont : m_state.font);
        format.halfPoints = m_state.halfPoints;
        format.bold = m_state.bold;
        format.italic = m_state.italic;
        format.underline = m_state.underline;
        return format;
    }

    void endParagraphIfText()
    {
        if (m_state.destination == Destination::Text)
            endParagraph();
    }

    void endParagraph()
    {
        flushBytes();
        m_paragraph.alignment = m_state.alignment;
        m_paragraph.tabStops = m_state.tabs;
        m_paragraph.markFormat = currentFormat();
        m_paragraphs.append(std::exchange(m_paragraph, {}));
    }

    const QString &m_src;
    const bool m_highBytes;
    qsizetype m_pos = 0;
    State m_state;
    QList<State> m_stack;
    int m_fallbackToSkip = 0;
    QByteArray m_bytes;
    ByteText m_byteText;
    QHash<int, QString> m_fonts;
    int m_defaultFont = 0;
    int m_fontEntry = -1;
    QString m_fontName;
    RtfParagraph m_paragraph;
    QList<RtfParagraph> m_paragraphs;
};

bool looksLikeRtf(QStringView text)
{
    return text.trimmed().startsWith(QLatin1String("{\\rtf"));
}

QList<RtfParagraph> plainParagraphs(const QString &text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QList<RtfParagraph> paragraphs;
    for (const QString &line : normalised.split(u'\n')) {
        RtfParagraph paragraph;
        if (!line.isEmpty())
            paragraph.runs.append({ line, {} });
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

QTextCharFormat qtFormat(const RtfCharFormat &format)
{
    QTextCharFormat qt;
    if (!format.fontFamily.isEmpty())
        qt.setFontFamilies(QStringList { format.fontFamily });
    qt.setFontPointSize(format.halfPoints / 2.0);
    qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    qt.setFontItalic(format.italic);
    qt.setFontUnderline(format.underline);
    return qt;
}

RtfCharFormat rtfFormat(const QTextCharFormat &qt, const QString &defaultFamily, int defaultHalfPoints)
{
    RtfCharFormat format;
    const QStringList families = qt.fontFamilies().toStringList();
    format.fontFamily = !families.isEmpty() ? families.first() : qt.stringProperty(QTextFormat::FontFamily);
    if (format.fontFamily.isEmpty())
        format.fontFamily = defaultFamily;
    format.halfPoints = qt.hasProperty(QTextFormat::FontPointSize) && qt.fontPointSize() > 0
        ? qRound(qt.fontPointSize() * 2)
        : defaultHalfPoints;
    format.bold = qt.fontWeight() >= QFont::DemiBold;
    format.italic = qt.fontItalic();
    format.underline = qt.fontUnderline();
    return format;
}

Qt::Alignment rtfAlignment(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    if (alignment & Qt::AlignJustify)
        return Qt::AlignJustify;
    if (alignment & Qt::AlignRight)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

} // namespace

QString writeRtf(const QList<RtfParagraph> &paragraphs)
{
    return RtfWriter().write(paragraphs);
}

QString writeRtf(const QTextDocument &document)
{
    return writeRtf(documentParagraphs(document));
}

QList<RtfParagraph> readRtf(const QByteArray &rtf)
{
    const QString text = QString::fromLatin1(rtf);
    if (!looksLikeRtf(text))
        return plainParagraphs(decodePlainText(rtf));
    return RtfParser(text, true).parse();
}

QList<RtfParagraph> readRtfText(const QString &rtf)
{
    if (!looksLikeRtf(rtf))
        return plainParagraphs(rtf);
    return RtfParser(rtf, false).parse();
}

void fillDocument(QTextDocument &document, const QList<RtfParagraph> &paragraphs)
{
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const RtfParagraph &paragraph = paragraphs[i];
        QTextBlockFormat block;
        block.setAlignment(paragraph.alignment);
        QList<QTextOption::Tab> tabs;
        for (const RtfTabStop &tab : paragraph.tabStops)
            tabs.append(QTextOption::Tab(tab.twips / TwipsPerPixel, tab.type));
        block.setTabPositions(tabs);
        if (i == 0) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(qtFormat(paragraph.markFormat));
        } else {
            cursor.insertBlock(block, qtFormat(paragraph.markFormat));
        }
        for (const RtfRun &run : paragraph.runs)
            cursor.insertText(run.text, qtFormat(run.format));
    }
    cursor.endEditBlock();
}

QList<RtfParagraph> documentParagraphs(const QTextDocument &document)
{
    const QFont defaultFont = document.defaultFont();
    const QString defaultFamily = defaultFont.family();
    const int defaultHalfPoints = defaultFont.pointSizeF() > 0 ? qRound(defaultFont.pointSizeF() * 2) : 24;
    QList<RtfParagraph> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        RtfParagraph paragraph;
        const QTextBlockFormat format = block.blockFormat();
        paragraph.alignment = rtfAlignment(format.alignment());
        for (const QTextOption::Tab &tab : format.tabPositions())
            paragraph.tabStops.append({ qRound(tab.position * TwipsPerPixel), tab.type });
        paragraph.markFormat = rtfFormat(block.charFormat(), defaultFamily, defaultHalfPoints);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter);
            if (!text.isEmpty())
                paragraph.runs.append({ text, rtfFormat(fragment.charFormat(), defaultFamily, defaultHalfPoints) });
        }
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

QString decodePlainText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return cp1252Decode(bytes);
}

} // namespace qel

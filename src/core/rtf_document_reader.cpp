#include "core/rtf_document.h"

#include "core/rtf_document_codepage.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

namespace qel {

namespace {

using rtf::cp1252Decode;

QSet<QString> wordSet(const char *words)
{
    const QStringList list = QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

// Destinations whose content is never shown: tables, document information, pictures, page
// furniture, field instructions and the like.
bool isHiddenDestination(const QString &word)
{
    static const QSet<QString> words
        = wordSet("colortbl stylesheet info pict header headerl headerr headerf footer footerl footerr "
                  "footerf footnote objdata listtable listoverridetable revtbl rsidtbl filetbl themedata "
                  "colorschememapping latentstyles datastore xmlnstbl fldinst generator pntxta pntxtb author "
                  "operator title subject keywords comment doccomm company creatim revtim printim buptim "
                  "nonshppict private xe tc txe bkmkstart bkmkend template userprops docvar annotation atnid "
                  "atnauthor mmathPr pgdsctbl protusertbl listpicture");
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
    static const QSet<QString> words
        = wordSet("ul uld uldash uldashd uldashdd uldb ulhwave ulldash ulth ulthd ulthdash ulthdashd "
                  "ulthdashdd ulthldash ululdbwave ulw ulwave");
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

} // namespace

QList<RtfParagraph> readRtf(const QByteArray &rtf)
{
    const QString text = QString::fromLatin1(rtf);
    if (!looksLikeRtf(text))
        return plainTextParagraphs(decodePlainText(rtf));
    return RtfParser(text, true).parse();
}

QList<RtfParagraph> readRtfText(const QString &rtf)
{
    if (!looksLikeRtf(rtf))
        return plainTextParagraphs(rtf);
    return RtfParser(rtf, false).parse();
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

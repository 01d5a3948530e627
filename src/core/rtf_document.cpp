#include "core/rtf_document.h"

#include "core/rtf_document_codepage.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>
#include <utility>

namespace qel {

namespace {

using rtf::cp1252Byte;

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

} // namespace

Qt::Alignment horizontalAlignment(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    if (alignment & Qt::AlignJustify)
        return Qt::AlignJustify;
    if (alignment & Qt::AlignRight)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QString writeRtf(const QList<RtfParagraph> &paragraphs)
{
    return RtfWriter().write(paragraphs);
}

QString writeRtf(const QTextDocument &document)
{
    return writeRtf(documentParagraphs(document));
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
        paragraph.alignment = horizontalAlignment(format.alignment());
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

QList<RtfParagraph> plainTextParagraphs(const QString &text, const RtfCharFormat &format)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QList<RtfParagraph> paragraphs;
    for (const QString &line : normalised.split(u'\n')) {
        RtfParagraph paragraph;
        paragraph.markFormat = format;
        if (!line.isEmpty())
            paragraph.runs.append({ line, format });
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

} // namespace qel

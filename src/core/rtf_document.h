#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextOption>

class QTextDocument;

namespace qel {

// A small rich-text (RTF) writer and reader for the project summary and what the formatting
// buttons produce: fonts, sizes, bold, italic, underline, paragraph alignment, tab stops, tabs
// and line breaks. Anything else in a foreign file is dropped, but its visible text is kept.

struct RtfCharFormat {
    QString fontFamily; // "" is the document's default font (\deff)
    int halfPoints = 24; // \fs: font size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const RtfCharFormat &) const = default;
};

struct RtfTabStop {
    int twips = 0; // from the paragraph's left edge, 1/1440 inch
    QTextOption::TabType type = QTextOption::LeftTab;

    bool operator==(const RtfTabStop &) const = default;
};

struct RtfRun {
    QString text; // '\t' for tabs, QChar::LineSeparator for \line
    RtfCharFormat format;

    bool operator==(const RtfRun &) const = default;
};

struct RtfParagraph {
    Qt::Alignment alignment = Qt::AlignLeft; // AlignLeft, AlignHCenter, AlignRight or AlignJustify
    QList<RtfTabStop> tabStops;
    QList<RtfRun> runs;
    RtfCharFormat markFormat; // format of the paragraph mark: what an empty line is typed in

    QString text() const;
    bool operator==(const RtfParagraph &) const = default;
};

// The fonts every document we write starts its font table with; body text uses font 3.
const QStringList &rtfStandardFonts();
constexpr int RtfBodyFont = 3;
constexpr int RtfBodyHalfPoints = 18;

// "\par" CR LF "}" CR LF: every RTF text the writer produces ends in exactly these 9 characters,
// so that lines can be appended to a written document by plain string operations.
inline constexpr char RtfClosingPart[] = "\\par\r\n}\r\n";
constexpr int RtfClosingLength = 9;

// Writes the paragraphs as RTF: our header and font table, one line per paragraph, the closing
// part. Pure ASCII: other characters are written as \uN with a code page 1252 fallback.
// The one horizontal alignment a paragraph has: centred, justified, right or left.
Qt::Alignment horizontalAlignment(Qt::Alignment alignment);

QString writeRtf(const QList<RtfParagraph> &paragraphs);
QString writeRtf(const QTextDocument &document);

// Escapes text for the body of an RTF text: \ { } tabs, line breaks, non-ASCII characters.
QString rtfEscapedText(const QString &text);

// Parses RTF. Input that does not start with "{\rtf" is taken as plain text. Never fails:
// unbalanced braces, unknown words and truncated input give whatever text was read.
// The byte form reads 8-bit text and \'hh through the document's code page; in the string
// form characters above 127 stand for themselves.
QList<RtfParagraph> readRtf(const QByteArray &rtf);
QList<RtfParagraph> readRtfText(const QString &rtf);

// Replaces the content of the document with the paragraphs, and reads it back.
void fillDocument(QTextDocument &document, const QList<RtfParagraph> &paragraphs);
QList<RtfParagraph> documentParagraphs(const QTextDocument &document);

// Plain text as paragraphs (at CR LF, CR or LF), all in one format.
QList<RtfParagraph> plainTextParagraphs(const QString &text, const RtfCharFormat &format = {});

// Text of a plain-text file: UTF-8 when it is valid UTF-8, else code page 1252.
QString decodePlainText(const QByteArray &bytes);

} // namespace qel

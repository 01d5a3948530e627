#include "core/rtf_document.h"

#include <QTextDocument>

#include <gtest/gtest.h>

using namespace qel;

namespace {

const char Header[]
    = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
      "{\\f1\\fmodern\\fcharset0 Courier New;}{\\f2\\fswiss\\fcharset0 Verdana;}"
      "{\\f3\\fswiss\\fcharset0 Arial;}%1}\r\n\\viewkind4\\uc1\r\n";

RtfCharFormat format(const char *family, int halfPoints, bool bold = false, bool italic = false, bool underline = false)
{
    return { QString::fromLatin1(family), halfPoints, bold, italic, underline };
}

QList<RtfParagraph> sample()
{
    RtfParagraph title;
    title.alignment = Qt::AlignHCenter;
    title.runs = { { QStringLiteral("Hi"), format("Arial", 18, true) } };
    title.markFormat = format("Arial", 18, true);
    RtfParagraph body;
    body.tabStops = { { 720, QTextOption::LeftTab }, { 4000, QTextOption::RightTab } };
    body.runs = { { QStringLiteral("a\\b{c}\u00e9\t"), format("Courier New", 20, false, true, true) },
        { QStringLiteral("\u20ac\U0001F600\u2028z"), format("Garamond", 24) } };
    body.markFormat = format("Times New Roman", 24);
    RtfParagraph right;
    right.alignment = Qt::AlignRight;
    right.markFormat = format("Arial", 18);
    return { title, body, right };
}

} // namespace

TEST(RtfWriter, FixedBytesThatReadBack)
{
    const QString expected = QString::fromLatin1(Header).arg(QStringLiteral("{\\f4\\fnil\\fcharset0 Garamond;}"))
        + QStringLiteral("\\pard\\qc\\plain\\f3\\fs18\\b Hi\\par\r\n"
                         "\\pard\\tx720\\tqr\\tx4000\\plain\\f1\\fs20\\i\\ul a\\\\b\\{c\\}\\u233\\'e9\\tab "
                         "\\plain\\f4\\fs24 \\u8364\\'80\\u-10179?\\u-8704?\\line z\\plain\\f0\\fs24\\par\r\n"
                         "\\pard\\qr\\plain\\f3\\fs18\\par\r\n"
                         "}\r\n");
    EXPECT_EQ(writeRtf(sample()).toStdString(), expected.toStdString());
    // The reader gives back what was written, from the text and from its bytes.
    EXPECT_EQ(readRtfText(expected), sample());
    EXPECT_EQ(readRtf(expected.toLatin1()), sample());
    // Even an empty text ends in the closing part the summary lines are inserted before.
    EXPECT_TRUE(writeRtf(QTextDocument()).endsWith(QLatin1String(RtfClosingPart)));
}

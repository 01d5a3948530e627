#include "core/rtf_document.h"

#include <gtest/gtest.h>

using namespace qel;

namespace {

QString paragraphTexts(const QList<RtfParagraph> &paragraphs)
{
    QStringList texts;
    for (const RtfParagraph &paragraph : paragraphs)
        texts << paragraph.text();
    return texts.join(u'|');
}

} // namespace

TEST(RtfReader, VisibleText)
{
    const struct {
        const char *rtf;
        const char16_t *text; // paragraphs joined by '|'
    } cases[] = {
        { "{\\rtf1\\ansi caf\\'e9 \\'80}", u"caf\u00e9 \u20ac" },
        { "{\\rtf1 caf\xe9}", u"caf\u00e9" }, // 8-bit text in the document's code page
        { "{\\rtf1\\uc2 \\u8364 xyZ}", u"\u20acZ" },
        { "{\\rtf1{\\*\\unknowndest hidden {\\b deeper}}shown{\\info{\\title T}{\\author A}}"
          "{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}} after}",
            u"shown after" },
        { "{\\rtf1 a{\\pict\\bin4 {}}{}b}", u"ab" },
        { "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", u"link" },
        { "{\\rtf1 one\\par two\\par}", u"one|two" },
        { "{\\rtf1 one\\\r\ntwo}", u"one|two" },
        { "{\\rtf1 a\\tab b\\line c\\~d\\emdash}", u"a\tb\u2028c\u00a0d\u2014" },
        { "{\\rtf1 x\r\ny}", u"xy" },
        { "", u"" },
        { "plain\r\ntext\nfile", u"plain|text|file" },
        // Malformed input keeps what it can read.
        { "{\\rtf1 {\\b bold text", u"bold text" },
        { "{\\rtf1 a}}}b{", u"ab" },
        { "{\\rtf1 a\\", u"a" },
        { "{\\rtf1 a\\'4", u"a4" },
        { "{\\rtf1 a\\abcdefghijklmnopqrstuvwxyzabcdefghij b}", u"aghij b" },
        { "{\\rtf1 \\u99999999999999999?z}", u"\uffffz" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(paragraphTexts(readRtf(QByteArray(c.rtf))), QString::fromUtf16(c.text)) << c.rtf;
    // The string form takes its characters as themselves, not as bytes of a code page.
    EXPECT_EQ(
        paragraphTexts(readRtfText(QStringLiteral("{\\rtf1 caf\u00e9 \u0416}"))), QStringLiteral("caf\u00e9 \u0416"));
}

TEST(RtfReader, CharacterFormats)
{
    const QList<RtfParagraph> paragraphs
        = readRtf("{\\rtf1\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Courier New;}}"
                  "a{\\b b{\\i\\fs18 c}d}\\ul e\\ulnone\\b\\i f\\b0 g\\i0\\plain h\\f0\\fs30 i}");
    ASSERT_EQ(paragraphs.size(), 1);
    QStringList runs; // text, size, font, then b, i and u for bold, italic and underlined
    for (const RtfRun &run : paragraphs[0].runs) {
        const RtfCharFormat &f = run.format;
        runs << QStringLiteral("%1 %2 %3 ").arg(run.text).arg(f.halfPoints).arg(f.fontFamily) + (f.bold ? u'b' : u'-')
                + (f.italic ? u'i' : u'-') + (f.underline ? u'u' : u'-');
    }
    EXPECT_EQ(runs,
        (QStringList { "a 24 Courier New ---", "b 24 Courier New b--", "c 18 Courier New bi-", "d 24 Courier New b--",
            "e 24 Courier New --u", "f 24 Courier New bi-", "g 24 Courier New -i-", "h 24 Courier New ---",
            "i 30 Arial ---" }));
}

TEST(RtfReader, DeepNestingDoesNotExhaustTheStack)
{
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(200000, '{') + "x" + QByteArray(5, '}');
    EXPECT_EQ(paragraphTexts(readRtf(deep)), QStringLiteral("x"));
}

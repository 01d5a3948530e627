// The regress program reads its input as bytes, without Qt: the text it takes must be what Qt's
// reading made of the same bytes (UTF-8 repair, blanks around numbers, widths in UTF-16 units).
#include "regress/plain_input.h"
#include "regress/regress_input.h"

#include "core/number_text.h"

#include <QString>

#include <random>

#include <gtest/gtest.h>

using namespace qel::regress;

TEST(RegressPlainInput, RepairsUtf8AsQtReadsIt)
{
    const char *const cases[] = { "plain", "\xEF\xBB\xBFstarts with a mark", "a\x80\x80z", "a\xE2\x82z",
        "a\xF0\x9F\x98z", "a\xC0\xAFz", "a\xED\xA0\x80z", "a\xF4\x90\x80\x80z", "a\xE0\x80\xAFz", "a\xFFz",
        "ends cut \xE2\x82", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "mid \xEF\xBB\xBF mark" };
    for (const char *bytes : cases)
        EXPECT_EQ(wellFormedUtf8(bytes), QString::fromUtf8(bytes).toUtf8().toStdString()) << bytes;
    // Bytes drawn at random, most of them above 0x7F.
    std::mt19937 random(5);
    for (int i = 0; i < 3000; ++i) {
        std::string bytes(std::size_t(random() % 12), ' ');
        for (char &c : bytes)
            c = char(random() % 4 == 0 ? 'a' : 0x80 + random() % 0x80 - (random() % 3 == 0 ? 0x40 : 0));
        EXPECT_EQ(
            wellFormedUtf8(bytes), QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8().toStdString());
    }
}

TEST(RegressPlainInput, NumbersAsTheStrictReaderTakesThem)
{
    const char *const words[]
        = { "1", "+2.5", "+-1", "-0", "1e5", "1E+05", ".5", "5.", "1\v", "\f2", "3\r", "4\xC2\xA0",
              "\xE3\x80\x80"
              "5",
              "6\xE2\x80\xA9", "7\xC2\x85", "x3", "1,5", "inf", "nan", "1e999", "0x10", "", "\xC2\xA0", "8\xEF\xBB\xBF",
              "\xC3\xA9" };
    for (const char *word : words) {
        const std::optional<double> mine = plainNumber(word);
        const std::optional<double> qt = qel::strictNumber(QString::fromUtf8(word));
        EXPECT_EQ(mine.has_value(), qt.has_value()) << word;
        if (mine && qt) {
            EXPECT_EQ(*mine, *qt) << word;
        }
    }
}

TEST(RegressPlainInput, Utf16LengthAsQtCountsIt)
{
    for (const char *text : { "", "15 Jan 2019", "\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80 x" })
        EXPECT_EQ(utf16Length(text), std::size_t(QString::fromUtf8(text).size())) << text;
}

// The Qt reader is the plain one in Qt's types: the texts come through whole, the problems too.
TEST(RegressPlainInput, QtReaderGivesThePlainReadersTexts)
{
    const ParseResult read = parseRegressInput(" 2 1 \r\n'15 Jan 2019' \r\n"
                                               "'W\xC3\xA9' 1 2 3\r\n"
                                               "'b' 4\xC2\xA0 5 6\r\n\r\n \r\n");
    ASSERT_TRUE(read.input) << read.problem.toStdString();
    EXPECT_EQ(read.input->dates, QStringList { QStringLiteral("15 Jan 2019") });
    ASSERT_EQ(read.input->wells.size(), 2u);
    EXPECT_EQ(read.input->wells[0].id, QStringLiteral("W\u00E9"));
    EXPECT_EQ(read.input->wells[1].x, 4);
    EXPECT_EQ(read.input->wells[1].levels, std::vector<double> { 6 });
    const ParseResult refused = parseRegressInput(" 1 1 \r\n'a' \r\n'w' 1 2 \xE2\x82\xAC"
                                                  "3\r\n");
    EXPECT_EQ(refused.problem, QStringLiteral("line 3: \"\u20AC3\" is not a number"));
}

#include "core/errors.h"
#include "core/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace qel;

TEST(NumberText, DefaultConversion)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        { -0.0, "0" },
        { 2.0 / 3.0, "0.666666666666667" },
        { 1e15, "1E+15" },
        { 999999999999999.0, "999999999999999" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(numberText(c.value).toStdString(), c.text) << c.value;
    // The golden project files show the key form of every other kind of number, the switch to an
    // exponent below 0.0001 and the far exponents.
    EXPECT_EQ(keyNumberText(-0.0), " 0 ");
}

// The quick way from the shortest digits against the general format's own rounding, on every
// kind of double: random bits, decimals as files hold them, and the neighbours of the powers of
// ten where the exponent form begins and ends.
TEST(NumberText, TheQuickWayIsTheGeneralFormat)
{
    std::vector<double> values = { 1e-5, 1e-4, 0.0001, 9.99999999999999e-5, 1e15, 1e16, 1e22, 1e23, 1e300, 5e-324,
        123456789012345.0, 1234567890123456.0, 0.1, 0.3, 2.0 / 3.0, 99.32, -1234.5 };
    std::mt19937_64 random(5);
    for (int i = 0; i < 100000; ++i) {
        values.push_back(std::bit_cast<double>(random()));
        values.push_back(double(std::int64_t(random() % 2000000001) - 1000000000) / std::pow(10.0, int(random() % 12)));
    }
    for (int k = -30; k <= 30; ++k) {
        const double power = std::pow(10.0, k);
        values.insert(values.end(), { power, std::nextafter(power, 0.0), std::nextafter(power, 2 * power), -power });
    }
    for (const double v : values) {
        if (v == 0 || !std::isfinite(v))
            continue;
        char general[64];
        const QString expected = QString::fromLatin1(general, generalNumberTextChars(general, v));
        ASSERT_EQ(numberText(v), expected) << std::bit_cast<std::uint64_t>(v);
    }
}

TEST(NumberText, LeadingNumber)
{
    const struct {
        const char *text;
        double value;
    } cases[] = {
        { "", 0 },
        { "  12.5 ", 12.5 },
        { "12.5abc", 12.5 },
        { "1 2 3", 123 },
        { "-.5", -0.5 },
        { "2D2", 200 },
        { "1e", 1 },
        { "3,5", 3 },
        { "1.2.3", 1.2 },
        { "1e-400", 0 },
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
    EXPECT_THROW(leadingNumber(u"1e400"), QelError);
}

TEST(NumberText, StrictNumber)
{
    EXPECT_EQ(strictNumber(u" 0.01 "), 0.01);
    EXPECT_EQ(strictNumber(u"+2"), 2.0);
    EXPECT_EQ(strictNumber(u"-2"), -2.0);
    EXPECT_FALSE(strictNumber(u""));
    EXPECT_FALSE(strictNumber(u"0.01x"));
    EXPECT_FALSE(strictNumber(u"abc"));
    EXPECT_FALSE(strictNumber(u"+-2"));
    EXPECT_FALSE(strictNumber(u"inf"));
    // Letters beyond Latin-1 are no digits, and a number longer than a table cell's usual
    // text reads the same.
    EXPECT_FALSE(strictNumber(u"1\u20AC"));
    EXPECT_FALSE(strictNumber(u"\U0001F600"));
    const QString longNumber = QStringLiteral("0.") + QString(100, u'0') + u'5';
    EXPECT_EQ(strictNumber(longNumber), 5e-101);
    EXPECT_EQ(strictNumber(QString(80, u' ') + QStringLiteral("12.5") + QString(80, u'\t')), 12.5);
}

TEST(NumberText, ContourValues)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        { 0, "0" },
        { 12.5, "12.5" },
        { 5, "5." },
        { 0.001, "0.001" },
        { 999.9999, "1000." },
        { 15000, "1.5E+4" },
        { 0.00099, "9.9E-4" },
        { 1e-10, "1.0E-10" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatContourValue(c.value).toStdString(), c.text) << c.value;
    EXPECT_THROW(formatContourValue(-1), QelError);
}

// The regress program's number texts against Qt's own, which the rest of QEL writes with: every
// form and precision the program uses, on edge values and on many drawn ones (rounding ties,
// negative zero, subnormal and huge numbers).
#include "regress/number_format.h"

#include <QString>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using qel::regress::appendNumber;

namespace {

struct Form {
    char form;
    int precision;
};

constexpr Form Forms[] = { { 'f', 4 }, { 'f', 2 }, { 'f', 0 }, { 'f', 12 }, { 'g', 12 }, { 'g', 10 }, { 'g', 6 },
    { 'g', 17 }, { 'G', 17 }, { 'G', 9 }, { 'G', 5 }, { 'G', 1 }, { 'e', 3 }, { 'E', 0 } };

QString qtText(double value, Form f)
{
    if (f.form == 'G' || f.form == 'E')
        return QString::asprintf(f.form == 'G' ? "%.*G" : "%.*E", f.precision, value);
    return QString::number(value, f.form, f.precision);
}

std::string text(double value, Form f)
{
    std::string out;
    appendNumber(out, value, f.form, f.precision);
    return out;
}

std::vector<double> drawnValues()
{
    std::mt19937_64 random(11);
    std::vector<double> values;
    for (int i = 0; i < 40000; ++i) {
        double v = 0;
        switch (i % 4) {
        case 0: // binary fractions: many exact ties at every precision
            v = double(std::int64_t(random() % 20000000) - 10000000) / std::ldexp(1.0, int(random() % 16));
            break;
        case 1: // any bit pattern: huge, tiny, subnormal
            v = std::bit_cast<double>(random());
            break;
        case 2: // water levels and coordinates as files hold them
            v = double(random() % 100000000) / 1e4;
            break;
        default: v = std::ldexp(double(random() >> 11), int(random() % 140) - 100);
        }
        values.push_back(random() & 1 ? -v : v);
    }
    return values;
}

} // namespace

TEST(RegressNumberFormat, EdgeValuesAsQtWritesThem)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = { 0.0, -0.0, -0.00001, 0.00005, 0.03125, -0.03125, 0.125, 2.5, -2.5, 1234567890.125,
        123456789012.5, 9.9996, 999999.5, 0.000099999, 1e-5, 1e15, 1e16, 1e21, 1e22, 1e23, 1e100, 1e-300, 5e-324,
        2.2250738585072014e-308, std::numeric_limits<double>::max(), inf, -inf, std::nan(""),
        // just below a half, a tie near 2^52, a subnormal whose binary exponent is no guide
        0.49999999999999994, 2.4999999999999996, 1000000000000000.5, 4503599627370495.5, 6.1455060381849887e-309,
        // whole numbers and a rounding that carries into one more digit
        1.0, 100.0, 99.99996, 999999999999.5 };
    for (double value : values)
        for (Form f : Forms)
            EXPECT_EQ(text(value, f), qtText(value, f).toStdString()) << f.form << f.precision << " of " << value;
    // Where the count of digits changes: the powers of ten and the numbers just below them.
    for (double power = 1; power <= 1e15; power *= 10)
        for (double value : { power, power - 1, power / 1e4, (power - 1) / 1e4, power + 0.5 })
            for (Form f : Forms)
                EXPECT_EQ(text(value, f), qtText(value, f).toStdString()) << f.form << f.precision << " of " << value;
    // Halves go away from zero, whatever printf does with them.
    EXPECT_EQ(text(0.03125, { 'f', 4 }), "0.0313");
    EXPECT_EQ(text(-0.0, { 'f', 2 }), "0.00");
}

TEST(RegressNumberFormat, DrawnValuesAsQtWritesThem)
{
    int differing = 0;
    for (double value : drawnValues())
        for (Form f : Forms)
            if (text(value, f) != qtText(value, f).toStdString() && ++differing < 10)
                ADD_FAILURE() << f.form << f.precision << " of " << value << ": " << text(value, f) << " against "
                              << qtText(value, f).toStdString();
    EXPECT_EQ(differing, 0);
}

TEST(RegressNumberFormat, WidthPadsOnTheLeftAsArgDoes)
{
    for (double value : { 0.0, 0.98765, -12.5, 123456.789, 1e-7, 1e300 }) {
        std::string out = "x";
        appendNumber(out, value, 'f', 4, 6);
        EXPECT_EQ(out, "x" + QStringLiteral("%1").arg(value, 6, 'f', 4).toStdString());
        out.clear();
        appendNumber(out, value, 'g', 6, 10);
        EXPECT_EQ(out, QStringLiteral("%1").arg(value, 10, 'g', 6).toStdString());
    }
}

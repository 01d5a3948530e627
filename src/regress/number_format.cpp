#include "regress/number_format.h"

#include "core/plain_number.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace qel::regress {

namespace {

// The significant digits of a number without trailing zeros, the first standing for
// 10^exponent; no digits for zero.
struct Digits {
    char d[800];
    int count = 0;
    int exponent = 0;
};

constexpr std::uint64_t WholeTens[] = { 1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000,
    10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000, 1000000000000000, 10000000000000000,
    100000000000000000, 1000000000000000000, 10000000000000000000u };

constexpr double Tens[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16,
    1e17, 1e18, 1e19, 1e20, 1e21, 1e22 }; // exact as doubles

void stripZeros(Digits &x)
{
    while (x.count > 0 && x.d[x.count - 1] == '0')
        --x.count;
}

// magnitude (positive) rounded to q decimals, as the whole number magnitude * 10^q rounds to, from
// one exact product: the product and its error by a fused multiply-add tell the rounding, ties
// included. False where that does not hold (q out of range, a product of 2^52 or more, a number
// near the bottom of the range).
bool scaledWhole(double magnitude, int q, std::uint64_t &whole)
{
    if (q < 0 || q > 22 || magnitude < 1e-100)
        return false;
    const double p = magnitude * Tens[q];
    if (!(p < 4503599627370496.0)) // 2^52
        return false;
    const double error = std::fma(magnitude, Tens[q], -p);
    // Below 2^52 the whole part, its fraction and a half are exact; so is the comparison, and
    // the product's error settles a tie, which goes away from zero.
    const double below = double(std::uint64_t(p));
    const double fraction = p - below;
    whole = std::uint64_t(below) + (fraction > 0.5 || (fraction == 0.5 && error >= 0) ? 1 : 0);
    return true;
}

bool scaledDigits(double magnitude, int q, Digits &out)
{
    std::uint64_t whole = 0;
    if (!scaledWhole(magnitude, q, whole))
        return false;
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, whole).ptr;
    out.count = whole == 0 ? 0 : int(end - text);
    std::memcpy(out.d, text, std::size_t(out.count));
    out.exponent = out.count - 1 - q;
    stripZeros(out);
    return true;
}

// Every digit of magnitude (positive, finite), rounded to q decimals halves away from zero.
void exactDigits(double magnitude, int q, Digits &out)
{
    char text[1100];
    const auto end = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 770).ptr;
    const char *e = static_cast<const char *>(std::memchr(text, 'e', std::size_t(end - text)));
    std::from_chars(e + 1 + (e[1] == '+'), end, out.exponent);
    out.d[0] = text[0];
    out.count = 1;
    for (const char *c = text + 2; c < e; ++c)
        out.d[out.count++] = *c;
    stripZeros(out);
    const int keep = out.exponent + 1 + q;
    if (keep >= out.count)
        return;
    if (keep < 0) {
        out.count = 0;
        return;
    }
    const bool up = out.d[keep] >= '5';
    out.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && out.d[i] == '9')
            --i;
        if (i < 0) {
            out.d[0] = '1';
            out.count = 1;
            ++out.exponent;
        } else {
            ++out.d[i];
            out.count = i + 1;
        }
    }
    stripZeros(out);
}

void rounded(double magnitude, int q, Digits &out)
{
    if (!scaledDigits(magnitude, q, out))
        exactDigits(magnitude, q, out);
}

char digitAt(const Digits &x, int power)
{
    const int i = x.exponent - power;
    return i >= 0 && i < x.count ? x.d[i] : '0';
}

void appendFixed(std::string &out, const Digits &x, int decimals)
{
    const int top = x.count > 0 ? std::max(x.exponent, 0) : 0;
    const std::size_t start = out.size();
    out.resize(start + std::size_t(top + 2 + decimals));
    char *p = out.data() + start;
    for (int power = top; power >= 0; --power)
        *p++ = digitAt(x, power);
    if (decimals > 0)
        *p++ = '.';
    for (int power = -1; power >= -decimals; --power)
        *p++ = digitAt(x, power);
    out.resize(std::size_t(p - out.data()));
}

// Writes the last count digits of n ending at end, two at a time; returns n without them.
std::uint64_t writeLastDigits(char *end, std::uint64_t n, int count)
{
    for (; count >= 2; count -= 2) {
        const std::uint64_t rest = n / 100;
        end -= 2;
        std::memcpy(end, &DigitPairs[std::size_t(2 * (n - rest * 100))], 2);
        n = rest;
    }
    if (count == 1) {
        end[-1] = char('0' + n % 10);
        n /= 10;
    }
    return n;
}

// Takes Zeros trailing zeros off n while its decimals have them; the power is a constant, so that
// the division is a multiplication.
template<int Zeros> void trimZeros(std::uint64_t &n, int &decimals)
{
    constexpr std::uint64_t Power = WholeTens[Zeros];
    while (decimals >= Zeros && n % Power == 0)
        n /= Power, decimals -= Zeros;
}

// The number of decimal digits of n, 1 for 0: guessed from its bits, then settled by one power.
int digitCount(std::uint64_t n)
{
    const std::uint64_t odd = n | 1; // as many digits as n: no power of ten above 1 is odd
    const int guess = (std::bit_width(odd) * 1233) >> 12; // about log10(2^bits)
    return guess + (guess < 20 && odd >= WholeTens[guess] ? 1 : 0);
}

// The whole number n written with decimals digits after the point: n / 10^decimals; without the
// trailing zeros of the decimals (and then without a point) when trimmed. From n's own digits, so
// that no division by a power of ten that is not a constant is needed.
char *writeFixedWhole(char *out, std::uint64_t n, int decimals, bool trimmed)
{
    if (trimmed) { // the trailing zeros by halves: eight, four, two and one at a time
        trimZeros<8>(n, decimals);
        trimZeros<4>(n, decimals);
        trimZeros<2>(n, decimals);
        trimZeros<1>(n, decimals);
    }
    const int count = digitCount(n);
    const int integral = std::max(count - decimals, 1); // before the point: at least a 0
    const int length = integral + (decimals > 0 ? 1 + decimals : 0);
    char *end = out + length;
    if (decimals > 0) {
        n = writeLastDigits(end, n, decimals); // leading zeros of the fraction come as n runs out
        end[-decimals - 1] = '.';
    }
    writeLastDigits(out + integral, n, integral);
    return end;
}

void appendScientific(std::string &out, const Digits &x, int decimals, bool capital)
{
    out += x.count > 0 ? x.d[0] : '0';
    if (decimals > 0)
        out += '.';
    for (int i = 1; i <= decimals; ++i)
        out += i < x.count ? x.d[i] : '0';
    out += capital ? 'E' : 'e';
    const int exponent = x.count > 0 ? x.exponent : 0;
    out += exponent < 0 ? '-' : '+';
    const int e = std::abs(exponent);
    if (e < 10)
        out += '0';
    char text[8];
    out.append(text, std::to_chars(text, text + sizeof text, e).ptr);
}

// The decimal exponent of magnitude (positive, finite), exact from 1 to 1e22 and otherwise at most
// one below it: the powers of ten that are exact settle the guess from the binary exponent. A
// subnormal number has no binary exponent of its own.
int decimalExponent(double magnitude)
{
    int exponent = magnitude < std::numeric_limits<double>::min() ? int(std::floor(std::log10(magnitude)))
                                                                  : decimalExponentAtMost(magnitude);
    if (exponent + 1 >= 0 && exponent + 1 <= 22 && magnitude >= Tens[exponent + 1])
        ++exponent;
    return exponent;
}

// Rounded to significant digits: the exponent first guessed, then set by the rounding itself
// (9.9996 to four digits is 10.00).
void significant(double magnitude, int significantDigits, Digits &out)
{
    int exponent = decimalExponent(magnitude);
    for (int tries = 0; tries < 4; ++tries) {
        rounded(magnitude, significantDigits - 1 - exponent, out);
        const bool carried = out.exponent == exponent + 1 && out.count == 1 && out.d[0] == '1';
        if (out.exponent == exponent || carried)
            return;
        exponent = out.exponent;
    }
}

} // namespace

char *writeQuickNumber(char *out, double value, char form, int precision)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude <= std::numeric_limits<double>::max()))
        return nullptr; // infinite or not a number
    char *p = out;
    if (value < 0)
        *p++ = '-';
    std::uint64_t whole = 0;
    if (form == 'f' && precision <= 15 && (magnitude == 0 || scaledWhole(magnitude, precision, whole)))
        return writeFixedWhole(p, whole, precision, false);
    const bool general = form == 'g' || form == 'G';
    const int digits = std::max(precision, 1);
    if (general && digits <= 15 && magnitude >= 1 && magnitude < Tens[digits]) {
        // Written without an exponent: the digits are the value rounded to its decimals, unless
        // the rounding carries into one more digit (99.99996 to six is 100), which the general way
        // takes.
        const int exponent = decimalExponent(magnitude);
        const int decimals = digits - 1 - exponent;
        if (scaledWhole(magnitude, decimals, whole) && whole < std::uint64_t(Tens[digits]))
            return writeFixedWhole(p, whole, decimals, true);
    }
    return nullptr;
}

void appendNumber(std::string &out, double value, char form, int precision)
{
    char quick[QuickNumberBytes];
    if (const char *end = writeQuickNumber(quick, value, form, precision))
        return static_cast<void>(out.append(quick, std::size_t(end - quick)));
    const bool capital = form == 'E' || form == 'G';
    if (std::isnan(value)) {
        out += capital ? "NAN" : "nan";
        return;
    }
    if (value < 0)
        out += '-';
    if (std::isinf(value)) {
        out += capital ? "INF" : "inf";
        return;
    }
    const double magnitude = std::fabs(value);
    Digits x;
    if (form == 'f') {
        if (magnitude > 0)
            rounded(magnitude, precision, x);
        return appendFixed(out, x, precision);
    }
    const bool general = form == 'g' || form == 'G';
    const int digits = general ? std::max(precision, 1) : precision + 1;
    if (magnitude > 0)
        significant(magnitude, digits, x);
    if (!general)
        return appendScientific(out, x, precision, capital);
    const int exponent = x.count > 0 ? x.exponent : 0;
    if (exponent < digits && exponent >= -4)
        appendFixed(out, x, std::max(x.count - 1 - exponent, 0));
    else
        appendScientific(out, x, std::max(x.count - 1, 0), capital);
}

void appendNumber(std::string &out, double value, char form, int precision, int width)
{
    const std::size_t start = out.size();
    appendNumber(out, value, form, precision);
    const std::size_t length = out.size() - start;
    if (length < std::size_t(width))
        out.insert(start, std::size_t(width) - length, ' ');
}

} // namespace qel::regress

#include "core/number_text.h"

#include "core/plain_number.h"

#include "core/errors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace qel {

int generalNumberTextChars(char *buffer, double value)
{
    // The general format with precision 15 switches to exponent form exactly when the rounded
    // decimal exponent is below -4 or at least 15, and drops trailing zeros.
    const auto result = std::to_chars(buffer, buffer + 64, value, std::chars_format::general, 15);
    for (char *c = buffer; c < result.ptr; ++c) {
        if (*c >= 'a' && *c <= 'z')
            *c = char(*c - 'a' + 'A');
    }
    return int(result.ptr - buffer);
}

namespace {

// The general format's characters for a value whose shortest digits that read back are at most
// 15: rounded to 15 digits it has those digits (the rounding's grid is wider than half a unit in
// the last place of a normal number), so it is written from them, without the slower rounding. Returns the count,
// or 0 when the value has more digits.
int shortNumberTextChars(char *buffer, double value)
{
    char shortest[32];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific).ptr;
    const char *c = shortest;
    char *out = buffer;
    if (*c == '-')
        *out++ = *c++;
    char digits[24];
    int count = 0;
    for (; c < end && *c != 'e'; ++c)
        if (*c != '.')
            digits[count++] = *c;
    if (count > 15 || c == end)
        return 0;
    int exponent = 0;
    std::from_chars(c + 1 + (c[1] == '+'), end, exponent);
    const auto put = [&](const char *from, int n) {
        std::memcpy(out, from, std::size_t(n));
        out += n;
    };
    if (exponent < -4 || exponent >= 15) { // d.dddE+XX, the exponent of two digits at least
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            put(digits + 1, count - 1);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        if (std::abs(exponent) < 10)
            *out++ = '0';
        out = std::to_chars(out, out + 4, std::abs(exponent)).ptr;
    } else if (exponent >= 0) { // the whole part, with zeros where the digits end before it
        for (int i = 0; i <= exponent; ++i)
            *out++ = i < count ? digits[i] : '0';
        if (count > exponent + 1) {
            *out++ = '.';
            put(digits + exponent + 1, count - exponent - 1);
        }
    } else { // 0.000ddd
        *out++ = '0';
        *out++ = '.';
        std::memset(out, '0', std::size_t(-exponent - 1));
        out += -exponent - 1;
        put(digits, count);
    }
    return int(out - buffer);
}

} // namespace

// numberText's characters in buffer (64 bytes); returns their count.
int numberTextChars(char *buffer, double value)
{
    if (value == 0.0) {
        buffer[0] = '0'; // also for negative zero
        return 1;
    }
    // A subnormal number has fewer bits than the argument needs.
    if (std::isnormal(value))
        if (const int n = shortNumberTextChars(buffer, value))
            return n;
    return generalNumberTextChars(buffer, value);
}

QString numberText(double value)
{
    char buffer[64];
    const int n = numberTextChars(buffer, value);
    return QString::fromLatin1(buffer, n);
}

void appendNumberText(QByteArray &out, double value)
{
    char buffer[64];
    const int n = numberTextChars(buffer, value);
    out.append(buffer, n);
}

QString exactNumberText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer)).toUpper();
}

QString keyNumberText(double value)
{
    const QString text = numberText(value);
    return text.startsWith(u'-') ? text + u' ' : u' ' + text + u' ';
}

namespace {

// Collects the characters of the leading number, skipping blanks, tabs and line feeds.
QByteArray leadingNumberText(QStringView text)
{
    QByteArray out;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
            ++i;
    };
    auto takeDigits = [&] {
        int count = 0;
        for (;;) {
            skipBlanks();
            if (i < n && text[i] >= u'0' && text[i] <= u'9') {
                out += char(text[i].unicode());
                ++i;
                ++count;
            } else {
                return count;
            }
        }
    };
    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        out += char(text[i].unicode());
        ++i;
    }
    int digits = takeDigits();
    skipBlanks();
    if (i < n && text[i] == u'.') {
        out += '.';
        ++i;
        digits += takeDigits();
    }
    if (digits == 0)
        return {};
    skipBlanks();
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        const QByteArray mantissa = out;
        const int mark = i;
        out += 'E';
        ++i;
        skipBlanks();
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            out += char(text[i].unicode());
            ++i;
        }
        if (takeDigits() == 0) {
            out = mantissa;
            i = mark;
        }
    }
    return out;
}

double parseCNumber(const QByteArray &text)
{
    double value = 0;
    const char *begin = text.constData();
    if (*begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, text.constData() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow gives 0 like any tiny value; overflow is an error.
        const QByteArray upper = text.toUpper();
        const int e = upper.indexOf('E');
        if (e >= 0 && upper.mid(e + 1).toInt() < 0)
            return 0.0;
        raise(ErrOverflow);
    }
    return value;
}

} // namespace

double leadingNumber(QStringView text)
{
    const QByteArray number = leadingNumberText(text);
    return number.isEmpty() ? 0.0 : parseCNumber(number);
}

std::optional<double> strictNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    // A table cell at a time: the Latin-1 text on the stack, as toLatin1 would give it ('?' for
    // what Latin-1 lacks), without a buffer from the heap for each.
    char buffer[64];
    if (trimmed.size() <= qsizetype(sizeof buffer)) {
        for (qsizetype i = 0; i < trimmed.size(); ++i) {
            const char16_t c = trimmed[i].unicode();
            buffer[i] = c < 0x100 ? char(c) : '?';
        }
        return wholeTextNumber(buffer, buffer + trimmed.size());
    }
    const QByteArray latin = trimmed.toLatin1();
    return wholeTextNumber(latin.constData(), latin.constData() + latin.size());
}

qint16 roundToInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        raise(ErrOverflow);
    return static_cast<qint16>(rounded);
}

QString fixedDecimalsText(double value, int decimals)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        raise(ErrOverflow);
    QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
    if (text.startsWith(u'-') && text.count(u'0') == text.size() - (decimals > 0 ? 2 : 1))
        text.remove(0, 1); // no "-0.00" for a value that rounds to zero
    return text;
}

QString significantText(double value, int digits)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return result.ec == std::errc() ? QString::fromLatin1(buffer, int(result.ptr - buffer)) : numberText(value);
}

QString formatContourValue(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (value < 0.0 || std::isnan(value))
        raise(ErrInvalidCall);
    // The decade is taken as the ratio of natural logarithms, as the labels always have been.
    const double e = std::floor(std::log(value) / std::log(10.0));
    char buffer[64];
    if (e >= -3 && e <= 2) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
        QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
        while (text.endsWith(u'0'))
            text.chop(1);
        return text; // a whole number keeps its point: "5."
    }
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 1);
    QString text = QString::fromLatin1(buffer, int(result.ptr - buffer)).toUpper();
    const int mark = int(text.indexOf(u'E'));
    QString exponent = text.mid(mark + 2);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    return text.left(mark + 2) + exponent;
}

} // namespace qel

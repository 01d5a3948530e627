#pragma once

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace qel {

// The number a whole text is, in the C locale, or nothing: an optional "+" (not before a "-"),
// then what from_chars reads, to the end and finite. Without Qt, for the regress program too.
inline std::optional<double> wholeTextNumber(const char *begin, const char *end)
{
    if (begin != end && *begin == '+' && begin + 1 != end && begin[1] != '-')
        ++begin;
    double value = 0;
    const auto result = std::from_chars(begin, end, value);
    if (begin == end || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The decimal exponent of a normal, positive number, or one below it: floor(b log10 2) for its
// binary exponent b, in integers (exact for |b| < 1700) and without log10, which number texts of
// millions of values cannot afford.
inline int decimalExponentAtMost(double magnitude)
{
    const int binaryExponent = int((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1023;
    return (binaryExponent * 78913) >> 18;
}

// "00" to "99", for writing two digits at a time.
inline constexpr auto DigitPairs = [] {
    std::array<char, 200> pairs {};
    for (int i = 0; i < 100; ++i) {
        pairs[std::size_t(2 * i)] = char('0' + i / 10);
        pairs[std::size_t(2 * i + 1)] = char('0' + i % 10);
    }
    return pairs;
}();

} // namespace qel

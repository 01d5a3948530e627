#pragma once

#include <charconv>
#include <cmath>
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

} // namespace qel

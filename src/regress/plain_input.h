#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qel::regress {

// The regression input as bytes: texts in UTF-8, as QEL writes them. The program reads it with
// no Qt, so that it starts quickly; regress_input.h gives the same in Qt's types.
struct PlainWell {
    std::string id;
    double x = 0, y = 0;
    std::vector<double> levels; // one per sample date; -9999 where none was measured
};

struct PlainInput {
    std::vector<std::string> dates;
    std::vector<PlainWell> wells;
};

struct PlainParse {
    std::optional<PlainInput> input;
    std::string problem;
};

// The counts, the quoted dates, one line per well with its quoted identifier, x, y and a level per
// date. Anything else is refused with a message naming the line.
PlainParse parsePlainInput(std::string_view bytes);

// The bytes as UTF-8 text reads them: a leading byte order mark dropped, every byte that is not
// part of a well-formed character replaced by U+FFFD.
std::string wellFormedUtf8(std::string bytes);

// The whole word, blanks of any kind around it ignored, as a finite number in the C locale.
std::optional<double> plainNumber(std::string_view word);

// The length of UTF-8 text in UTF-16 code units, the unit the widths of the texts are counted in.
std::size_t utf16Length(std::string_view text);

} // namespace qel::regress

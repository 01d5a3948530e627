#pragma once

#include <string>

namespace qel::regress {

// Appends a number as QEL writes it everywhere else (QString::number and QString::asprintf):
// form 'f', 'e', 'E', 'g' or 'G' with precision as in printf, but rounded halves away from zero,
// no sign on a negative zero, "inf" and "nan" ("INF", "NAN" for the capital forms). The program
// that writes the regression results links no Qt, so that it starts quickly.
void appendNumber(std::string &out, double value, char form, int precision);

// The room writeQuickNumber may need.
constexpr int QuickNumberBytes = 48;

// Writes the number as appendNumber does into out, which has QuickNumberBytes of room, when it
// is one of the common ones written quickly (form 'f' to at most 15 decimals, 'g' or 'G' of at
// most 15 digits without an exponent): returns the end of the text, or nullptr for any other.
char *writeQuickNumber(char *out, double value, char form, int precision);

// The same, right-aligned in width characters (padded with blanks on the left).
void appendNumber(std::string &out, double value, char form, int precision, int width);

} // namespace qel::regress

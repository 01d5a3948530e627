#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace qel {

// The default text of a number: at most 15 significant digits, no trailing zeros, "." as the
// decimal point, exponent form ("1E+15", "1E-05") from 1E15 upward and below 1E-4.
QString numberText(double value);
// The same characters appended to bytes, for files made of many numbers, or written into buffer
// (64 bytes) with their count returned.
void appendNumberText(QByteArray &out, double value);
int numberTextChars(char *buffer, double value);
// The same characters by the general format's own rounding, into buffer (64 bytes); returns their
// count. numberText takes a quicker way where it gives the same.
int generalNumberTextChars(char *buffer, double value);

// The shortest text that reads back as exactly the value ("0.30000000000000004", "1E+20"), "."
// as the decimal point: for files whose numbers must not change when read again.
QString exactNumberText(double value);

// A number after a key in QEL.ini and the project file: a blank in place of the sign of a value
// that is not negative, the number text, a trailing blank (" 0.01 ", "-5 ").
QString keyNumberText(double value);

// The longest leading number of a text, blanks and tabs ignored anywhere, 0 when there is none.
// A number too large for a double is error 6 (Overflow).
double leadingNumber(QStringView text);

// The whole text (trimmed) as a number, or nothing when it is not one.
std::optional<double> strictNumber(QStringView text);

// Rounds to the nearest int16 (halves to even); out of range is error 6 (Overflow).
qint16 roundToInt16(double value);

// A number with a fixed count of decimals and at least one digit before the point ("0.00"
// gives "12.50", "0.50", "-3.00"), without group separators.
QString fixedDecimalsText(double value, int decimals);

// A number rounded to a few significant digits for a person to read in a message ("0.0114",
// "999.4", "1.64e+06"), "." as the decimal point.
QString significantText(double value, int digits);

// Contour values and labels: "##0.###" from 0.001 up to 1000, "0.0E+##" outside, "0" for zero.
// A negative value is error 5.
QString formatContourValue(double value);

} // namespace qel

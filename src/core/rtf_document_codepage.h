#pragma once

// Code page 1252, the text encoding of the RTF files we write and the default of those we read.

#include <QByteArray>
#include <QChar>
#include <QString>

#include <array>
#include <optional>

namespace qel::rtf {

// Code page 1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes. The rest is Latin-1.
inline constexpr std::array<char16_t, 32> Cp1252High = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

inline QChar cp1252Char(uchar byte)
{
    if (byte >= 0x80 && byte <= 0x9F && Cp1252High[byte - 0x80] != 0)
        return QChar(Cp1252High[byte - 0x80]);
    return QChar(byte);
}

inline QString cp1252Decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        text += cp1252Char(uchar(byte));
    return text;
}

// The code page 1252 byte of a character, if it has one.
inline std::optional<uchar> cp1252Byte(QChar ch)
{
    const char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return uchar(code);
    for (int i = 0; i < int(Cp1252High.size()); ++i)
        if (Cp1252High[i] == code && code != 0)
            return uchar(0x80 + i);
    return std::nullopt;
}

} // namespace qel::rtf

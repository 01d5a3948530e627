#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

namespace qel {

// Map colours are indexes 1..14 into this table. Values are in 0x00BBGGRR order (red in the low
// byte), the order the stored colour values have always used; entries 0 and 15 stay 0.
inline constexpr std::array<std::uint32_t, 16> ColorTable = {
    0x000000,
    0x8080FF,
    0xC0FFFF,
    0x80FF80,
    0xFFFF80,
    0xFF8080,
    0xFF80FF,
    0x000000,
    0x000080,
    0x008080,
    0x008000,
    0x808000,
    0x800000,
    0x800080,
    0xFFFFFF,
    0x000000,
};

// The picker shows the dark colours one step brighter than the table draws them.
inline constexpr std::array<std::uint32_t, 16> PickerBoxColor = {
    0x000000,
    0x8080FF,
    0xC0FFFF,
    0x80FF80,
    0xFFFF80,
    0xFF8080,
    0xFF80FF,
    0x000000,
    0x0000C0,
    0x00C0C0,
    0x00C000,
    0xC0C000,
    0xC00000,
    0xC000C0,
    0xFFFFFF,
    0x000000,
};

inline constexpr int FirstColorIndex = 1;
inline constexpr int LastColorIndex = 14;
inline constexpr int BlackColorIndex = 7;
inline constexpr int WhiteColorIndex = 14;

inline bool isColorIndex(int index)
{
    return index >= FirstColorIndex && index <= LastColorIndex;
}

// "Red", "Yellow" ... "White" for 1..14; empty outside.
QString colorName(int index);

// A 0x00BBGGRR value as a screen colour.
QColor colorFromBgr(std::uint32_t bgr);

// The colour the map draws for an index; an index outside 1..14 draws black.
QColor colorOfIndex(int index);

// The 0x00BBGGRR value of a screen colour.
std::uint32_t bgrFromColor(const QColor &color);

} // namespace qel

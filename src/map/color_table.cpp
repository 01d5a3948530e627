#include "map/color_table.h"

namespace qel {

QString colorName(int index)
{
    static const char *const names[] = { "Red", "Yellow", "Green", "Cyan", "Blue", "Magenta", "Black", "Dark Red",
        "Dark Yellow", "Dark Green", "Dark Cyan", "Dark Blue", "Dark Magenta", "White" };
    return isColorIndex(index) ? QString::fromLatin1(names[index - 1]) : QString();
}

QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QColor colorOfIndex(int index)
{
    return colorFromBgr(isColorIndex(index) ? ColorTable[std::size_t(index)] : 0);
}

std::uint32_t bgrFromColor(const QColor &color)
{
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) | (std::uint32_t(color.blue()) << 16);
}

} // namespace qel

#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

namespace qel {

// A Windows metafile read into the records a drawing is made of, every length and count checked
// against the file and the record that holds it. The drawing (src/map/wmf_drawing.*) only
// interprets them.

struct WmfHeader {
    bool placeable = false;
    QRect bounds; // placeable header: the picture's frame in logical units (left, top, right, bottom)
    int unitsPerInch = 0; // placeable header: logical units per inch
    int objects = 0; // entries of the object table
};

enum class WmfOp {
    SetWindowOrg,
    SetWindowExt,
    SetViewportOrg,
    SetViewportExt,
    OffsetWindowOrg,
    OffsetViewportOrg,
    SetMapMode, // value: the mapping mode
    SaveDC,
    RestoreDC, // value: the saved state, negative counting back from the last
    CreatePen, // value: style, width, rgb
    CreateBrush, // value: style, rgb
    CreateFont, // width: height, angle: escapement in tenths of a degree
    CreateOther, // an object the drawing does not use (palette, region); it takes a table entry
    CreatePatternBrush, // a brush of a bitmap pattern, whose colours are not read
    SelectObject, // value: the object's index
    DeleteObject, // value: the object's index
    MoveTo,
    LineTo,
    Polyline,
    Polygon,
    PolyPolygon, // counts: the points of each polygon
    Rectangle, // points: two corners
    Ellipse, // points: two corners of the bounding box
    Arc, // points: two corners of the box, the start and the end of the arc
    Pie,
    Chord,
    SetPixel, // rgb
    Text, // points: the reference point; text
    SetTextAlign, // value: the alignment flags
    SetTextColor, // rgb
};

struct WmfRecord {
    WmfOp op = WmfOp::SaveDC;
    qint64 offset = 0; // where the record begins in the file
    std::vector<QPoint> points; // in logical units, x then y
    std::vector<int> counts;
    int value = 0;
    int width = 0;
    int angle = 0;
    unsigned rgb = 0; // 0xRRGGBB
    QByteArray text;
};

struct WmfFile {
    WmfHeader header;
    std::vector<WmfRecord> records;
    int skipped = 0; // records of other kinds, skipped
};

// Windows metafile record functions this reader knows.
namespace wmf {
constexpr std::uint16_t Eof = 0x0000;
constexpr std::uint16_t SaveDC = 0x001E;
constexpr std::uint16_t CreatePalette = 0x00F7;
constexpr std::uint16_t SetMapMode = 0x0103;
constexpr std::uint16_t RestoreDC = 0x0127;
constexpr std::uint16_t SelectObject = 0x012D;
constexpr std::uint16_t SetTextAlign = 0x012E;
constexpr std::uint16_t DibCreatePatternBrush = 0x0142;
constexpr std::uint16_t DeleteObject = 0x01F0;
constexpr std::uint16_t CreatePatternBrush = 0x01F9;
constexpr std::uint16_t SetTextColor = 0x0209;
constexpr std::uint16_t SetWindowOrg = 0x020B;
constexpr std::uint16_t SetWindowExt = 0x020C;
constexpr std::uint16_t SetViewportOrg = 0x020D;
constexpr std::uint16_t SetViewportExt = 0x020E;
constexpr std::uint16_t OffsetWindowOrg = 0x020F;
constexpr std::uint16_t OffsetViewportOrg = 0x0211;
constexpr std::uint16_t LineTo = 0x0213;
constexpr std::uint16_t MoveTo = 0x0214;
constexpr std::uint16_t CreatePenIndirect = 0x02FA;
constexpr std::uint16_t CreateFontIndirect = 0x02FB;
constexpr std::uint16_t CreateBrushIndirect = 0x02FC;
constexpr std::uint16_t Polygon = 0x0324;
constexpr std::uint16_t Polyline = 0x0325;
constexpr std::uint16_t Ellipse = 0x0418;
constexpr std::uint16_t Rectangle = 0x041B;
constexpr std::uint16_t SetPixel = 0x041F;
constexpr std::uint16_t TextOut = 0x0521;
constexpr std::uint16_t PolyPolygon = 0x0538;
constexpr std::uint16_t CreateRegion = 0x06FF;
constexpr std::uint16_t Arc = 0x0817;
constexpr std::uint16_t Pie = 0x081A;
constexpr std::uint16_t Chord = 0x0830;
constexpr std::uint16_t ExtTextOut = 0x0A32;

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
} // namespace wmf

// Reads the metafile's bytes; a damaged file (cut short, a record longer than the file or of no
// size, counts beyond their record, a bad placeable checksum) is refused through cannotOpen with
// the place and the reason.
WmfFile readWmfRecords(const QString &path, const QByteArray &bytes);

} // namespace qel

#include "map/wmf_records.h"

#include "map/base_map_checks.h"

namespace qel {

namespace {

constexpr qint64 PlaceableBytes = 22;
constexpr qint64 HeaderBytes = 18;
constexpr qint64 RecordHeaderBytes = 6; // size in words (32 bits) and function (16 bits)

// Little-endian reads from a span the caller has already checked.
std::uint16_t word(const QByteArray &b, qint64 at)
{
    return std::uint16_t(std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8));
}

std::int16_t signedWord(const QByteArray &b, qint64 at)
{
    return std::int16_t(word(b, at));
}

std::uint32_t doubleWord(const QByteArray &b, qint64 at)
{
    return std::uint32_t(word(b, at)) | (std::uint32_t(word(b, at + 2)) << 16);
}

QString hex(unsigned value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// The parameters of one record: every read is checked against the record's own size.
class Params {
public:
    Params(
        const QString &path, const QByteArray &bytes, qint64 record, qint64 begin, qint64 size, std::uint16_t function)
        : m_path(path)
        , m_bytes(bytes)
        , m_record(record)
        , m_begin(begin)
        , m_size(size)
        , m_function(function)
    {
    }

    qint64 size() const { return m_size; }

    // Refuses the file unless the record holds bytes from offset on.
    void need(qint64 offset, qint64 bytes, const char *what) const
    {
        if (offset < 0 || bytes < 0 || offset + bytes > m_size)
            cannotOpen(m_path,
                QStringLiteral("its record %1 at byte %2 is too short for its %3 (%4 bytes needed, %5 there), "
                               "so the file is damaged")
                    .arg(hex(m_function, 4))
                    .arg(m_record)
                    .arg(QLatin1String(what))
                    .arg(offset + bytes)
                    .arg(m_size));
    }
    int s16(qint64 offset, const char *what) const
    {
        need(offset, 2, what);
        return signedWord(m_bytes, m_begin + offset);
    }
    int u16(qint64 offset, const char *what) const
    {
        need(offset, 2, what);
        return word(m_bytes, m_begin + offset);
    }
    // A colour reference: red, green, blue, reserved.
    unsigned rgb(qint64 offset) const
    {
        need(offset, 4, "colour");
        const auto byte = [&](qint64 i) { return unsigned(std::uint8_t(m_bytes[m_begin + offset + i])); };
        return (byte(0) << 16) | (byte(1) << 8) | byte(2);
    }
    // A point stored y first, as the window and position records store theirs.
    QPoint yx(qint64 offset) const { return QPoint(s16(offset + 2, "point"), s16(offset, "point")); }
    QPoint xy(qint64 offset) const { return QPoint(s16(offset, "point"), s16(offset + 2, "point")); }
    QByteArray bytes(qint64 offset, qint64 count, const char *what) const
    {
        need(offset, count, what);
        return m_bytes.mid(m_begin + offset, count);
    }
    // A count that must not be negative, for the error message of a damaged file.
    int count(qint64 offset, const char *what) const
    {
        const int n = s16(offset, what);
        if (n < 0)
            cannotOpen(m_path,
                QStringLiteral("its record %1 at byte %2 gives %3 %4, so the file is damaged")
                    .arg(hex(m_function, 4))
                    .arg(m_record)
                    .arg(n)
                    .arg(QLatin1String(what)));
        return n;
    }

private:
    const QString &m_path;
    const QByteArray &m_bytes;
    qint64 m_record, m_begin, m_size;
    std::uint16_t m_function;
};

// Points stored x, y from offset on.
std::vector<QPoint> pointList(const Params &p, qint64 offset, int count)
{
    p.need(offset, qint64(count) * 4, "points");
    std::vector<QPoint> points;
    points.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        points.push_back(p.xy(offset + 4 * qint64(i)));
    return points;
}

// A box stored bottom, right, top, left: its corners (left, top) and (right, bottom).
std::vector<QPoint> box(const Params &p, qint64 offset)
{
    return { QPoint(p.s16(offset + 6, "box"), p.s16(offset + 4, "box")),
        QPoint(p.s16(offset + 2, "box"), p.s16(offset, "box")) };
}

// Reads the record's parameters; false for a kind the drawing does not use.
bool readRecord(const Params &p, std::uint16_t function, WmfRecord &r)
{
    switch (function) {
    case wmf::SetWindowOrg:
        r.op = WmfOp::SetWindowOrg;
        r.points = { p.yx(0) };
        return true;
    case wmf::SetWindowExt:
        r.op = WmfOp::SetWindowExt;
        r.points = { p.yx(0) };
        return true;
    case wmf::SetViewportOrg:
        r.op = WmfOp::SetViewportOrg;
        r.points = { p.yx(0) };
        return true;
    case wmf::SetViewportExt:
        r.op = WmfOp::SetViewportExt;
        r.points = { p.yx(0) };
        return true;
    case wmf::OffsetWindowOrg:
        r.op = WmfOp::OffsetWindowOrg;
        r.points = { p.yx(0) };
        return true;
    case wmf::OffsetViewportOrg:
        r.op = WmfOp::OffsetViewportOrg;
        r.points = { p.yx(0) };
        return true;
    case wmf::SetMapMode:
        r.op = WmfOp::SetMapMode;
        r.value = p.u16(0, "mapping mode");
        return true;
    case wmf::SaveDC: r.op = WmfOp::SaveDC; return true;
    case wmf::RestoreDC:
        r.op = WmfOp::RestoreDC;
        r.value = p.s16(0, "saved state");
        return true;
    case wmf::CreatePenIndirect:
        r.op = WmfOp::CreatePen;
        r.value = p.u16(0, "pen style");
        r.width = p.s16(2, "pen width");
        r.rgb = p.rgb(6);
        return true;
    case wmf::CreateBrushIndirect:
        r.op = WmfOp::CreateBrush;
        r.value = p.u16(0, "brush style");
        r.rgb = p.rgb(2);
        return true;
    case wmf::CreateFontIndirect:
        r.op = WmfOp::CreateFont;
        r.width = p.s16(0, "font height");
        r.angle = p.s16(4, "font escapement");
        return true;
    case wmf::CreatePalette:
    case wmf::CreateRegion: r.op = WmfOp::CreateOther; return true;
    case wmf::CreatePatternBrush:
    case wmf::DibCreatePatternBrush: r.op = WmfOp::CreatePatternBrush; return true;
    case wmf::SelectObject:
        r.op = WmfOp::SelectObject;
        r.value = p.u16(0, "object index");
        return true;
    case wmf::DeleteObject:
        r.op = WmfOp::DeleteObject;
        r.value = p.u16(0, "object index");
        return true;
    case wmf::MoveTo:
        r.op = WmfOp::MoveTo;
        r.points = { p.yx(0) };
        return true;
    case wmf::LineTo:
        r.op = WmfOp::LineTo;
        r.points = { p.yx(0) };
        return true;
    case wmf::Polyline:
    case wmf::Polygon:
        r.op = function == wmf::Polyline ? WmfOp::Polyline : WmfOp::Polygon;
        r.points = pointList(p, 2, p.count(0, "points"));
        return true;
    case wmf::PolyPolygon: {
        r.op = WmfOp::PolyPolygon;
        const int polygons = p.count(0, "polygons");
        p.need(2, qint64(polygons) * 2, "point counts");
        qint64 total = 0;
        for (int i = 0; i < polygons; ++i) {
            r.counts.push_back(p.u16(2 + 2 * qint64(i), "point counts"));
            total += r.counts.back();
        }
        const qint64 at = 2 + 2 * qint64(polygons);
        p.need(at, total * 4, "points");
        r.points = pointList(p, at, int(total));
        return true;
    }
    case wmf::Rectangle:
        r.op = WmfOp::Rectangle;
        r.points = box(p, 0);
        return true;
    case wmf::Ellipse:
        r.op = WmfOp::Ellipse;
        r.points = box(p, 0);
        return true;
    case wmf::Arc:
    case wmf::Pie:
    case wmf::Chord:
        r.op = function == wmf::Arc ? WmfOp::Arc : function == wmf::Pie ? WmfOp::Pie : WmfOp::Chord;
        r.points = box(p, 8);
        r.points.push_back(p.yx(4)); // start
        r.points.push_back(p.yx(0)); // end
        return true;
    case wmf::SetPixel:
        r.op = WmfOp::SetPixel;
        r.rgb = p.rgb(0);
        r.points = { p.yx(4) };
        return true;
    case wmf::TextOut: {
        r.op = WmfOp::Text;
        const int length = p.count(0, "text length");
        const qint64 padded = (qint64(length) + 1) / 2 * 2;
        r.text = p.bytes(2, length, "text");
        r.points = { p.yx(2 + padded) };
        return true;
    }
    case wmf::ExtTextOut: {
        r.op = WmfOp::Text;
        r.points = { p.yx(0) };
        const int length = p.count(4, "text length");
        const int options = p.u16(6, "text options");
        // A clipping or opaque rectangle comes before the text when the options name one.
        const qint64 at = (options & 0x0006) ? 16 : 8;
        r.text = p.bytes(at, length, "text");
        return true;
    }
    case wmf::SetTextAlign:
        r.op = WmfOp::SetTextAlign;
        r.value = p.u16(0, "text alignment");
        return true;
    case wmf::SetTextColor:
        r.op = WmfOp::SetTextColor;
        r.rgb = p.rgb(0);
        return true;
    default: return false;
    }
}

WmfHeader readHeaders(const QString &path, const QByteArray &bytes, qint64 &at)
{
    WmfHeader h;
    const qint64 size = bytes.size();
    if (size >= 4 && doubleWord(bytes, 0) == wmf::PlaceableKey) {
        if (size < PlaceableBytes + HeaderBytes)
            cannotOpen(path, QStringLiteral("it is cut short within its headers (%1 bytes)").arg(size));
        std::uint16_t sum = 0;
        for (qint64 i = 0; i < 20; i += 2)
            sum ^= word(bytes, i);
        if (sum != word(bytes, 20))
            cannotOpen(path,
                QStringLiteral("the checksum of its placeable header is %1 where its words give %2, so the file "
                               "is damaged")
                    .arg(hex(word(bytes, 20), 4), hex(sum, 4)));
        h.placeable = true;
        h.bounds = QRect(
            QPoint(signedWord(bytes, 6), signedWord(bytes, 8)), QPoint(signedWord(bytes, 10), signedWord(bytes, 12)));
        h.unitsPerInch = word(bytes, 14);
        at = PlaceableBytes;
    } else if (size >= 44 && doubleWord(bytes, 0) == 1 && bytes.mid(40, 4) == " EMF") {
        cannotOpen(path,
            QStringLiteral("it is an enhanced metafile (EMF), which this program does not read; save the drawing "
                           "as a Windows metafile (WMF) or as DXF"));
    }
    if (size - at < HeaderBytes)
        cannotOpen(path, QStringLiteral("it is not a Windows metafile: it is too short for the metafile header"));
    const std::uint16_t type = word(bytes, at), headerWords = word(bytes, at + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        cannotOpen(path,
            QStringLiteral("it is not a Windows metafile: its header gives type %1 and %2 header words where a "
                           "metafile has type 1 or 2 and 9 words")
                .arg(type)
                .arg(headerWords));
    h.objects = word(bytes, at + 10);
    at += HeaderBytes;
    return h;
}

} // namespace

WmfFile readWmfRecords(const QString &path, const QByteArray &bytes)
{
    WmfFile file;
    qint64 at = 0;
    file.header = readHeaders(path, bytes, at);
    const qint64 size = bytes.size();
    for (;;) {
        if (size - at < RecordHeaderBytes)
            cannotOpen(path,
                QStringLiteral("it is cut short: it ends at byte %1 without the record that ends a metafile")
                    .arg(size));
        const qint64 words = doubleWord(bytes, at);
        const std::uint16_t function = word(bytes, at + 4);
        // Fewer than three words would not even hold the size and function: a reader trusting
        // it would read the same record forever.
        if (words < 3)
            cannotOpen(path,
                QStringLiteral("its record at byte %1 gives a size of %2 words, so the file is damaged")
                    .arg(at)
                    .arg(words));
        if (words * 2 > size - at)
            cannotOpen(path,
                QStringLiteral("its record %1 at byte %2 is %3 bytes long, past the end of the file (%4 bytes), so "
                               "the file is cut short or damaged")
                    .arg(hex(function, 4))
                    .arg(at)
                    .arg(words * 2)
                    .arg(size));
        if (function == wmf::Eof)
            break;
        const Params params(path, bytes, at, at + RecordHeaderBytes, words * 2 - RecordHeaderBytes, function);
        WmfRecord record;
        record.offset = at;
        if (readRecord(params, function, record))
            file.records.push_back(std::move(record));
        else
            ++file.skipped;
        at += words * 2;
    }
    return file;
}

} // namespace qel

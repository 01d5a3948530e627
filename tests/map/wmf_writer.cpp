#include "map/wmf_writer.h"

#include "map/wmf_records.h"

#include <algorithm>

namespace qel::test {

namespace {

void put16(QByteArray &b, std::uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void put32(QByteArray &b, std::uint32_t v)
{
    put16(b, std::uint16_t(v & 0xFFFF));
    put16(b, std::uint16_t(v >> 16));
}

std::uint16_t w(int v)
{
    return std::uint16_t(std::int16_t(v));
}

// A colour reference: red, green, blue, reserved.
void putRgb(std::vector<std::uint16_t> &p, unsigned rgb)
{
    p.push_back(std::uint16_t(((rgb >> 16) & 0xFF) | (((rgb >> 8) & 0xFF) << 8)));
    p.push_back(std::uint16_t(rgb & 0xFF));
}

// Text bytes padded to whole words.
void putText(std::vector<std::uint16_t> &p, const QByteArray &text)
{
    for (qsizetype i = 0; i < text.size(); i += 2)
        p.push_back(std::uint16_t(std::uint8_t(text[i]) | (i + 1 < text.size() ? std::uint8_t(text[i + 1]) << 8 : 0)));
}

} // namespace

WmfWriter::WmfWriter(std::optional<Box> placeable, int unitsPerInch, int objects)
    : m_placeable(placeable)
    , m_unitsPerInch(unitsPerInch)
    , m_objects(objects)
{
}

WmfWriter &WmfWriter::record(
    std::uint16_t function, const std::vector<std::uint16_t> &params, std::optional<std::uint32_t> sizeWords)
{
    const std::uint32_t words = sizeWords.value_or(std::uint32_t(3 + params.size()));
    m_maxRecord = std::max(m_maxRecord, words);
    put32(m_records, words);
    put16(m_records, function);
    for (std::uint16_t p : params)
        put16(m_records, p);
    return *this;
}

WmfWriter &WmfWriter::windowOrg(QPoint p)
{
    return record(wmf::SetWindowOrg, { w(p.y()), w(p.x()) });
}
WmfWriter &WmfWriter::windowExt(QPoint p)
{
    return record(wmf::SetWindowExt, { w(p.y()), w(p.x()) });
}
WmfWriter &WmfWriter::viewportOrg(QPoint p)
{
    return record(wmf::SetViewportOrg, { w(p.y()), w(p.x()) });
}
WmfWriter &WmfWriter::viewportExt(QPoint p)
{
    return record(wmf::SetViewportExt, { w(p.y()), w(p.x()) });
}
WmfWriter &WmfWriter::mapMode(int mode)
{
    return record(wmf::SetMapMode, { w(mode) });
}
WmfWriter &WmfWriter::saveDC()
{
    return record(wmf::SaveDC, {});
}
WmfWriter &WmfWriter::restoreDC(int which)
{
    return record(wmf::RestoreDC, { w(which) });
}

WmfWriter &WmfWriter::pen(int style, int width, unsigned rgb)
{
    std::vector<std::uint16_t> p { w(style), w(width), 0 };
    putRgb(p, rgb);
    return record(wmf::CreatePenIndirect, p);
}

WmfWriter &WmfWriter::brush(int style, unsigned rgb)
{
    std::vector<std::uint16_t> p { w(style) };
    putRgb(p, rgb);
    p.push_back(0); // hatch
    return record(wmf::CreateBrushIndirect, p);
}

WmfWriter &WmfWriter::font(int height, int escapement, const QByteArray &face)
{
    // height, width, escapement, orientation, weight, then eight bytes of flags and the face name
    std::vector<std::uint16_t> p { w(height), 0, w(escapement), w(escapement), 400, 0, 0, 0, 0 };
    putText(p, face + '\0');
    return record(wmf::CreateFontIndirect, p);
}

WmfWriter &WmfWriter::select(int index)
{
    return record(wmf::SelectObject, { w(index) });
}
WmfWriter &WmfWriter::remove(int index)
{
    return record(wmf::DeleteObject, { w(index) });
}
WmfWriter &WmfWriter::moveTo(QPoint p)
{
    return record(wmf::MoveTo, { w(p.y()), w(p.x()) });
}
WmfWriter &WmfWriter::lineTo(QPoint p)
{
    return record(wmf::LineTo, { w(p.y()), w(p.x()) });
}

WmfWriter &WmfWriter::points(std::uint16_t function, const std::vector<QPoint> &points)
{
    std::vector<std::uint16_t> p { w(int(points.size())) };
    for (QPoint q : points) {
        p.push_back(w(q.x()));
        p.push_back(w(q.y()));
    }
    return record(function, p);
}

WmfWriter &WmfWriter::polyline(const std::vector<QPoint> &p)
{
    return points(wmf::Polyline, p);
}
WmfWriter &WmfWriter::polygon(const std::vector<QPoint> &p)
{
    return points(wmf::Polygon, p);
}

WmfWriter &WmfWriter::polyPolygon(const std::vector<std::vector<QPoint>> &polygons)
{
    std::vector<std::uint16_t> p { w(int(polygons.size())) };
    for (const auto &polygon : polygons)
        p.push_back(w(int(polygon.size())));
    for (const auto &polygon : polygons) {
        for (QPoint q : polygon) {
            p.push_back(w(q.x()));
            p.push_back(w(q.y()));
        }
    }
    return record(wmf::PolyPolygon, p);
}

// Boxes are stored bottom, right, top, left.
WmfWriter &WmfWriter::rectangle(Box r)
{
    return record(wmf::Rectangle, { w(r.bottom), w(r.right), w(r.top), w(r.left) });
}

WmfWriter &WmfWriter::ellipse(Box r)
{
    return record(wmf::Ellipse, { w(r.bottom), w(r.right), w(r.top), w(r.left) });
}

WmfWriter &WmfWriter::arcLike(std::uint16_t function, Box r, QPoint start, QPoint end)
{
    return record(
        function, { w(end.y()), w(end.x()), w(start.y()), w(start.x()), w(r.bottom), w(r.right), w(r.top), w(r.left) });
}

WmfWriter &WmfWriter::arc(Box box, QPoint start, QPoint end)
{
    return arcLike(wmf::Arc, box, start, end);
}
WmfWriter &WmfWriter::pie(Box box, QPoint start, QPoint end)
{
    return arcLike(wmf::Pie, box, start, end);
}
WmfWriter &WmfWriter::chord(Box box, QPoint start, QPoint end)
{
    return arcLike(wmf::Chord, box, start, end);
}

WmfWriter &WmfWriter::pixel(QPoint at, unsigned rgb)
{
    std::vector<std::uint16_t> p;
    putRgb(p, rgb);
    p.push_back(w(at.y()));
    p.push_back(w(at.x()));
    return record(wmf::SetPixel, p);
}

WmfWriter &WmfWriter::textOut(QPoint at, const QByteArray &text)
{
    std::vector<std::uint16_t> p { w(int(text.size())) };
    putText(p, text);
    p.push_back(w(at.y()));
    p.push_back(w(at.x()));
    return record(wmf::TextOut, p);
}

WmfWriter &WmfWriter::extTextOut(QPoint at, const QByteArray &text, bool clipped)
{
    std::vector<std::uint16_t> p { w(at.y()), w(at.x()), w(int(text.size())), w(clipped ? 0x0004 : 0) };
    if (clipped) {
        for (int v : { at.x(), at.y() - 100, at.x() + 1000, at.y() + 100 })
            p.push_back(w(v));
    }
    putText(p, text);
    return record(wmf::ExtTextOut, p);
}

WmfWriter &WmfWriter::textAlign(int flags)
{
    return record(wmf::SetTextAlign, { w(flags), 0 });
}

WmfWriter &WmfWriter::textColor(unsigned rgb)
{
    std::vector<std::uint16_t> p;
    putRgb(p, rgb);
    return record(wmf::SetTextColor, p);
}

QByteArray WmfWriter::header(qint64 recordBytes) const
{
    QByteArray b;
    if (m_placeable) {
        const Box &r = *m_placeable;
        put32(b, wmf::PlaceableKey);
        put16(b, 0);
        for (int v : { r.left, r.top, r.right, r.bottom })
            put16(b, w(v));
        put16(b, w(m_unitsPerInch));
        put32(b, 0);
        std::uint16_t sum = 0;
        for (qsizetype i = 0; i < b.size(); i += 2)
            sum ^= std::uint16_t(std::uint8_t(b[i]) | (std::uint8_t(b[i + 1]) << 8));
        put16(b, sum);
    }
    put16(b, 1); // in memory
    put16(b, 9); // header words
    put16(b, 0x0300);
    put32(b, std::uint32_t((18 + recordBytes) / 2));
    put16(b, w(m_objects));
    put32(b, m_maxRecord);
    put16(b, 0);
    return b;
}

QByteArray WmfWriter::bytes() const
{
    QByteArray end;
    put32(end, 3);
    put16(end, wmf::Eof);
    return header(m_records.size() + end.size()) + m_records + end;
}

QByteArray WmfWriter::bytesWithoutEnd() const
{
    return header(m_records.size()) + m_records;
}

QByteArray sitePlanWmf(SitePlanOptions o)
{
    WmfWriter w(o.placeable ? std::optional(Box { 0, 0, 500, 400 }) : std::nullopt, 100, 8);
    w.mapMode(8);
    if (o.upward)
        w.windowOrg({ 0, 400 }).windowExt({ 500, -400 }).viewportExt({ 500, 400 });
    w.pen(0, 3, 0xFF8C00).select(0).rectangle({ 10, 10, 490, 390 }); // 0: lot boundary
    w.pen(0, 0, 0xFF0000).select(1).polyline({ { 0, 200 }, { 250, 210 }, { 500, 200 } }); // 1: road
    w.brush(0, 0x00FF00).pen(5, 0, 0).select(2).select(3); // 2: lime brush, 3: null pen
    w.polygon({ { 50, 50 }, { 150, 50 }, { 150, 120 }, { 50, 120 } }); // the building
    w.remove(0).pen(0, 0, 0x0000FF).select(0); // the boundary's entry now holds the blue pen
    w.polyPolygon({ { { 200, 50 }, { 240, 50 }, { 240, 80 } }, { { 260, 50 }, { 300, 50 }, { 300, 80 } } });
    w.ellipse({ 300, 250, 360, 310 });
    w.saveDC().pen(0, 0, 0x000000).select(4);
    w.arc({ 380, 250, 440, 310 }, { 440, 280 }, { 410, 250 });
    w.pie({ 380, 320, 440, 380 }, { 440, 350 }, { 410, 320 });
    w.chord({ 300, 320, 360, 380 }, { 360, 350 }, { 330, 320 });
    w.restoreDC(-1).remove(4);
    w.pen(0, 0, 0x000080).select(4).moveTo({ 20, 380 }).lineTo({ 120, 380 }).lineTo({ 120, 300 });
    w.pixel({ 250, 150 }, 0x000000);
    w.font(-12, 0).select(5).textColor(0x00FFFF).textOut({ 200, 20 }, "Alpha Site");
    w.textAlign(6 | 24).extTextOut({ 100, 85 }, "Building A", true);
    return w.bytes();
}

} // namespace qel::test

#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace qel::test {

// A box as metafiles store it: its right and bottom edges lie just outside it.
struct Box {
    int left, top, right, bottom;
};

// Writes Windows metafiles for the tests: the records the reader knows, each a method, and raw
// records for damaged files. Points are x, y; the writer stores them in the record's own order.
class WmfWriter {
public:
    // A placeable header with the picture frame and units per inch, or none.
    explicit WmfWriter(std::optional<Box> placeable = std::nullopt, int unitsPerInch = 1440, int objects = 8);

    WmfWriter &windowOrg(QPoint p);
    WmfWriter &windowExt(QPoint p);
    WmfWriter &viewportOrg(QPoint p);
    WmfWriter &viewportExt(QPoint p);
    WmfWriter &mapMode(int mode);
    WmfWriter &saveDC();
    WmfWriter &restoreDC(int which);
    WmfWriter &pen(int style, int width, unsigned rgb);
    WmfWriter &brush(int style, unsigned rgb);
    WmfWriter &font(int height, int escapement, const QByteArray &face = "Arial");
    WmfWriter &select(int index);
    WmfWriter &remove(int index);
    WmfWriter &moveTo(QPoint p);
    WmfWriter &lineTo(QPoint p);
    WmfWriter &polyline(const std::vector<QPoint> &points);
    WmfWriter &polygon(const std::vector<QPoint> &points);
    WmfWriter &polyPolygon(const std::vector<std::vector<QPoint>> &polygons);
    WmfWriter &rectangle(Box r);
    WmfWriter &ellipse(Box r);
    WmfWriter &arc(Box box, QPoint start, QPoint end);
    WmfWriter &pie(Box box, QPoint start, QPoint end);
    WmfWriter &chord(Box box, QPoint start, QPoint end);
    WmfWriter &pixel(QPoint p, unsigned rgb);
    WmfWriter &textOut(QPoint p, const QByteArray &text);
    WmfWriter &extTextOut(QPoint p, const QByteArray &text, bool clipped = false);
    WmfWriter &textAlign(int flags);
    WmfWriter &textColor(unsigned rgb);
    // Any record: its function and parameter words, with the size word given or made right.
    WmfWriter &record(std::uint16_t function, const std::vector<std::uint16_t> &params,
        std::optional<std::uint32_t> sizeWords = std::nullopt);

    // The whole file, ended with the end-of-file record.
    QByteArray bytes() const;
    // The file without its end record (a cut-short file).
    QByteArray bytesWithoutEnd() const;

private:
    WmfWriter &points(std::uint16_t function, const std::vector<QPoint> &points);
    WmfWriter &arcLike(std::uint16_t function, Box box, QPoint start, QPoint end);
    QByteArray header(qint64 records) const;

    std::optional<Box> m_placeable;
    int m_unitsPerInch, m_objects;
    QByteArray m_records;
    std::uint32_t m_maxRecord = 3;
};

// A site plan of every record kind the reader knows: the lot boundary (10, 10)-(490, 390) in
// dark orange, a red road, a building outlined in its lime brush, two blue sheds, a tank, an arc, a pie
// and a chord, a navy fence, a pixel and two labels. Upward: its window grows upward, so that its
// map coordinates are its logical ones (else map y is minus logical y).
struct SitePlanOptions {
    bool upward = true;
    bool placeable = true;
};
QByteArray sitePlanWmf(SitePlanOptions options = {});

} // namespace qel::test

#include "gui/workbench/drawn_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace qel::gui {

namespace {

const QColor Ink(0x37, 0x47, 0x4f);
const QColor Paper(0xff, 0xff, 0xff);
const QColor Blue(0x1e, 0x7b, 0xd6);
const QColor Amber(0xf2, 0xb1, 0x34);
const QColor Red(0xd9, 0x3a, 0x36);
const QColor Grey(0x90, 0xa4, 0xae);

// Draws on a 24 x 24 grid at twice the resolution, so the pictures stay sharp on dense screens.
QIcon drawnIcon(int size, const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(size * 2, size * 2);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(2.0, 2.0);
        draw(p);
    }
    pixmap.setDevicePixelRatio(2.0);
    return QIcon(pixmap);
}

QPen inkPen(qreal width = 1.4, const QColor &colour = Ink)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, const QRectF &r, const QColor &fill = Paper)
{
    const qreal fold = r.width() * 0.32;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(inkPen());
    p.setBrush(fill);
    p.drawPath(path);
    p.drawPolyline(QPolygonF {
        { r.right() - fold, r.top() }, { r.right() - fold, r.top() + fold }, { r.right(), r.top() + fold } });
}

void textLines(QPainter &p, qreal left, qreal top, const QList<qreal> &widths, qreal gap = 3.2)
{
    p.setPen(inkPen(1.3, Grey));
    for (qsizetype i = 0; i < widths.size(); ++i)
        p.drawLine(QPointF(left, top + i * gap), QPointF(left + widths[i], top + i * gap));
}

// A magnifying glass with its lens centred at (9.5, 9.5).
void magnifier(QPainter &p)
{
    p.setPen(QPen(Ink, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
    p.setPen(inkPen(1.6));
    p.setBrush(QColor(0xe3, 0xf2, 0xfd));
    p.drawEllipse(QPointF(9.5, 9.5), 6.5, 6.5);
}

void alignLines(QPainter &p, Qt::Alignment alignment)
{
    p.setPen(QPen(Ink, 1.8, Qt::SolidLine, Qt::RoundCap));
    const qreal widths[] = { 16, 11, 16, 9 };
    for (int i = 0; i < 4; ++i) {
        qreal left = 4;
        if (alignment == Qt::AlignHCenter)
            left = 12 - widths[i] / 2;
        else if (alignment == Qt::AlignRight)
            left = 20 - widths[i];
        p.drawLine(QPointF(left, 6 + i * 4), QPointF(left + widths[i], 6 + i * 4));
    }
}

void letter(QPainter &p, const QString &text, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(17);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(QRectF(0, -1, 24, 22), Qt::AlignCenter, text);
    if (underline) {
        p.setPen(QPen(Blue, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 20.5), QPointF(18, 20.5));
    }
}

void drawToolbarPicture(QPainter &p, const QString &key)
{
    if (key == QLatin1String("New")) {
        page(p, QRectF(5, 3, 14, 18));
        p.setPen(QPen(Blue, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 10), QPointF(12, 17));
        p.drawLine(QPointF(8.5, 13.5), QPointF(15.5, 13.5));
    } else if (key == QLatin1String("Open")) {
        p.setPen(inkPen());
        p.setBrush(Amber.darker(115));
        p.drawPolygon(QPolygonF { { 3, 6 }, { 9, 6 }, { 11, 8 }, { 19, 8 }, { 19, 19 }, { 3, 19 } });
        p.setBrush(Amber);
        p.drawPolygon(QPolygonF { { 3, 19 }, { 6.5, 11 }, { 22, 11 }, { 19, 19 } });
    } else if (key == QLatin1String("Save")) {
        p.setPen(inkPen());
        p.setBrush(Blue);
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 3.5, 10, 6.5));
        p.setBrush(QColor(0xcf, 0xd8, 0xdc));
        p.drawRect(QRectF(7, 13.5, 10, 7));
    } else if (key == QLatin1String("Edit")) {
        page(p, QRectF(3, 3, 13, 17));
        textLines(p, 5.5, 8, { 6, 7, 5 });
        p.setPen(inkPen(1.2));
        p.setBrush(Amber);
        p.drawPolygon(QPolygonF { { 19, 6 }, { 22, 9 }, { 13, 18 }, { 10, 19 }, { 11, 16 } });
    } else if (key == QLatin1String("Print")) {
        p.setPen(inkPen());
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(0xb0, 0xbe, 0xc5));
        p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 14, 10, 7));
        textLines(p, 9, 17, { 6, 4 }, 2.2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x43, 0xa0, 0x47));
        p.drawEllipse(QPointF(18, 12), 1, 1);
    } else if (key == QLatin1String("Cut")) {
        p.setPen(inkPen(1.6));
        p.drawLine(QPointF(8.5, 15), QPointF(16, 3));
        p.drawLine(QPointF(15.5, 15), QPointF(8, 3));
        p.setPen(inkPen(1.8, Red));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
    } else if (key == QLatin1String("Copy")) {
        page(p, QRectF(3, 2.5, 12, 15));
        page(p, QRectF(9, 7, 12, 15));
        textLines(p, 11.5, 13, { 6, 7, 5 });
    } else if (key == QLatin1String("Paste")) {
        p.setPen(inkPen());
        p.setBrush(QColor(0xa1, 0x88, 0x7f));
        p.drawRoundedRect(QRectF(4, 4, 16, 18), 2, 2);
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 7, 10, 12.5));
        p.setBrush(Grey);
        p.drawRoundedRect(QRectF(8.5, 2.5, 7, 3.5), 1, 1);
        textLines(p, 9, 11, { 6, 5, 6 });
    } else if (key == QLatin1String("Clear")) {
        page(p, QRectF(4, 3, 14, 18));
        p.setPen(QPen(Red, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 12), QPointF(21, 20));
        p.drawLine(QPointF(21, 12), QPointF(13, 20));
    } else if (key.startsWith(QLatin1String("Zoom"))) {
        magnifier(p);
        p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        if (key == QLatin1String("Zoom In") || key == QLatin1String("Zoom Out")) {
            p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
            if (key == QLatin1String("Zoom In"))
                p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
        } else if (key == QLatin1String("Zoom Window")) {
            p.setPen(QPen(Blue, 1.2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(6.5, 7, 6, 5));
        } else if (key == QLatin1String("Zoom Previous")) {
            p.setPen(QPen(Blue, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF { { 10.5, 6.5 }, { 7.5, 9.5 }, { 10.5, 12.5 } });
        } else {
            p.setPen(QPen(Blue, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF { { 6, 8 }, { 6, 6 }, { 8, 6 } });
            p.drawPolyline(QPolygonF { { 11, 6 }, { 13, 6 }, { 13, 8 } });
            p.drawPolyline(QPolygonF { { 6, 11 }, { 6, 13 }, { 8, 13 } });
            p.drawPolyline(QPolygonF { { 11, 13 }, { 13, 13 }, { 13, 11 } });
        }
    } else if (key == QLatin1String("Bold")) {
        letter(p, QStringLiteral("B"), true, false, false);
    } else if (key == QLatin1String("Italic")) {
        letter(p, QStringLiteral("I"), false, true, false);
    } else if (key == QLatin1String("Underline")) {
        letter(p, QStringLiteral("U"), false, false, true);
    } else if (key == QLatin1String("Align Left")) {
        alignLines(p, Qt::AlignLeft);
    } else if (key == QLatin1String("Center")) {
        alignLines(p, Qt::AlignHCenter);
    } else if (key == QLatin1String("Align Right")) {
        alignLines(p, Qt::AlignRight);
    }
}

} // namespace

QIcon toolbarIcon(const QString &key)
{
    static const QStringList known = { "New", "Open", "Save", "Edit", "Print", "Cut", "Copy", "Paste", "Clear",
        "Zoom In", "Zoom Window", "Zoom Out", "Zoom Previous", "Zoom All", "Bold", "Italic", "Underline", "Align Left",
        "Center", "Align Right" };
    if (!known.contains(key))
        return {};
    return drawnIcon(24, [&](QPainter &p) { drawToolbarPicture(p, key); });
}

QIcon checkImage(CheckState state)
{
    return drawnIcon(16, [state](QPainter &p) {
        const QRectF box(2, 2, 12, 12);
        if (state == CheckState::All) {
            p.setPen(QPen(Blue.darker(115), 1));
            p.setBrush(Blue);
            p.drawRoundedRect(box, 2.5, 2.5);
            p.setPen(QPen(Paper, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF { { 4.8, 8.2 }, { 7, 10.4 }, { 11.4, 5.6 } });
            return;
        }
        p.setPen(QPen(QColor(0x78, 0x90, 0x9c), 1));
        p.setBrush(Paper);
        p.drawRoundedRect(box, 2.5, 2.5);
        if (state == CheckState::Some) {
            p.setPen(Qt::NoPen);
            p.setBrush(Blue);
            p.drawRoundedRect(QRectF(5, 5, 6, 6), 1, 1);
        }
    });
}

QIcon outOfDateImage()
{
    return drawnIcon(16, [](QPainter &p) {
        // The done mark greyed, with an amber dot: done once, from inputs that changed since.
        const QColor grey(0x9e, 0xa7, 0xad);
        p.setPen(QPen(grey.darker(115), 1));
        p.setBrush(grey);
        p.drawRoundedRect(QRectF(2, 2, 12, 12), 2.5, 2.5);
        p.setPen(QPen(Paper, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF { { 4.8, 8.2 }, { 7, 10.4 }, { 11.4, 5.6 } });
        p.setPen(QPen(Paper, 1));
        p.setBrush(QColor(0xf5, 0x9e, 0x0b));
        p.drawEllipse(QPointF(12.5, 12.5), 3, 3);
    });
}

QIcon applicationIcon()
{
    return drawnIcon(32, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x26, 0x6e, 0xb5));
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        // A plume of bands spreading from its source.
        const QColor bands[] = { QColor(0xff, 0xe0, 0x82), QColor(0xff, 0xa7, 0x26), QColor(0xe5, 0x39, 0x35) };
        for (int i = 0; i < 3; ++i) {
            p.setBrush(bands[i]);
            p.drawEllipse(QRectF(6 + i * 2.5, 10 + i * 2.2, 22 - i * 6, 12 - i * 4.4));
        }
        p.setBrush(Paper);
        p.drawEllipse(QPointF(7.5, 16), 2.2, 2.2);
    });
}

} // namespace qel::gui

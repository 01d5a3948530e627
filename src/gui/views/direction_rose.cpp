#include "gui/views/direction_rose.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace qel::gui {

namespace {

// The point at an azimuth (clockwise from north) and a radius around the centre, y down.
QPointF atAzimuth(const QPointF &centre, double degrees, double radius)
{
    const double radians = degrees * M_PI / 180;
    return centre + QPointF(radius * std::sin(radians), -radius * std::cos(radians));
}

} // namespace

DirectionRose::DirectionRose(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DirectionRose"));
    setMinimumSize(160, 160);
    setToolTip(QStringLiteral("Flow direction of every sample date with its 95 % interval"));
}

void DirectionRose::setSpokes(std::vector<Spoke> spokes)
{
    m_spokes = std::move(spokes);
    update();
}

void DirectionRose::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const double margin = metrics.height() + 4;
    const double radius = std::max(10.0, std::min(width(), height()) / 2.0 - margin);
    const QPointF centre(width() / 2.0, height() / 2.0);

    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    p.drawEllipse(centre, radius / 2, radius / 2);
    const char *compass[] = { "N", "E", "S", "W" };
    p.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(palette().color(QPalette::Mid), 1));
        p.drawLine(centre, atAzimuth(centre, 90.0 * i, radius));
        const QPointF at = atAzimuth(centre, 90.0 * i, radius + margin / 2);
        const QString text = QLatin1String(compass[i]);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRectF(at.x() - margin, at.y() - margin / 2, 2 * margin, margin), Qt::AlignCenter, text);
    }

    const QColor spokeColour(0, 90, 170);
    const double arcRadius = radius * 0.9;
    const QRectF arcBox(centre.x() - arcRadius, centre.y() - arcRadius, 2 * arcRadius, 2 * arcRadius);
    for (const Spoke &s : m_spokes) {
        if (s.low && s.high) {
            // Clockwise from low to high; Qt's angles run counter-clockwise from east.
            const double span = std::fmod(*s.high - *s.low + 720, 360);
            QColor fill = spokeColour;
            fill.setAlpha(40);
            QPainterPath wedge(centre);
            wedge.arcTo(arcBox, 90 - *s.low, -span);
            wedge.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawPath(wedge);
            p.setPen(QPen(spokeColour, 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(arcBox, qRound((90 - *s.low) * 16), qRound(-span * 16));
        }
        p.setPen(QPen(spokeColour, 1.5));
        p.drawLine(centre, atAzimuth(centre, s.direction, arcRadius));
    }
}

} // namespace qel::gui

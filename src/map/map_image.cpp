#include "map/map_image.h"

#include "core/batch_run.h"
#include "core/errors.h"
#include "core/reporting.h"
#include "core/whole_file.h"
#include "map/map_renderer.h"
#include "map/map_session.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace qel {

namespace {

constexpr QSize ImageSize(1600, 1200);
constexpr int TitleBand = 60; // pixels below the map for the title line

QString mapTitle(const ProjectModel &m)
{
    return m.MapTitle.isEmpty() ? QStringLiteral("Map View") : m.MapTitle;
}

// The map into the page less a margin, the title on a line below it.
void paintPage(QPainter &painter, const DrawingComponent &map, const QString &title, const QRectF &page)
{
    const double margin = page.width() / 40;
    const double titleHeight = page.height() * TitleBand / ImageSize.height();
    painter.fillRect(page, Qt::white);
    const QRectF mapArea = page.adjusted(margin, margin, -margin, -margin - titleHeight);
    const MapViewTransform view(fullView(map), mapArea, mapYDown(map));
    painter.save();
    painter.setClipRect(mapArea);
    RenderOptions options;
    options.lineWidthScale = page.width() / ImageSize.width();
    renderMap(painter, map, view, options);
    painter.restore();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, int(titleHeight * 0.4)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(mapArea.left(), mapArea.bottom(), mapArea.width(), titleHeight + margin / 2),
        Qt::AlignLeft | Qt::AlignVCenter, title);
}

QByteArray pngBytes(const DrawingComponent &map, const QString &title)
{
    QImage image(ImageSize, QImage::Format_RGB32);
    QPainter painter(&image);
    paintPage(painter, map, title, QRectF(QPointF(0, 0), QSizeF(ImageSize)));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray pdfBytes(const DrawingComponent &map, const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setResolution(150);
    QPainter painter(&writer);
    paintPage(painter, map, title, QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height())));
    painter.end();
    return bytes;
}

QByteArray svgBytes(const DrawingComponent &map, const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(ImageSize);
    generator.setViewBox(QRect(QPoint(0, 0), ImageSize));
    generator.setTitle(title);
    QPainter painter(&generator);
    paintPage(painter, map, title, QRectF(QPointF(0, 0), QSizeF(ImageSize)));
    painter.end();
    return bytes;
}

} // namespace

bool writeMapImage(Session &session, const QString &path)
{
    return guarded(session, QStringLiteral("Map:ExportImage"), [&] {
        const DrawingComponent &map = drawingOf(session);
        if (map.shownExtents().isEmpty() && map.baseMap().kind == BaseMap::Kind::None)
            throw QelError(ErrInvalidCall, QStringLiteral("There is no map to export: open a base map first."), path);
        const QString title = mapTitle(session.model);
        const QString suffix = QFileInfo(path).suffix().toLower();
        QByteArray bytes;
        if (suffix == QLatin1String("png"))
            bytes = pngBytes(map, title);
        else if (suffix == QLatin1String("pdf"))
            bytes = pdfBytes(map, title);
        else if (suffix == QLatin1String("svg"))
            bytes = svgBytes(map, title);
        else
            throw QelError(ErrInvalidCall,
                QStringLiteral("A map image is written as .png, .pdf or .svg, not as %1")
                    .arg(QFileInfo(path).fileName()),
                path);
        writeWholeFileOrRaise(path, bytes);
        Message(session, QStringLiteral("Saved map image: ") + path);
    });
}

void registerMapBatchOutput()
{
    registerBatchOutput(QStringLiteral("--map"), &writeMapImage);
}

} // namespace qel

#include "map/base_map.h"

#include "core/errors.h"
#include "core/progress.h"
#include "map/base_map_checks.h"
#include "map/gdal_support.h"
#include "map/stoppable_files.h"
#include "map/wmf_drawing.h"

#include <QFileInfo>

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_featurestyle.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace qel {

namespace {

GdalDatasetPtr open(const QString &path, unsigned kind, const QString &what)
{
    registerGdalDrivers();
    QuietGdalErrors quiet;
    GdalDatasetPtr d(GDALDataset::Open(path.toUtf8().constData(), kind | GDAL_OF_READONLY));
    if (!d)
        cannotOpen(path, QStringLiteral("it is not %1 this program can read%2").arg(what, QuietGdalErrors::last()));
    return d;
}

// GDAL's progress during a pixel read: the window repaints, and a cancel stops the read.
int CPL_STDCALL rasterReadProgress(double, const char *, void *progress)
{
    auto *p = static_cast<Progress *>(progress);
    p->breathe();
    return !p->cancelled();
}

// A pixel read that failed: cancelled by the person, or a file that cannot be read.
[[noreturn]] void pixelsUnread(const QString &path, Progress *progress)
{
    if (progress && progress->cancelled())
        throw WorkCancelled {};
    cannotOpen(path, QStringLiteral("its pixels cannot be read%1").arg(QuietGdalErrors::last()));
}

// 65536 x 65536: a larger image is read only through overviews of its own.
constexpr double MaxPixelsWithoutOverviews = 65536.0 * 65536.0;

// The value range a band of another type than bytes is stretched over to 8-bit grey.
struct GreyStretch {
    float lo = std::numeric_limits<float>::max(), hi = std::numeric_limits<float>::lowest();
};

// Reads the window of one band into 8-bit grey, stretching other data types from their minimum
// to maximum. The stretch is that of the first read, so that a detail read later matches it.
// Cells without data (the band's no-data value, or not a number) are white, like paper.
void readGreyBand(const QString &path, GDALRasterBand *band, const QRect &window, QImage &image,
    GDALRasterIOExtraArg &arg, std::optional<GreyStretch> &stretch, Progress *progress)
{
    const int w = image.width(), h = image.height();
    if (band->GetRasterDataType() == GDT_Byte) {
        if (band->RasterIO(GF_Read, window.x(), window.y(), window.width(), window.height(), image.bits(), w, h,
                GDT_Byte, 1, image.bytesPerLine(), &arg)
            != CE_None)
            pixelsUnread(path, progress);
        return;
    }
    std::vector<float> values(std::size_t(w) * std::size_t(h));
    if (band->RasterIO(GF_Read, window.x(), window.y(), window.width(), window.height(), values.data(), w, h,
            GDT_Float32, 0, 0, &arg)
        != CE_None)
        pixelsUnread(path, progress);
    int hasNoData = 0;
    const double noData = band->GetNoDataValue(&hasNoData);
    const auto isData = [&](float v) { return std::isfinite(v) && !(hasNoData && v == float(noData)); };
    if (!stretch) {
        stretch.emplace();
        for (float v : values) {
            if (isData(v)) {
                stretch->lo = std::min(stretch->lo, v);
                stretch->hi = std::max(stretch->hi, v);
            }
        }
    }
    // In double: the span of two far-apart floats can overflow a float, and inf / inf is no grey.
    const double lo = stretch->lo, hi = stretch->hi;
    const double span = hi > lo ? hi - lo : 1;
    for (int y = 0; y < h; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const float v = values[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            line[x] = isData(v) && lo <= hi ? uchar(std::clamp((v - lo) / span * 255.0, 0.0, 255.0)) : 255;
        }
    }
}

// Reads a window of the raster's pixels into an image of w x h pixels.
QImage readImage(const QString &path, GDALDataset &d, const QRect &window, int w, int h,
    std::optional<GreyStretch> &stretch, Progress *progress = nullptr)
{
    const int bands = d.GetRasterCount();
    GDALRasterIOExtraArg arg;
    INIT_RASTERIO_EXTRA_ARG(arg);
    if (progress) {
        arg.pfnProgress = rasterReadProgress;
        arg.pProgressData = progress;
    }
    // Averaging keeps thin lines of a large scanned map visible when it is read smaller.
    arg.eResampleAlg = w < window.width() || h < window.height() ? GRIORA_Average : GRIORA_NearestNeighbour;

    if (bands >= 3) {
        const bool alpha = bands >= 4 && d.GetRasterBand(4)->GetColorInterpretation() == GCI_AlphaBand;
        QImage image(w, h, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
        if (image.isNull())
            throw QelError(ErrOutOfMemory, QStringLiteral("Out of memory reading the base map %1").arg(path), path);
        image.fill(Qt::white);
        int bandList[] = { 1, 2, 3, 4 };
        if (d.RasterIO(GF_Read, window.x(), window.y(), window.width(), window.height(), image.bits(), w, h, GDT_Byte,
                alpha ? 4 : 3, bandList, 4, image.bytesPerLine(), 1, &arg)
            != CE_None)
            pixelsUnread(path, progress);
        return image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    }

    GDALRasterBand *band = d.GetRasterBand(1);
    QImage image(w, h, QImage::Format_Indexed8);
    if (image.isNull())
        throw QelError(ErrOutOfMemory, QStringLiteral("Out of memory reading the base map %1").arg(path), path);
    QList<QRgb> colors;
    const GDALColorTable *palette
        = band->GetColorInterpretation() == GCI_PaletteIndex ? band->GetColorTable() : nullptr;
    if (palette && band->GetRasterDataType() == GDT_Byte) {
        for (int i = 0; i < 256; ++i) {
            const GDALColorEntry *e = i < palette->GetColorEntryCount() ? palette->GetColorEntry(i) : nullptr;
            colors << (e ? qRgb(e->c1, e->c2, e->c3) : qRgb(255, 255, 255));
        }
    } else {
        for (int i = 0; i < 256; ++i)
            colors << qRgb(i, i, i);
    }
    image.setColorTable(colors);
    readGreyBand(path, band, window, image, arg, stretch, progress);
    return image.convertToFormat(QImage::Format_RGB32);
}

std::optional<PixelTransform> georeferenceOf(const QString &path, GDALDataset &d)
{
    double gt[6];
    if (d.GetGeoTransform(gt) != CE_None)
        return std::nullopt;
    if (gt[0] == 0 && gt[1] == 1 && gt[2] == 0 && gt[3] == 0 && gt[4] == 0 && gt[5] == 1)
        return std::nullopt;
    if (gt[2] != 0 || gt[4] != 0)
        cannotOpen(path,
            QStringLiteral("its georeferencing is rotated, which the map cannot show; warp it to a north-up image "
                           "first (for example with gdalwarp)"));
    const double w = d.GetRasterXSize(), h = d.GetRasterYSize();
    return PixelTransform(0, 0, gt[0], gt[3], w, h, gt[0] + w * gt[1], gt[3] + h * gt[5]);
}

QString textOf(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

// The colour and, for labels, the text a feature's OGR style carries (DXF, DWG, GeoPackage).
struct FeatureStyle {
    std::optional<unsigned> rgb;
    bool isLabel = false;
    QString text;
    double size = 0;
    double angle = 0;
    Justification justification;
};

std::optional<unsigned> rgbOf(OGRStyleTool &tool, const char *color)
{
    int r = 0, g = 0, b = 0, a = 255;
    if (!color || !tool.GetRGBFromString(color, r, g, b, a))
        return std::nullopt;
    // CAD colour 7 is white on a dark screen and black on paper; the map is white.
    if (r == 255 && g == 255 && b == 255)
        return std::nullopt;
    return (unsigned(r) << 16) | (unsigned(g) << 8) | unsigned(b);
}

FeatureStyle styleOf(OGRFeature &feature)
{
    FeatureStyle s;
    if (!feature.GetStyleString())
        return s;
    OGRStyleMgr manager;
    if (!manager.InitFromFeature(&feature))
        return s;
    for (int i = 0; i < manager.GetPartCount(); ++i) {
        std::unique_ptr<OGRStyleTool> tool(manager.GetPart(i));
        if (!tool)
            continue;
        tool->SetUnit(OGRSTUGround, 1);
        GBool isDefault = FALSE;
        if (tool->GetType() == OGRSTCPen) {
            auto *pen = static_cast<OGRStylePen *>(tool.get());
            if (!s.rgb)
                s.rgb = rgbOf(*pen, pen->Color(isDefault));
        } else if (tool->GetType() == OGRSTCLabel) {
            auto *label = static_cast<OGRStyleLabel *>(tool.get());
            s.isLabel = true;
            s.text = textOf(label->TextString(isDefault));
            s.size = label->Size(isDefault);
            if (isDefault)
                s.size = 0;
            s.angle = label->Angle(isDefault);
            s.rgb = rgbOf(*label, label->ForeColor(isDefault));
            static const char *const anchors[]
                = { "LB", "LB", "CB", "RB", "LM", "CM", "RM", "LT", "CT", "RT", "L", "C", "R" };
            const int p = label->Anchor(isDefault);
            if (!isDefault && p >= 1 && p <= 12)
                s.justification = *Justification::parse(QString::fromLatin1(anchors[p]));
        }
    }
    return s;
}

void addGeometry(const OGRGeometry *g, const Entity &style, std::vector<Entity> &out)
{
    if (!g || g->IsEmpty())
        return;
    const OGRwkbGeometryType type = wkbFlatten(g->getGeometryType());
    if (type == wkbPoint) {
        const auto *p = g->toPoint();
        Entity e = style;
        e.points = { QPointF(p->getX(), p->getY()) };
        if (e.kind != EntityKind::Text)
            e.kind = EntityKind::Point;
        out.push_back(std::move(e));
    } else if (type == wkbLineString || type == wkbLinearRing) {
        const auto *l = g->toSimpleCurve();
        Entity e = style;
        e.kind = EntityKind::Line;
        e.points.reserve(std::size_t(l->getNumPoints()));
        for (int i = 0; i < l->getNumPoints(); ++i)
            e.points.emplace_back(l->getX(i), l->getY(i));
        if (e.points.size() >= 2)
            out.push_back(std::move(e));
    } else if (type == wkbPolygon) {
        for (const OGRLinearRing *ring : *g->toPolygon())
            addGeometry(ring, style, out);
    } else if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
        for (const OGRGeometry *member : *g->toGeometryCollection())
            addGeometry(member, style, out);
    } else if (OGR_GT_IsCurve(type) || OGR_GT_IsSurface(type) || OGR_GT_IsNonLinear(type)) {
        std::unique_ptr<OGRGeometry> linear(g->getLinearGeometry());
        if (linear && wkbFlatten(linear->getGeometryType()) != type)
            addGeometry(linear.get(), style, out);
    }
}

} // namespace

struct RasterSource {
    QString path;
    GdalDatasetPtr dataset;
    std::optional<GreyStretch> stretch;
    BaseMap::Detail cached;
};

BaseMap::Detail BaseMap::detailImage(const QRect &window, const QSize &size) const
{
    if (!detail || window.isEmpty() || size.isEmpty())
        return {};
    RasterSource &s = *detail;
    const double scale = double(size.width()) / window.width();
    const bool sameScale = !s.cached.image.isNull()
        && std::abs(double(s.cached.image.width()) / s.cached.window.width() - scale) <= 1e-3 * scale;
    if (sameScale && s.cached.window.contains(window))
        return s.cached;
    // A margin of the view's size on every side: a pan within it reads nothing.
    const QRect wide = window.adjusted(-window.width(), -window.height(), window.width(), window.height())
                           .intersected(QRect(0, 0, rasterWidth, rasterHeight));
    const QSize wideSize(std::clamp(int(std::lround(wide.width() * scale)), 1, wide.width()),
        std::clamp(int(std::lround(wide.height() * double(size.height()) / window.height())), 1, wide.height()));
    try {
        QuietGdalErrors quiet;
        s.cached = { readImage(s.path, *s.dataset, wide, wideSize.width(), wideSize.height(), s.stretch), wide };
    } catch (const QelError &) {
        s.cached = {}; // the first image stands in; the file was readable when it opened
    }
    return s.cached;
}

BaseMap openRasterBaseMap(const QString &path, Progress *progress)
{
    checkReadable(path);
    GdalDatasetPtr d = open(path, GDAL_OF_RASTER, QStringLiteral("an image"));
    if (d->GetRasterCount() < 1 || d->GetRasterXSize() < 1 || d->GetRasterYSize() < 1)
        cannotOpen(path, QStringLiteral("it holds no image"));
    // Without overviews GDAL reads every pixel to make the first image: for a header that claims
    // billions of pixels (a damaged file does) that takes hours, so such an image is refused.
    const double pixels = double(d->GetRasterXSize()) * d->GetRasterYSize();
    if (pixels > MaxPixelsWithoutOverviews && d->GetRasterBand(1)->GetOverviewCount() == 0)
        cannotOpen(path,
            QStringLiteral("it is %1 x %2 pixels without overviews, too large to show; build overviews for it (for "
                           "instance with gdaladdo) or save a smaller copy")
                .arg(d->GetRasterXSize())
                .arg(d->GetRasterYSize()));

    BaseMap map;
    map.kind = BaseMap::Kind::Raster;
    map.path = path;
    map.rasterWidth = d->GetRasterXSize();
    map.rasterHeight = d->GetRasterYSize();
    map.georeference = georeferenceOf(path, *d);
    QuietGdalErrors quiet;
    auto source = std::make_shared<RasterSource>();
    const int width = map.rasterWidth, height = map.rasterHeight;
    const int factor = std::max(1, int(std::ceil(double(std::max(width, height)) / BaseMap::MaxImageSide)));
    map.pyramid.push_back(readImage(path, *d, QRect(0, 0, width, height), std::max(1, width / factor),
        std::max(1, height / factor), source->stretch, progress));
    if (factor > 1) {
        // Kept open so that a view zoomed in past the first image reads the pixels it shows.
        source->path = path;
        source->dataset = std::move(d);
        map.detail = std::move(source);
    }
    // Smaller copies let a zoomed-out view draw a few pixels per screen pixel instead of millions.
    while (map.pyramid.back().width() > 512 || map.pyramid.back().height() > 512) {
        if (progress) {
            progress->breathe();
            progress->throwIfCancelled();
        }
        const QImage &last = map.pyramid.back();
        map.pyramid.push_back(last.scaled(std::max(1, last.width() / 2), std::max(1, last.height() / 2),
            Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return map;
}

namespace {

std::atomic<int> drawingOpens { 0 };

void finishDrawing(const QString &path, BaseMap &map);

// The whole of a drawing as GDAL reads it; runs on the reading thread, touching nothing but its
// arguments, so that it may be left running there.
BaseMap readDrawing(const QString &path, const StoppableFiles &files)
{
    QuietGdalErrors quiet;
    ++drawingOpens;
    GdalDatasetPtr d(GDALDataset::Open(files.path(path).constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!d)
        cannotOpen(path,
            QStringLiteral("it is not a drawing this program can read%1")
                .arg(files.withRealNames(QuietGdalErrors::last())));

    BaseMap map;
    map.kind = BaseMap::Kind::Vector;
    map.path = path;
    map.drawing.number = BaseDrawing;
    for (OGRLayer *layer : d->GetLayers()) {
        const QString layerName = textOf(layer->GetName());
        const int cadLayerField = layer->GetLayerDefn()->GetFieldIndex("Layer");
        layer->ResetReading();
        for (auto &feature : *layer) {
            if (files.stopped())
                return map; // nobody waits for it any more
            const FeatureStyle fs = styleOf(*feature);
            Entity style;
            style.layer = cadLayerField >= 0 && feature->IsFieldSetAndNotNull(cadLayerField)
                ? textOf(feature->GetFieldAsString(cadLayerField))
                : layerName;
            if (style.layer.isEmpty())
                style.layer = QStringLiteral("0");
            style.rgb = fs.rgb;
            if (fs.isLabel && !fs.text.isEmpty()) {
                style.kind = EntityKind::Text;
                style.text = fs.text;
                style.height = fs.size;
                style.rotation = fs.angle;
                style.justification = fs.justification;
            }
            addGeometry(feature->GetGeometryRef(), style, map.drawing.entities);
            if (!map.drawing.findLayer(style.layer))
                map.drawing.layers.push_back({ style.layer, 7, 1 });
        }
    }
    finishDrawing(path, map);
    return map;
}

// The extents of a drawing as read, and its own label height for the labels without a size.
void finishDrawing(const QString &path, BaseMap &map)
{
    const QRectF b = map.drawing.bounds();
    if (map.drawing.entities.empty() || !(b.width() > 0))
        cannotOpen(path, QStringLiteral("it holds no drawing with a width to show"));
    map.extents = { b.left(), b.top(), b.right(), b.bottom() };
    // Labels without a size get the map's own label height.
    const double labelHeight = std::max(mapTextSize(map.extents), b.height() / 60);
    for (Entity &e : map.drawing.entities) {
        if (e.kind == EntityKind::Text && !(e.height > 0))
            e.height = labelHeight;
    }
}

// A read shared by the reading thread and the caller waiting for it.
struct DrawingRead {
    StoppableFiles files;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    BaseMap map;
    std::exception_ptr failure;
};

// The caller gives up on the read: its file stops giving bytes, which ends GDAL's readers looping
// over a damaged file within moments. A thread that still runs then (a loop that reads nothing) is
// left to run out on its own: a thread cannot be killed, and it holds nothing but its own read,
// never the session, so the program goes on safely beside it.
void abandon(DrawingRead &read, std::thread &reader)
{
    read.files.stop();
    std::unique_lock lock(read.mutex);
    if (read.ended.wait_for(lock, std::chrono::seconds(2), [&] { return read.done; })) {
        lock.unlock();
        reader.join();
    } else {
        reader.detach();
    }
}

} // namespace

int vectorDrawingOpens()
{
    return drawingOpens;
}

BaseMap openVectorBaseMap(const QString &path, Progress *progress)
{
    // Time enough for GDAL to read a plan of any size a site has, at well under its own speed.
    const qint64 megabytes = QFileInfo(path).size() >> 20;
    return openVectorBaseMap(path, std::chrono::seconds(5 + megabytes), progress);
}

// GDAL's readers can loop without end on a damaged plan (a DXF with shifted group codes does). The
// plan is read on a thread of its own while this one waits, lets the windows repaint and polls for
// a cancel, so that such a file is refused at the time limit, or when the person cancels, instead
// of freezing the program with the user's work unsaved. (A child process would be safe only by
// starting a new program: a fork of this one, whose other threads may hold locks, can hang.)
BaseMap openVectorBaseMap(const QString &path, std::chrono::milliseconds readLimit, Progress *progress)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("wmf"), Qt::CaseInsensitive) == 0) {
        // Read by a bounded reader of our own, which ends on any file: no thread, no time limit.
        checkReadable(path);
        BaseMap map;
        map.kind = BaseMap::Kind::Vector;
        map.path = path;
        map.drawing = readWmfDrawing(path, progress);
        map.drawing.number = BaseDrawing;
        finishDrawing(path, map);
        return map;
    }
    checkReadable(path);
    checkDrawingVersion(path);
    checkTextDrawing(path);
    registerGdalDrivers();

    auto read = std::make_shared<DrawingRead>();
    std::thread reader([read, path] {
        std::exception_ptr failure;
        BaseMap map;
        try {
            map = readDrawing(path, read->files);
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(read->mutex);
        read->map = std::move(map);
        read->failure = failure;
        read->done = true;
        read->ended.notify_all();
    });

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + readLimit;
    std::unique_lock lock(read->mutex);
    while (!read->ended.wait_for(
        lock, std::chrono::milliseconds(Progress::BreathIntervalMs), [&] { return read->done; })) {
        lock.unlock();
        if (progress) {
            progress->breathe();
            if (progress->cancelled()) {
                abandon(*read, reader);
                throw WorkCancelled {};
            }
        }
        if (Clock::now() >= deadline) {
            abandon(*read, reader);
            const auto seconds = std::chrono::ceil<std::chrono::seconds>(readLimit).count();
            cannotOpen(path,
                QStringLiteral("GDAL's reader did not finish reading it within %1 s, so it is most likely damaged; "
                               "save the drawing again from the program that made it")
                    .arg(seconds));
        }
        lock.lock();
    }
    lock.unlock();
    reader.join();
    if (read->failure)
        std::rethrow_exception(read->failure);
    return std::move(read->map);
}

} // namespace qel

#include "map/drawing_component.h"

#include "core/errors.h"
#include "core/number_text.h"
#include "map/color_table.h"
#include "map/layer_file.h"

#include <cmath>

namespace qel {

namespace {

[[noreturn]] void invalidCall(const QString &why)
{
    throw QelError(ErrInvalidCall, QStringLiteral("Invalid procedure call or argument: %1").arg(why));
}

void checkFinite(std::initializer_list<double> values, const char *operation)
{
    for (double v : values) {
        if (!std::isfinite(v))
            invalidCall(QStringLiteral("%1 was given a coordinate that is not a number").arg(QLatin1String(operation)));
    }
}

void checkColor(int color, bool byLayerAllowed)
{
    if (!isColorIndex(color) && !(byLayerAllowed && color == 0))
        invalidCall(QStringLiteral("colour index %1 is not one of 1 to 14").arg(color));
}

} // namespace

DrawingComponent::DrawingComponent(Frontend &frontend)
    : m_frontend(&frontend)
{
    for (int i = 0; i < int(m_slots.size()); ++i)
        m_slots[std::size_t(i)].drawing.number = i;
    slot(BaseDrawing).shown = true;
}

DrawingComponent::Slot &DrawingComponent::slot(int number)
{
    if (!isDrawingNumber(number))
        invalidCall(QStringLiteral("drawing %1 does not exist").arg(number));
    return m_slots[std::size_t(number)];
}

const DrawingComponent::Slot &DrawingComponent::slot(int number) const
{
    return const_cast<DrawingComponent *>(this)->slot(number);
}

void DrawingComponent::SelectDrawing(int number)
{
    slot(number); // checks the number
    if (number != m_current)
        flush();
    m_current = number;
}

void DrawingComponent::NewDrawingFile(const QString &path, int mode)
{
    if (path.trimmed().isEmpty())
        invalidCall(QStringLiteral("a drawing file needs a name"));
    Slot &s = current();
    s.drawing = Drawing {};
    s.drawing.number = m_current;
    s.drawing.file = layerFilePath(path);
    s.drawing.mode = mode;
    s.handleNumbers.clear();
    s.shown = true;
    s.order = ++m_loadCounter;
    s.fileBytes = {};
    if (m_lastDrawing == m_current)
        m_lastDrawing = 0;
    store(s);
    changed();
}

void DrawingComponent::LoadDrawingFile(const QString &path)
{
    flush();
    const QString file = layerFilePath(path);
    Slot &s = current();
    // When the file still holds what a drawing in memory was read from or written as, that
    // drawing is what parsing it would give.
    const bool inSlot = !s.fileBytes.isNull() && s.drawing.file == file;
    const auto stored = inSlot ? m_stored.end() : m_stored.find(file);
    const bool inStore = stored != m_stored.end();
    bool isKnown = false;
    QByteArray bytes = readLayerFileBytes(file,
        inSlot        ? s.fileBytes
            : inStore ? stored->second.bytes
                      : QByteArray(),
        isKnown);
    Drawing loaded;
    if (inSlot && isKnown) {
        loaded = std::move(s.drawing);
    } else {
        if (inStore && isKnown) {
            loaded = std::move(stored->second.drawing);
        } else {
            loaded = parseLayerFile(bytes, file);
            loaded.file = file;
        }
        if (inStore)
            m_stored.erase(stored);
        keepStored(s);
    }
    loaded.number = m_current;
    s.drawing = std::move(loaded);
    s.fileBytes = std::move(bytes);
    assignHandles(s);
    s.shown = true;
    s.dirty = false;
    s.order = ++m_loadCounter;
    if (m_lastDrawing == m_current)
        m_lastDrawing = 0;
    changed();
}

void DrawingComponent::moveDrawingFiles(const QString &fromFolder, const QString &toFolder)
{
    flush();
    for (Slot &s : m_slots)
        if (s.drawing.file.startsWith(fromFolder))
            s.drawing.file = toFolder + s.drawing.file.mid(fromFolder.size());
    std::unordered_map<QString, StoredDrawing> moved;
    for (auto &[file, stored] : m_stored) {
        QString to = file.startsWith(fromFolder) ? toFolder + file.mid(fromFolder.size()) : file;
        stored.drawing.file = to;
        moved.insert_or_assign(std::move(to), std::move(stored));
    }
    m_stored = std::move(moved);
}

void DrawingComponent::AddLayer(const QString &name, int color, int flag)
{
    if (name.trimmed().isEmpty())
        invalidCall(QStringLiteral("a layer needs a name"));
    checkColor(color, false);
    Slot &s = current();
    for (DrawingLayer &layer : s.drawing.layers) {
        if (layer.name.compare(name, Qt::CaseInsensitive) == 0) {
            layer.color = color;
            layer.flag = flag;
            s.dirty = true;
            return;
        }
    }
    s.drawing.layers.push_back({ name, color, flag });
    s.dirty = true;
}

void DrawingComponent::AddTextStyle(
    const QString &name, const QString &font, int weight, double size, double widthFactor)
{
    if (name.trimmed().isEmpty())
        invalidCall(QStringLiteral("a text style needs a name"));
    if (!(widthFactor > 0) || !std::isfinite(size) || !std::isfinite(widthFactor))
        invalidCall(QStringLiteral("text style %1 needs a finite size and a width factor above 0").arg(name));
    Slot &s = current();
    const TextStyle style { name, font, std::clamp(weight, 1, 1000), size, widthFactor };
    for (TextStyle &existing : s.drawing.textStyles) {
        if (existing.name.compare(name, Qt::CaseInsensitive) == 0) {
            existing = style;
            s.dirty = true;
            return;
        }
    }
    s.drawing.textStyles.push_back(style);
    s.dirty = true;
}

QString DrawingComponent::handleText(quint64 number)
{
    char text[16];
    int n = 16;
    for (quint64 v = number; v; v >>= 4)
        text[--n] = "0123456789ABCDEF"[v & 15];
    return QString::fromLatin1(text + n, 16 - n);
}

std::optional<std::size_t> DrawingComponent::findHandle(const Slot &s, const QString &handle) const
{
    bool ok = false;
    const quint64 number = handle.toULongLong(&ok, 16);
    if (!ok)
        return std::nullopt;
    const auto it = std::lower_bound(s.handleNumbers.begin(), s.handleNumbers.end(), number);
    if (it == s.handleNumbers.end() || *it != number)
        return std::nullopt;
    const auto index = std::size_t(it - s.handleNumbers.begin());
    // Only the handle's own spelling names it ("1F", not "1f" or "01F").
    if (handleText(number) != handle)
        return std::nullopt;
    return index;
}

void DrawingComponent::assignHandles(Slot &s)
{
    s.handleNumbers.resize(s.drawing.entities.size());
    for (quint64 &number : s.handleNumbers)
        number = ++m_handleCounter;
}

Entity &DrawingComponent::addEntity(Entity entity)
{
    Slot &s = current();
    s.handleNumbers.push_back(++m_handleCounter);
    s.drawing.entities.push_back(std::move(entity));
    s.dirty = true;
    s.shown = true;
    m_lastDrawing = m_current;
    m_lastIndex = s.drawing.entities.size() - 1;
    changed();
    return s.drawing.entities.back();
}

void DrawingComponent::AddLine(const QString &tag, double x1, double y1, double x2, double y2)
{
    AddPolyline(tag, { QPointF(x1, y1), QPointF(x2, y2) });
}

void DrawingComponent::AddStyledLine(
    double x1, double y1, double x2, double y2, double lineWidth, int color, const QString &layer)
{
    checkFinite({ x1, y1, x2, y2 }, "AddLine");
    if (!(lineWidth >= 0) || !std::isfinite(lineWidth))
        throw QelError(ErrTypeMismatch, QStringLiteral("Type mismatch: line width \"%1\"").arg(lineWidth));
    checkColor(color, true);
    if (layer.trimmed().isEmpty())
        invalidCall(QStringLiteral("an entity's layer needs a name"));
    Drawing &d = current().drawing;
    if (!d.findLayer(layer))
        d.layers.push_back({ layer, BlackColorIndex, 1 });
    Entity e;
    e.kind = EntityKind::Line;
    e.points = { QPointF(x1, y1), QPointF(x2, y2) };
    e.lineWidth = lineWidth;
    e.color = color;
    e.layer = d.findLayer(layer)->name;
    addEntity(std::move(e));
}

void DrawingComponent::AddPolyline(const QString &tag, const std::vector<QPointF> &points)
{
    if (points.size() < 2)
        invalidCall(QStringLiteral("a line needs at least two points"));
    for (const QPointF &p : points)
        checkFinite({ p.x(), p.y() }, "AddLine");
    Entity e;
    e.kind = EntityKind::Line;
    e.tag = tag;
    e.points = points;
    addEntity(std::move(e));
}

void DrawingComponent::AddPoint(const QString &tag, double x, double y)
{
    checkFinite({ x, y }, "AddPoint");
    Entity e;
    e.kind = EntityKind::Point;
    e.tag = tag;
    e.points = { QPointF(x, y) };
    addEntity(std::move(e));
}

void DrawingComponent::AddCircle(const QString &tag, double x, double y, double radius)
{
    checkFinite({ x, y, radius }, "AddCircle");
    if (radius < 0)
        invalidCall(QStringLiteral("a circle needs a radius of 0 or more"));
    Entity e;
    e.kind = EntityKind::Circle;
    e.tag = tag;
    e.points = { QPointF(x, y) };
    e.radius = radius;
    addEntity(std::move(e));
}

void DrawingComponent::AddText(const QString &tag, double x, double y, const QString &justification, double height,
    double widthFactor, double rotation, const QString &text)
{
    checkFinite({ x, y, height, widthFactor, rotation }, "AddText");
    const auto j = Justification::parse(justification);
    if (!j)
        invalidCall(QStringLiteral("text justification \"%1\" is not known").arg(justification));
    if (height < 0 || !(widthFactor > 0))
        invalidCall(QStringLiteral("a text needs a height of 0 or more and a width factor above 0"));
    Entity e;
    e.kind = EntityKind::Text;
    e.tag = tag;
    e.points = { QPointF(x, y) };
    e.justification = *j;
    e.height = height;
    e.widthFactor = widthFactor;
    e.rotation = rotation;
    e.text = text;
    const Drawing &d = current().drawing;
    if (!d.textStyles.empty() && !d.findTextStyle(e.style))
        e.style = d.textStyles.back().name;
    addEntity(std::move(e));
}

void DrawingComponent::SetEntityProperty(const QString &name, const QString &value)
{
    if (m_lastDrawing == 0)
        invalidCall(QStringLiteral("%1 was set before any entity was added").arg(name));
    Slot &s = slot(m_lastDrawing);
    Entity &e = s.drawing.entities[m_lastIndex];
    const QString key = name.trimmed().toUpper();
    if (key == u"ELINE") {
        const auto width = strictNumber(value);
        if (!width || *width < 0 || !std::isfinite(*width))
            throw QelError(ErrTypeMismatch, QStringLiteral("Type mismatch: line width \"%1\"").arg(value));
        e.lineWidth = *width;
    } else if (key == u"ECOLOR") {
        const auto color = strictNumber(value);
        if (!color || *color != std::trunc(*color))
            throw QelError(ErrTypeMismatch, QStringLiteral("Type mismatch: colour index \"%1\"").arg(value));
        checkColor(int(*color), true);
        e.color = int(*color);
    } else if (key == u"LAYER") {
        if (value.trimmed().isEmpty())
            invalidCall(QStringLiteral("an entity's layer needs a name"));
        if (!s.drawing.findLayer(value))
            s.drawing.layers.push_back({ value, BlackColorIndex, 1 });
        e.layer = s.drawing.findLayer(value)->name;
    } else {
        invalidCall(QStringLiteral("entity property \"%1\" is not known").arg(name));
    }
    s.dirty = true;
    changed();
}

QString DrawingComponent::LastEntityHandle() const
{
    return m_lastDrawing == 0 ? QString() : handleText(slot(m_lastDrawing).handleNumbers[m_lastIndex]);
}

QString DrawingComponent::EntityHandle(int drawing, std::size_t index) const
{
    const Slot &s = slot(drawing);
    if (index >= s.handleNumbers.size())
        invalidCall(QStringLiteral("drawing %1 has no entity %2").arg(drawing).arg(index));
    return handleText(s.handleNumbers[index]);
}

void DrawingComponent::SetEntityColor(const QString &handle, int color)
{
    checkColor(color, true);
    auto setIn = [&](Slot &s) {
        const std::optional<std::size_t> index = findHandle(s, handle);
        if (!index)
            return false;
        s.drawing.entities[*index].color = color;
        s.dirty = true;
        changed();
        return true;
    };
    if (setIn(current()))
        return;
    for (int n = 1; n < int(m_slots.size()); ++n) {
        if (isDrawingNumber(n) && setIn(slot(n)))
            return;
    }
    invalidCall(QStringLiteral("no entity has the handle \"%1\"").arg(handle));
}

void DrawingComponent::SetUpdate(int update)
{
    m_update = update != 0;
    if (m_update) {
        flush();
        refresh();
    }
}

void DrawingComponent::ClearOverlays(int /*flag*/)
{
    flush();
    for (int n = 1; n < int(m_slots.size()); ++n) {
        if (n == BaseDrawing || !isDrawingNumber(n))
            continue;
        Slot &s = slot(n);
        keepStored(s);
        s = Slot {};
        s.drawing.number = n;
    }
    if (m_lastDrawing != BaseDrawing)
        m_lastDrawing = 0;
    refresh();
}

void DrawingComponent::Regenerate()
{
    ++m_regenerations;
    refresh();
}

void DrawingComponent::GetPoint(const QString &prompt, double &x, double &y)
{
    const std::optional<QPointF> picked = m_frontend->pickMapPoint(prompt);
    if (!picked) {
        m_inputStatus = InputAborted;
        return;
    }
    x = picked->x();
    y = picked->y();
    m_inputStatus = InputPicked;
}

void DrawingComponent::SetCursor(const QString & /*name*/, int /*flag*/, int cursorId)
{
    m_cursorId = cursorId;
}

void DrawingComponent::SetPixelToMap(
    double px1, double py1, double x1, double y1, double px2, double py2, double x2, double y2)
{
    m_pixelToMap = PixelTransform(px1, py1, x1, y1, px2, py2, x2, y2);
    changed();
}

void DrawingComponent::PixelToMap(double &px, double &py) const
{
    const QPointF p = m_pixelToMap.toMap({ px, py });
    px = p.x();
    py = p.y();
}

void DrawingComponent::MapToPixel(double &x, double &y) const
{
    const QPointF p = m_pixelToMap.toPixel({ x, y });
    x = p.x();
    y = p.y();
}

void DrawingComponent::OpenRasterMap(const QString &path, Progress *progress)
{
    BaseMap opened = openRasterBaseMap(path, progress);
    m_pixelToMap = opened.georeference ? *opened.georeference : PixelTransform();
    m_base = std::move(opened);
    changed();
}

void DrawingComponent::UnloadRaster()
{
    if (hasRaster())
        m_base = BaseMap {};
    m_pixelToMap = PixelTransform();
    changed();
}

void DrawingComponent::LoadBaseDrawing(const QString &path, Progress *progress)
{
    BaseMap opened = openVectorBaseMap(path, progress);
    Slot &s = slot(BaseDrawing);
    s.drawing = std::move(opened.drawing);
    s.drawing.number = BaseDrawing;
    s.fileBytes = {};
    assignHandles(s);
    s.shown = true;
    s.dirty = false;
    if (m_lastDrawing == BaseDrawing)
        m_lastDrawing = 0;
    opened.drawing = Drawing {};
    m_base = std::move(opened);
    m_pixelToMap = PixelTransform();
    changed();
}

const Drawing &DrawingComponent::drawing(int number) const
{
    return slot(number).drawing;
}

bool DrawingComponent::isShown(int number) const
{
    return slot(number).shown;
}

std::vector<const Drawing *> DrawingComponent::shownOverlays() const
{
    std::vector<const Slot *> shown;
    for (int n = 1; n < int(m_slots.size()); ++n) {
        if (n != BaseDrawing && isDrawingNumber(n) && m_slots[std::size_t(n)].shown)
            shown.push_back(&m_slots[std::size_t(n)]);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Slot *a, const Slot *b) { return a->order < b->order; });
    std::vector<const Drawing *> out;
    for (const Slot *s : shown)
        out.push_back(&s->drawing);
    return out;
}

QRectF DrawingComponent::shownExtents() const
{
    std::vector<QRectF> parts;
    if (hasRaster()) {
        const QPointF a = m_pixelToMap.toMap({ 0, 0 });
        const QPointF b = m_pixelToMap.toMap({ double(m_base.rasterWidth), double(m_base.rasterHeight) });
        parts.push_back(QRectF(a, b).normalized());
    }
    std::vector<const Drawing *> drawings = shownOverlays();
    drawings.push_back(&slot(BaseDrawing).drawing);
    for (const Drawing *d : drawings) {
        if (!d->entities.empty())
            parts.push_back(d->bounds());
    }
    if (parts.empty())
        return {};
    double x0 = parts[0].left(), y0 = parts[0].top(), x1 = parts[0].right(), y1 = parts[0].bottom();
    for (const QRectF &r : parts) {
        x0 = std::min(x0, r.left());
        y0 = std::min(y0, r.top());
        x1 = std::max(x1, r.right());
        y1 = std::max(y1, r.bottom());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

void DrawingComponent::flush()
{
    for (Slot &s : m_slots) {
        if (s.dirty && !s.drawing.file.isEmpty())
            store(s);
    }
}

void DrawingComponent::store(Slot &s)
{
    s.fileBytes = {};
    m_stored.erase(s.drawing.file);
    LayerFileText text = writeLayerFileText(s.drawing.file, s.drawing);
    s.dirty = false;
    if (text.readsBack)
        s.fileBytes = std::move(text.bytes);
}

void DrawingComponent::keepStored(Slot &s)
{
    // A few projects' layers at most: the files of projects opened before are dropped.
    constexpr std::size_t MostStored = 16;
    if (s.dirty || s.fileBytes.isNull() || s.drawing.file.isEmpty())
        return;
    if (m_stored.size() >= MostStored)
        m_stored.clear();
    QString file = s.drawing.file; // not the drawing's own, which moves with it
    m_stored.insert_or_assign(std::move(file), StoredDrawing { std::move(s.fileBytes), std::move(s.drawing) });
    s.fileBytes = {};
}

void DrawingComponent::changed()
{
    if (m_update)
        refresh();
}

void DrawingComponent::refresh()
{
    if (m_refresh)
        m_refresh();
}

} // namespace qel
